// The web front end's connection limits with real sockets from many loopback addresses.

#include "web/framework/http_listener.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const QByteArray kPing = "GET /ping HTTP/1.1\r\nHost: a\r\n\r\n";

class ConnectionLimits : public ::testing::Test {
protected:
    void start(HttpServer::Limits limits)
    {
        listener = std::make_unique<HttpListener>(
            [](httplib::Server &server) {
                server.Get("/ping", [](const httplib::Request &, httplib::Response &response) {
                    response.set_content("pong", "text/plain");
                });
            },
            limits);
        ASSERT_TRUE(listener->start(0, nullptr));
    }
    // A connection from `sourceIp` that has sent the first line of its request and no more.
    std::unique_ptr<QTcpSocket> trickle(const QString &sourceIp)
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(sourceIp));
        socket->connectToHost(QHostAddress::LocalHost, quint16(listener->port()));
        EXPECT_TRUE(socket->waitForConnected(5000));
        socket->write("GET /ping HTTP/1.1\r\n");
        socket->waitForBytesWritten(1000);
        return socket;
    }
    // Whether a request on a new connection from `sourceIp` is answered.
    bool served(const QString &sourceIp)
    {
        QTcpSocket socket;
        socket.bind(QHostAddress(sourceIp));
        socket.connectToHost(QHostAddress::LocalHost, quint16(listener->port()));
        if (!socket.waitForConnected(5000))
            return false;
        const QByteArray answer = ping(socket);
        return answer.startsWith("HTTP/1.1 200") && answer.endsWith("pong");
    }
    // Sends a request on the connection and reads its whole answer.
    static QByteArray ping(QTcpSocket &socket)
    {
        socket.write(kPing);
        QByteArray answer;
        while (!answer.endsWith("pong") && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        return answer;
    }
    static bool closedByServer(QTcpSocket &socket)
    {
        return socket.state() == QAbstractSocket::UnconnectedState || socket.waitForDisconnected(3000);
    }

    std::unique_ptr<HttpListener> listener;
};

TEST_F(ConnectionLimits, AtTheCapTheOldestUnfinishedConnectionsMakeRoomForWholeRequests)
{
    HttpServer::Limits limits;
    limits.maxConnections = 120;
    limits.requestTime = std::chrono::seconds(60);
    start(limits);
    // 30 addresses keep far more unfinished requests open than the cap holds ...
    constexpr int kAddresses = 30, kEach = 10;
    std::vector<std::unique_ptr<QTcpSocket>> trickling;
    for (int round = 0; round < kEach; ++round)
        for (int address = 1; address <= kAddresses; ++address)
            trickling.push_back(trickle(QStringLiteral("127.0.1.%1").arg(address)));

    // ... and a browser still gets every page, each on a new connection.
    int pages = 0;
    for (int i = 0; i < 27; ++i)
        pages += served(QStringLiteral("127.0.2.1")) ? 1 : 0;
    EXPECT_EQ(pages, 27);

    // The oldest went first (each page's connection may have taken one more); the newest
    // are still there and may finish their requests.
    const size_t dropped = trickling.size() - limits.maxConnections;
    for (size_t i : {size_t(0), dropped / 2, dropped - 1})
        EXPECT_TRUE(closedByServer(*trickling[i])) << i;
    for (size_t i : {dropped + 27, trickling.size() - 1}) {
        QTcpSocket &socket = *trickling[i];
        socket.write("Host: a\r\n\r\n");
        QByteArray answer;
        while (!answer.endsWith("pong") && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 200")) << i;
    }
}

TEST_F(ConnectionLimits, ConnectionsKeptAliveAfterAnAnswerGoOnlyAfterThoseThatNeverSentOne)
{
    HttpServer::Limits limits;
    limits.maxConnections = 20;
    limits.requestTime = std::chrono::seconds(60);
    start(limits);
    // A browser's connection, idle after its first page.
    QTcpSocket browser;
    browser.connectToHost(QHostAddress::LocalHost, quint16(listener->port()));
    ASSERT_TRUE(browser.waitForConnected(5000));
    ASSERT_TRUE(ping(browser).endsWith("pong"));

    std::vector<std::unique_ptr<QTcpSocket>> trickling;
    for (int i = 0; i < 40; ++i)
        trickling.push_back(trickle(QStringLiteral("127.0.1.%1").arg(1 + i % 4)));
    EXPECT_TRUE(ping(browser).endsWith("pong"));
}

TEST_F(ConnectionLimits, KeptAliveRequestsAreNotHeldBackByDelayedAcknowledgements)
{
    start({});
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(listener->port()));
    ASSERT_TRUE(socket.waitForConnected(5000));
    // The answer's head and body go out in separate writes: with Nagle's rule the body
    // waits for the acknowledgement of the head, which the client delays by 40 ms.
    std::vector<qint64> took;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(ping(socket).endsWith("pong")) << i;
        took.push_back(clock.nsecsElapsed() / 1000);
    }
    std::sort(took.begin(), took.end());
    const qint64 median = took[took.size() / 2];
    RecordProperty("kept_alive_request_median_us", std::to_string(median));
    EXPECT_LT(median, 20000) << "about 40 ms a request: the delayed acknowledgements are waited for";
}

}  // namespace
