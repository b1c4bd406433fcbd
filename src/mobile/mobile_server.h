#pragma once

#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

class ServiceContext;

// The socket server of the mobile application, on the main thread.
class MobileServer : public QObject {
    Q_OBJECT
public:
    explicit MobileServer(ServiceContext &context, QObject *parent = nullptr);

    // Makes the connection table `size` entries long, every entry reset.
    void resetTable(int size);
    bool activate(quint16 port);
    void deactivate();
    bool isActive() const { return server_.isListening(); }
    void closeAllConnections();
    int connectionCount() const { return int(connections_.size()); }

private:
    void acceptPending();

    ServiceContext &context_;
    QTcpServer server_;
    QList<QTcpSocket *> connections_;
    int tableSize_ = 0;
};
