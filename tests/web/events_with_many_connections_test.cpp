// The dispatchers' order changes still arrive when the web front end holds thousands of
// connections: the Firebird client's sockets then get descriptors past 1024, which a
// library waiting with select() could not watch.

#include "data/danni.h"
#include "dispatcher.h"
#include "scripted_prompt.h"
#include "service_folder.h"
#include "shell/process_limits.h"
#include "web/framework/http_listener.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

using namespace kvtest;

constexpr int kConnections = 2000;

TEST(EventsWithManyConnections, AnOrderChangeArrivesWhileTwoThousandWebConnectionsAreOpen)
{
    // Both ends of every connection live in this process.
    if (RaiseDescriptorLimit() < rlim_t(2 * kConnections + 500))
        GTEST_SKIP() << "the descriptor limit does not allow " << 2 * kConnections << " sockets";
    ServiceFolder folder(true);
    folder.useServer(ServerPassword());

    HttpServer::Limits limits;
    limits.requestTime = std::chrono::minutes(5);  // held for the whole test
    HttpListener web([](httplib::Server &) {}, limits);
    ASSERT_TRUE(web.start(0, nullptr));
    std::vector<std::unique_ptr<QTcpSocket>> browsers;
    for (int i = 0; i < kConnections; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.0.3.%1").arg(1 + i % 10)));
        socket->connectToHost(QHostAddress::LocalHost, quint16(web.port()));
        ASSERT_TRUE(socket->waitForConnected(5000)) << i;
        socket->write("GET / HTTP/1.1\r\n");
        browsers.push_back(std::move(socket));
    }
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    ::close(probe);
    ASSERT_GT(probe, 1024) << "the database's sockets would not be past 1024";

    // The program's connection to the dispatchers' database, made now, listens for events.
    ScriptedPrompt prompt;
    TDANI danni;
    std::atomic<int> changes = 0;
    QObject::connect(
        &danni, &TDANI::dispatchEvent, &danni,
        [&changes](const QString &name, unsigned) { changes += name == QStringLiteral("EV_UpdateZAMOVLENNIA"); },
        Qt::DirectConnection);
    ASSERT_TRUE(danni.OpenDispatchBase(folder.dispatchConnection(), {QStringLiteral("SYSDBA"), folder.password()}, prompt))
        << prompt.messages.join(u'\n').toStdString();

    Dispatcher dispatcher({folder.dispatchConnection(), QStringLiteral("SYSDBA"), folder.password()});
    for (const char *callsign : {"105", "110"}) {
        const int before = changes;
        dispatcher.assignCar(1002, QString::fromLatin1(callsign));
        QElapsedTimer clock;
        clock.start();
        while (changes == before && clock.elapsed() < 10000)
            QThread::msleep(20);
        EXPECT_GT(changes, before) << "no event for the car " << callsign;
    }
    // Held throughout: the first connection may still finish its request.
    browsers.front()->write("Host: a\r\n\r\n");
    ASSERT_TRUE(browsers.front()->waitForReadyRead(5000));
    EXPECT_TRUE(browsers.front()->readAll().startsWith("HTTP/1.1 404"));
}

}  // namespace
