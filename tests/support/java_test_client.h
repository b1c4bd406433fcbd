#pragma once

// A mobile application stand-in: one TCP connection to the mobile server, with
// blocking reads of whole answers (each ends with "@"). Header-only, for programs
// that link QtNetwork.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <utility>

namespace kvtest {

class JavaTestClient {
public:
    // Connects from `localAddress` (any 127.x.y.z works on the loopback, so tests
    // can play clients of different addresses).
    bool connectTo(int port, const QString &localAddress = QStringLiteral("127.0.0.1"))
    {
        socket_.bind(QHostAddress(localAddress));
        socket_.connectToHost(QHostAddress::LocalHost, quint16(port));
        return socket_.waitForConnected(5000);
    }

    void send(const QByteArray &bytes)
    {
        socket_.write(bytes);
        socket_.waitForBytesWritten(5000);
    }

    // The next answer with its "@"; what has arrived so far when none completes in time.
    QByteArray answer(int milliseconds = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!pending_.contains('@') && clock.elapsed() < milliseconds) {
            if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(int(milliseconds - clock.elapsed())))
                break;
            pending_ += socket_.readAll();
        }
        const qsizetype end = pending_.indexOf('@');
        if (end < 0)
            return std::exchange(pending_, {});
        const QByteArray first = pending_.left(end + 1);
        pending_.remove(0, end + 1);
        return first;
    }

    // Everything that arrives within the time (for checking that nothing does).
    QByteArray received(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds && socket_.state() == QAbstractSocket::ConnectedState) {
            socket_.waitForReadyRead(int(milliseconds - clock.elapsed()));
            pending_ += socket_.readAll();
        }
        return std::exchange(pending_, {});
    }

    // True once the server has closed the connection.
    bool closedByServer(int milliseconds = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (socket_.state() == QAbstractSocket::ConnectedState && clock.elapsed() < milliseconds) {
            socket_.waitForReadyRead(100);
            pending_ += socket_.readAll();
        }
        return socket_.state() != QAbstractSocket::ConnectedState;
    }

    QTcpSocket &socket() { return socket_; }

private:
    QTcpSocket socket_;
    QByteArray pending_;
};

}  // namespace kvtest
