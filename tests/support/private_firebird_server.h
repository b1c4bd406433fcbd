#pragma once

#include "temp_dir.h"

#include <QProcess>
#include <QString>

namespace kvtest {

// A Firebird server process of the test's own, on a free port, which the test may stop
// and start again under a running program. The shared server on 3050 serves other tests
// at the same time and is never stopped. This one has its own configuration, lock and
// temporary folders and a copy of the machine's security database, so SYSDBA has the
// password ServerPassword() gives. Throws std::runtime_error when it cannot run.
class PrivateFirebirdServer {
public:
    PrivateFirebirdServer();
    ~PrivateFirebirdServer();
    PrivateFirebirdServer(const PrivateFirebirdServer &) = delete;
    PrivateFirebirdServer &operator=(const PrivateFirebirdServer &) = delete;

    // "localhost/PORT:", to put before a database's path.
    QString prefix() const;
    int port() const { return port_; }
    // Starts the server and waits until it listens.
    void start();
    // Stops it as a service stop does (SIGTERM), and waits until it is gone; one that
    // has not ended within 3 s is killed.
    void stop();

private:
    TempDir dir_;
    int port_;
    QProcess process_;
};

}  // namespace kvtest
