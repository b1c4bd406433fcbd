#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>

class QSocketNotifier;
class QTcpSocket;

// The listening socket of the mobile server, on every IPv4 address, with the part of
// QTcpServer's interface the server uses. QTcpServer is not used because its socket engine
// keeps the first error it ever met - the "try again" that ends every burst of connects -
// so that running out of descriptors later looks like that and is retried at once, without
// end. Here an accept that fails so stops accepting for a second; the first such failure
// after a working accept, and the first accept that works again, are told.
class JavaListener : public QObject {
    Q_OBJECT
public:
    explicit JavaListener(QObject *parent = nullptr);
    ~JavaListener() override;

    bool listen(quint16 port, int backlog);
    void close();
    bool isListening() const { return fd_ >= 0; }
    // Why the last listen() failed.
    QString errorString() const { return error_; }
    quint16 serverPort() const;
    // The next accepted connection, a child of this object; nullptr when none is left.
    QTcpSocket *nextPendingConnection();

    static constexpr int kRetryMs = 1000;

signals:
    void newConnection();
    void stoppedAccepting(const QString &reason);
    void acceptingAgain();

private:
    void acceptAll();

    int fd_ = -1;
    QString error_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer retry_;
    bool failing_ = false;
    std::deque<QTcpSocket *> pending_;
};
