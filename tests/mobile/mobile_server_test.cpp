#include "mobile/mobile_server.h"
#include "mobile_databases.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {

bool processUntil(const std::function<bool()> &done, int milliseconds = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// The server in this process, on both real databases, with a clock the test moves.
class MobileServerTest : public MobileDatabases {
protected:
    void SetUp() override
    {
        MobileDatabases::SetUp();
        if (HasFatalFailure())
            return;
        context.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("1");

        server.setClock([this] { return now; });
        server.setRefreshInterval(20);
        server.resetTable(2);
        ASSERT_TRUE(server.activate(0));
    }

    // A client that has been greeted.
    void connectClient(QTcpSocket &client)
    {
        client.connectToHost(QHostAddress::LocalHost, server.port());
        ASSERT_TRUE(processUntil([&] { return client.bytesAvailable() >= 6; }));
        ASSERT_EQ(client.readAll(), QByteArray("<OK!>@"));
    }

    void runTimerPeriods() { processUntil([] { return false; }, 100); }

    QDateTime start{QDate(2026, 3, 1), QTime(12, 0, 0)};
    QDateTime now = start;
    MobileServer server{context};
};

TEST_F(MobileServerTest, ASlotEndsOnlyOnceTheClockIsPastItsPlannedEnd)
{
    QTcpSocket client;
    connectClient(client);
    ASSERT_EQ(server.table().at(0).IP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(server.table().at(0).TimeVihid, start.addSecs(60));
    EXPECT_EQ(context.danni.activeCount, QStringLiteral("1"));
    client.write("<OpenNews>###");  // not idle
    ASSERT_TRUE(processUntil([&] { return client.bytesAvailable() > 0; }));
    client.readAll();

    now = start.addSecs(60);
    runTimerPeriods();
    EXPECT_EQ(server.connectionCount(), 1) << "at its planned end the slot still lives";

    // Requests do not extend it.
    client.write("<OpenSettingServer>###");
    ASSERT_TRUE(processUntil([&] { return client.bytesAvailable() > 0; }));
    now = start.addSecs(61);
    EXPECT_TRUE(processUntil([&] { return client.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_TRUE(server.table().at(0).IP.isEmpty());
    EXPECT_EQ(context.danni.activeCount, QStringLiteral("0"));
    EXPECT_TRUE(context.mobileLog.lines().contains(
        QStringLiteral("[01.03.2026 12:01:01] вихід із java системи  клієнта з   IP:[127.0.0.1]    код кл.:[0]    "
                       "вхід у[01.03.2026 12:00:00]    плановий вихід[01.03.2026 12:01:00]")))
        << context.mobileLog.lines().join(u'\n').toStdString();
}

// Sockets that hold slots for nothing: a connection that sends no request within 30 s
// is closed, and a full table makes room by closing the longest silent one that has not
// logged in.
TEST_F(MobileServerTest, IdleConnectionsAreClosedAndSilentOnesMakeRoomForNewcomers)
{
    std::map<int, std::unique_ptr<QTcpSocket>> phones;  // by the last byte of their address
    const auto phone = [&](int host) -> QTcpSocket & {
        auto &socket = phones[host];
        socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(host)));
        socket->connectToHost(QHostAddress::LocalHost, server.port());
        processUntil([&] { return socket->bytesAvailable() > 0 || socket->state() == QAbstractSocket::UnconnectedState; });
        return *socket;
    };
    const auto open = [&](int host) { return phones[host]->state() == QAbstractSocket::ConnectedState; };
    context.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("10");

    phone(2);                                    // says nothing
    phone(3).write("###<OpenSettingServer>###");  // an empty request does not count, this one does
    processUntil([&] { return phones[3]->bytesAvailable() > 100; });
    now = start.addSecs(MobileServer::kIdleSeconds);
    EXPECT_TRUE(processUntil([&] { return !open(2); }));
    EXPECT_TRUE(open(3));

    phone(4);  // the free slot
    phone(5);  // the table is full: the longest silent, 3, makes room
    EXPECT_TRUE(processUntil([&] { return !open(3); }));
    EXPECT_TRUE(open(4) && open(5));
    phone(6);  // nobody has been silent long enough
    EXPECT_TRUE(processUntil([&] { return !open(6); }));
    EXPECT_TRUE(open(4) && open(5));
    EXPECT_EQ(server.table().at(0).IP, QStringLiteral("127.0.0.4"));
    EXPECT_EQ(server.table().at(1).IP, QStringLiteral("127.0.0.5"));
}

TEST_F(MobileServerTest, ClosingAllConnectionsReleasesEverySlotAtOnce)
{
    QTcpSocket first, second;
    connectClient(first);
    second.bind(QHostAddress(QStringLiteral("127.0.0.2")));
    connectClient(second);
    // Rows of connects close together are written together, a moment later.
    EXPECT_TRUE(processUntil([&] { return context.danni.activeCount == QStringLiteral("2"); }));

    server.closeAllConnections();
    // No event loop has run: the disconnect handling happened inside the close.
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_TRUE(server.table().at(0).IP.isEmpty());
    EXPECT_TRUE(server.table().at(1).IP.isEmpty());
    EXPECT_EQ(context.danni.activeCount, QStringLiteral("0"));
    const QStringList log = context.mobileLog.lines();
    EXPECT_EQ(log.filter(QStringLiteral("] процес закриття клієнта з  IP:[")).size(), 2);
}

TEST_F(MobileServerTest, BytesBeyondTheCapCloseTheConnectionButACompleteRequestIsServedFirst)
{
    QTcpSocket client;
    connectClient(client);
    client.write("<OpenNews>###" + QByteArray(65 * 1024, 'x'));
    EXPECT_TRUE(processUntil([&] { return client.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(client.readAll().startsWith("<DataNews>"));
    EXPECT_EQ(context.mobileLog.lines().filter(QStringLiteral("передав понад 65536 байт")).size(), 1);
}

TEST_F(MobileServerTest, AFailingRequestGetsNoAnswerAndTheRequestsBehindItAreServed)
{
    // An account whose code is no number passes the password check, then cannot be looked up.
    TDANI::Execute(context.danni.GPRS_RIZNE,
                   QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS) "
                                  "VALUES (1, 'abc', 'p')"));
    QTcpSocket client;
    connectClient(client);
    client.write("<CodClient>abc</CodClient><CodPass>p</CodPass></OpenFormCodZam>###<OpenNews>###");
    ASSERT_TRUE(processUntil([&] { return !prompt.messages.isEmpty() && client.peek(1 << 16).count('@') == 1; }));
    EXPECT_TRUE(client.readAll().startsWith("<DataNews>"));
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(server.connectionCount(), 1);
}

}  // namespace

namespace {

TEST_F(MobileServerTest, OrderChangesReachClientsOnlyWhileTheServersRun)
{
    QTcpSocket client;
    connectClient(client);
    const auto received = [&] {
        runTimerPeriods();
        return client.readAll();
    };

    server.IBEvents1_BAZA_TAXIEventAlert(QStringLiteral("EV_UpdateZAMOVLENNIA"));
    EXPECT_EQ(received(), QByteArray()) << "the status strip says the servers are stopped";

    context.panelCaption = kRunningCaption;
    server.IBEvents1_BAZA_TAXIEventAlert(QStringLiteral("EV_InsertZAMOVLENNIA"));
    EXPECT_EQ(received(), QByteArray());
    server.IBEvents1_BAZA_TAXIEventAlert(QStringLiteral("EV_UpdateZAMOVLENNIA"));
    EXPECT_EQ(received(), QByteArray("<UpdateZam>@")) << "a client that is not logged in is always told";
}

}  // namespace

namespace {

TEST_F(MobileServerTest, AClientThatDoesNotReadIsNoLongerReadUntilItTakesItsAnswers)
{
    QTcpSocket client;
    // A small window, and nothing taken from it: the answers pile up in the server.
    client.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    client.setReadBufferSize(4096);
    context.settings.KIL_LOG_POZ = context.settings.JAVA_KIL_LOG_POZ = QStringLiteral("100000");  // the log counts
    connectClient(client);
    const int requests = 20000;
    QByteArray flood;
    for (int i = 0; i < requests; ++i)
        flood += "<OpenSettingServer>###";
    client.write(flood);
    const auto answered = [this] {
        return int(context.mobileLog.lines().filter(QStringLiteral("налаштувань сервера")).size());
    };
    // The server stops where its unsent answers pass the cap ...
    int before = -1;
    while (answered() != before) {
        before = answered();
        processUntil([] { return false; }, 300);
    }
    EXPECT_LT(answered(), requests / 2) << answered();
    // ... and answers the rest once they are taken.
    int answers = 0;
    EXPECT_TRUE(processUntil([&] {
        answers += int(client.readAll().count('@'));
        return answers == requests;
    }, 30000)) << answers;
    EXPECT_EQ(answered(), requests);
}

}  // namespace
