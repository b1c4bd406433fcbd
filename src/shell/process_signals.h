#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// SIGINT and SIGTERM (stop as the operator would: servers stopped, logs saved) and,
// when asked for, SIGHUP (load the news again) as Qt signals on the thread that made
// this object. The handlers only write the signal's number to a socket pair.
// One object per process.
class ProcessSignals : public QObject {
    Q_OBJECT
public:
    explicit ProcessSignals(bool reloadOnHangUp, QObject *parent = nullptr);
    ~ProcessSignals() override;  // the default handlers come back

    // Installs the handlers. Again after the first database connection: the Firebird
    // client claims SIGINT and SIGTERM for a shutdown of its own then.
    void catchSignals();

signals:
    void stopRequested();
    void reloadRequested();

private:
    void readSignal();

    bool reloadOnHangUp_;
    int sockets_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};
