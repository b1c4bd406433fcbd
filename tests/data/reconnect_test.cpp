// The data module against a dispatchers' server that stops and starts again, and behind a
// network that goes silent (a server and a relay of the test's own; the shared server
// serves other tests meanwhile).

#include "common/prompt.h"
#include "data/danni.h"
#include "private_firebird_server.h"
#include "scripted_prompt.h"
#include "service_folder.h"
#include "silent_relay.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

using namespace kvtest;

// What the data module told: connections lost and found, events of the dispatchers.
class Told {
public:
    void connection(bool connected, const QString &reason)
    {
        std::lock_guard lock(mutex_);
        changes_ << (connected ? QStringLiteral("back") : QStringLiteral("lost"));
        reasons_ << reason;
    }
    void event(const QString &name)
    {
        std::lock_guard lock(mutex_);
        events_ << name;
        changed_.notify_all();
    }
    bool waitForEvent(const QString &name)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return events_.contains(name); });
    }
    QStringList changes()
    {
        std::lock_guard lock(mutex_);
        return changes_;
    }
    QString lastReason()
    {
        std::lock_guard lock(mutex_);
        return reasons_.isEmpty() ? QString() : reasons_.last();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    QStringList changes_, events_, reasons_;
};

// One second: the tests wait for it a few times.
constexpr int kWaitSeconds = 1;

class Reconnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeDispatchDatabase(dir.filePath(QStringLiteral("DISPATCH.FDB")), false);
        QObject::connect(&d, &TDANI::connectionChanged, &d,
                         [this](TDANI::Database, bool connected, const QString &reason) { told.connection(connected, reason); },
                         Qt::DirectConnection);
        QObject::connect(&d, &TDANI::dispatchEvent, &d, [this](const QString &name, unsigned) { told.event(name); },
                         Qt::DirectConnection);
        ASSERT_TRUE(d.OpenDispatchBase(relay.prefix() + database(), {QStringLiteral("SYSDBA"), password}, prompt,
                                       kWaitSeconds))
            << prompt.messages.join(u'\n').toStdString();
    }

    QString database() const { return dir.filePath(QStringLiteral("DISPATCH.FDB")); }
    QString clients() { return TDANI::ScalarTextReadOnly(d.RIZNE, QStringLiteral("SELECT COUNT(*) FROM KLIENT")); }
    void restart()
    {
        server.stop();
        server.start();
    }
    // Until the background has made a new connection; never by a statement.
    bool reconnected()
    {
        for (int i = 0; i < 400; ++i) {
            if (d.BAZA.restore())
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    // How long a statement took to fail as a lost connection, in ms; -1 when it did not.
    template <class F>
    qint64 failsAsLost(F &&statement)
    {
        QElapsedTimer timer;
        timer.start();
        try {
            statement();
        } catch (const fb::ConnectionLost &) {
            return timer.elapsed();
        }
        return -1;
    }
    // A dispatcher's committed row, read past the relay.
    int clientRows(int number)
    {
        fb::Attachment direct;
        direct.open({server.prefix() + database(), QStringLiteral("SYSDBA"), password});
        fb::Transaction transaction(direct);
        fb::Query query(transaction);
        query.open(QStringLiteral("SELECT COUNT(*) FROM KLIENT WHERE KLIENT_NUMBER = ?"), {number});
        return int(query.field(0).asInt());
    }

    PrivateFirebirdServer server;
    SilentRelay relay{server.port()};
    TempDir dir;
    const QString password = ServerPassword();
    ScriptedPrompt prompt;
    TDANI d;
    Told told;
};

TEST_F(Reconnect, AfterARestartStatementsFailAtOnceUntilTheBackgroundHasANewConnection)
{
    const QString before = clients();
    server.stop();
    // The statement that notices, and every one after it, fail without waiting on the network.
    const QString insert = QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO) VALUES (?, '[00900]')");
    for (int i = 0; i < 3; ++i) {
        const qint64 failed = failsAsLost([&] { clients(); });
        EXPECT_GE(failed, 0);
        EXPECT_LT(failed, kWaitSeconds * 1000);
    }
    EXPECT_GE(failsAsLost([&] { TDANI::Execute(d.RIZNE, insert, {900}); }), 0);
    EXPECT_EQ(told.changes(), QStringList({QStringLiteral("lost")}));

    server.start();
    ASSERT_TRUE(reconnected());
    EXPECT_EQ(clients(), before);
    EXPECT_EQ(TDANI::Execute(d.RIZNE, insert, {900}), 1);
    EXPECT_EQ(clientRows(900), 1);
    EXPECT_EQ(told.changes(), QStringList({QStringLiteral("lost"), QStringLiteral("back")}));
}

TEST_F(Reconnect, AWriteCutOffBeforeItsCommitIsReportedUnknownAndNotRetried)
{
    d.RIZNE.execute(QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO) VALUES (901, '[00901]')"));
    restart();
    try {
        d.TRANZ_RIZNE.commit();
        ADD_FAILURE() << "the commit of a lost connection succeeded";
    } catch (const fb::ConnectionLost &lost) {
        EXPECT_TRUE(lost.outcomeUnknown());
    }
    ASSERT_TRUE(reconnected());
    EXPECT_EQ(clientRows(901), 0);
}

TEST_F(Reconnect, TheDispatchersEventsArriveAgainOnTheNewConnection)
{
    restart();
    failsAsLost([&] { clients(); });  // notices the restart
    ASSERT_TRUE(reconnected());
    fb::Attachment dispatcher;
    dispatcher.open({server.prefix() + database(), QStringLiteral("SYSDBA"), password});
    fb::Transaction transaction(dispatcher);
    fb::Query(transaction).execute(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'EV_InsertZAMOVLENNIA'; END"));
    transaction.commit();
    EXPECT_TRUE(told.waitForEvent(QStringLiteral("EV_InsertZAMOVLENNIA")));
}

// A network that goes silent gives no error: only the call limit ends the wait. Then the
// connection counts as lost, statements fail at once, connecting is tried in the
// background only, and once the network is back the service works on a new connection.
TEST_F(Reconnect, ASilentNetworkEndsTheCallAtItsLimitAndIsSurvived)
{
    const QString before = clients();
    relay.silence();
    const qint64 waited = failsAsLost([&] { clients(); });
    EXPECT_GE(waited, kWaitSeconds * 1000 - 100);
    EXPECT_LT(waited, kWaitSeconds * 1000 + 1500);
    EXPECT_TRUE(told.lastReason().contains(QStringLiteral("не відповідає"))) << told.lastReason().toStdString();

    const qint64 next = failsAsLost([&] { clients(); });
    EXPECT_GE(next, 0);
    EXPECT_LT(next, 200);  // no call went to the network
    QThread::msleep(2500);  // background tries meet the silent network meanwhile
    EXPECT_FALSE(d.BAZA.restore());

    relay.heal();
    ASSERT_TRUE(reconnected());
    EXPECT_EQ(clients(), before);
    EXPECT_EQ(told.changes(), QStringList({QStringLiteral("lost"), QStringLiteral("back")}));
}

// A list read from a server that stopped would go on finding deleted clients: after three
// failed periods the look-ups go to the database again, until the list is read anew.
TEST_F(Reconnect, AClientListThatCannotBeRefreshedIsGivenUpAfterThreePeriodsAndReadAgainLater)
{
    std::mutex mutex;
    QStringList reports;
    ClientListReader reader;
    reader.start(TDANI::DispatchParams(server.prefix() + database(), {QStringLiteral("SYSDBA"), password}, kWaitSeconds),
                 std::chrono::milliseconds(100), [&](const QString &line) {
                     std::lock_guard lock(mutex);
                     reports << line;
                 });
    const auto until = [](const std::function<bool()> &done) {
        for (int i = 0; i < 400 && !done(); ++i)
            QThread::msleep(50);
        return done();
    };
    ASSERT_TRUE(until([&] { return reader.current() != nullptr; }));
    server.stop();
    ASSERT_TRUE(until([&] { return reader.current() == nullptr; }));
    server.start();
    ASSERT_TRUE(until([&] { return reader.current() != nullptr; }));
    reader.stop();
    std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 2) << reports.join(u'\n').toStdString();
    EXPECT_TRUE(reports[0].contains(QStringLiteral("не оновлюється")));
    EXPECT_TRUE(reports[1].contains(QStringLiteral("знову оновлюється")));
}

// The service database is embedded: no network, but a row another transaction holds
// locked is waited for only as long as the limit.
TEST(ServiceLocks, ALockedRowIsWaitedForOnlyAsLongAsTheLimit)
{
    TempDir dir;
    const QString path = dir.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"));
    CopyNewServiceDatabase(path);
    ScriptedPrompt prompt;
    TDANI d;
    ASSERT_TRUE(d.OpenServiceBase(path, {QStringLiteral("SYSDBA"), QStringLiteral("masterkey")}, prompt, 1));
    TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV) VALUES (1, '-')"));
    d.GPRS_TABL_TIMER.execute(QStringLiteral("UPDATE TABLE_SKARGA SET TABLE_SKARGA_VIDPOV = '+'"));  // held, not committed
    EXPECT_THROW(TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("UPDATE TABLE_SKARGA SET TABLE_SKARGA_VIDPOV = '-'")),
                 fb::Error);
    d.TRANZ_GPRS_TIMER.rollback();
}

}  // namespace
