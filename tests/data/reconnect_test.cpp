// The data module against a Firebird server stopped and started again under it (a server
// of the test's own; the shared one serves other tests meanwhile).

#include "common/prompt.h"
#include "data/danni.h"
#include "private_firebird_server.h"
#include "scripted_prompt.h"
#include "service_folder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

using namespace kvtest;

// What the data module told: connections lost and found, events of the dispatchers.
class Told {
public:
    void connection(bool connected)
    {
        std::lock_guard lock(mutex_);
        changes_ << (connected ? QStringLiteral("back") : QStringLiteral("lost"));
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

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    QStringList changes_, events_;
};

class Reconnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeDispatchDatabase(dir.filePath(QStringLiteral("DISPATCH.FDB")), false);
        QObject::connect(&d, &TDANI::connectionChanged, &d,
                         [this](TDANI::Database, bool connected, const QString &) { told.connection(connected); },
                         Qt::DirectConnection);
        QObject::connect(&d, &TDANI::dispatchEvent, &d, [this](const QString &name, unsigned) { told.event(name); },
                         Qt::DirectConnection);
        ASSERT_TRUE(d.OpenDispatchBase(database(), {QStringLiteral("SYSDBA"), password}, prompt)) << prompt.messages.join(u'\n').toStdString();
    }

    QString database() const { return server.prefix() + dir.filePath(QStringLiteral("DISPATCH.FDB")); }
    QString clients() { return TDANI::ScalarTextReadOnly(d.RIZNE, QStringLiteral("SELECT COUNT(*) FROM KLIENT")); }
    void restart()
    {
        server.stop();
        server.start();
    }

    PrivateFirebirdServer server;
    TempDir dir;
    const QString password = ServerPassword();
    ScriptedPrompt prompt;
    TDANI d;
    Told told;
};

TEST_F(Reconnect, AReadAfterARestartIsAnsweredOnANewConnection)
{
    const QString before = clients();
    restart();
    EXPECT_EQ(clients(), before);
    TDANI::Select(d.RIZNE, QStringLiteral("SELECT COUNT(*) FROM KLIENT"));
    EXPECT_EQ(d.RIZNE.field(0).asText(), before);
    d.RIZNE.close();
    EXPECT_EQ(told.changes(), QStringList({QStringLiteral("lost"), QStringLiteral("back")}));
}

TEST_F(Reconnect, WhileTheServerIsDownEveryStatementFailsAsLostAndWorksWhenItIsBack)
{
    server.stop();
    const QString insert = QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO) VALUES (?, '[00900]')");
    EXPECT_THROW(clients(), fb::ConnectionLost);
    EXPECT_THROW(TDANI::Execute(d.RIZNE, insert, {900}), fb::ConnectionLost);
    EXPECT_THROW(TDANI::Select(d.RIZNE, QStringLiteral("SELECT * FROM KLIENT")), fb::ConnectionLost);
    EXPECT_EQ(told.changes(), QStringList({QStringLiteral("lost")}));

    server.start();
    EXPECT_EQ(TDANI::Execute(d.RIZNE, insert, {900}), 1);
    EXPECT_EQ(TDANI::ScalarTextReadOnly(d.RIZNE, QStringLiteral("SELECT COUNT(*) FROM KLIENT WHERE KLIENT_NUMBER = 900")),
              QStringLiteral("1"));
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
    EXPECT_EQ(TDANI::ScalarTextReadOnly(d.RIZNE, QStringLiteral("SELECT COUNT(*) FROM KLIENT WHERE KLIENT_NUMBER = 901")),
              QStringLiteral("0"));
}

TEST_F(Reconnect, TheDispatchersEventsArriveAgainAfterARestart)
{
    restart();
    clients();  // notices the restart and connects again
    fb::Attachment dispatcher;
    dispatcher.open({database(), QStringLiteral("SYSDBA"), password});
    fb::Transaction transaction(dispatcher);
    fb::Query(transaction).execute(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'EV_InsertZAMOVLENNIA'; END"));
    transaction.commit();
    EXPECT_TRUE(told.waitForEvent(QStringLiteral("EV_InsertZAMOVLENNIA")));
}

}  // namespace
