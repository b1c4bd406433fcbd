// Orders placed across a network that goes silent: an order whose commit reached the
// dispatchers' server while its answer was lost is found by its number and reported as
// placed; one whose outcome cannot be settled is a failure that names the number to check;
// an insert whose answer was lost was never committed. Never a second insert.

#include "data/danni.h"
#include "private_firebird_server.h"
#include "scripted_prompt.h"
#include "route/route_engine.h"
#include "service_folder.h"
#include "silent_relay.h"

#include <QThread>

#include <gtest/gtest.h>

#include <future>

namespace {

using namespace kvtest;

constexpr int kWaitSeconds = 2;

class LostCommit : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeDispatchDatabase(database(), false);
        // The dispatchers' server takes a second over each commit of a new order, long
        // enough for the network to go silent while it commits.
        exec(QStringLiteral("CREATE TRIGGER MARK_NEW_ORDER FOR ZAMOVLENNIA AFTER INSERT AS BEGIN "
                            "RDB$SET_CONTEXT('USER_TRANSACTION', 'NEW_ORDER', '1'); END"));
        exec(QStringLiteral("CREATE TRIGGER HOLD_ORDER_COMMIT ON TRANSACTION COMMIT AS "
                            "DECLARE started TIMESTAMP; BEGIN "
                            "IF (RDB$GET_CONTEXT('USER_TRANSACTION', 'NEW_ORDER') = '1') THEN BEGIN "
                            "started = CAST('NOW' AS TIMESTAMP); "
                            "WHILE (DATEDIFF(MILLISECOND FROM started TO CAST('NOW' AS TIMESTAMP)) < 1000) DO "
                            "started = started; END END"));
        ASSERT_TRUE(danni.OpenDispatchBase(relay.prefix() + database(), {QStringLiteral("SYSDBA"), password}, prompt,
                                           kWaitSeconds));
    }

    QString database() const { return dir.filePath(QStringLiteral("DISPATCH.FDB")); }
    void exec(const QString &sql)
    {
        fb::Attachment direct;
        direct.open({server.prefix() + database(), QStringLiteral("SYSDBA"), password});
        fb::Transaction transaction(direct);
        fb::Query(transaction).execute(sql);
        transaction.commit();
    }
    // The orders of a telephone, read past the relay.
    int orders(const QString &telephone)
    {
        fb::Attachment direct;
        direct.open({server.prefix() + database(), QStringLiteral("SYSDBA"), password});
        fb::Transaction transaction(direct);
        fb::Query query(transaction);
        query.open(QStringLiteral("SELECT COUNT(*) FROM ZAMOVLENNIA WHERE ZAMOVL_PRICHINA_DELETE = ?"), {telephone});
        return int(query.field(0).asInt());
    }
    std::future<std::optional<int>> order(const QString &telephone)
    {
        return std::async(std::launch::async, [this, telephone] {
            const QDateTime now = QDateTime::currentDateTime();
            return engine.CreateOrder(metrics::OrderSource::QuickPage, 0, telephone, QStringLiteral("[Крем'янецька]{7}"), QStringLiteral("null"), 0, 0,
                                      now, QStringLiteral("HI"), 0, now.addSecs(600));
        });
    }
    QString lastLine() const { return log.isEmpty() ? QString() : log.last(); }

    PrivateFirebirdServer server;
    SilentRelay relay{server.port()};
    TempDir dir;
    const QString password = ServerPassword();
    ScriptedPrompt prompt;
    TDANI danni;
    QStringList log;
    RouteEngine engine{danni, dir.path(), [this](const QString &line) { log << line; }};
};

TEST_F(LostCommit, ACommitWhoseAnswerWasLostIsFoundByItsNumberOnceTheNetworkIsBack)
{
    std::future<std::optional<int>> placed = order(QStringLiteral("тел.:[0501111111]"));
    QThread::msleep(300);  // the server is committing
    relay.silence();
    QThread::msleep(1200);  // committed there; the answer went nowhere
    relay.heal();
    const std::optional<int> number = placed.get();
    ASSERT_TRUE(number.has_value()) << lastLine().toStdString();
    EXPECT_GT(*number, 0);
    EXPECT_TRUE(lastLine().startsWith(QStringLiteral("] успішне створення"))) << lastLine().toStdString();
    EXPECT_EQ(orders(QStringLiteral("тел.:[0501111111]")), 1);
}

TEST_F(LostCommit, AnOutcomeThatCannotBeSettledFailsAndNamesTheNumberToCheck)
{
    std::future<std::optional<int>> placed = order(QStringLiteral("тел.:[0502222222]"));
    QThread::msleep(300);
    relay.silence();
    EXPECT_FALSE(placed.get().has_value());
    EXPECT_TRUE(lastLine().startsWith(QStringLiteral("] помилка під час створення"))) << lastLine().toStdString();
    EXPECT_TRUE(lastLine().contains(QStringLiteral("невідомо"))) << lastLine().toStdString();
    // The log names the order the dispatchers should check: the one that stands.
    const int number = lastLine().section(QStringLiteral("Перевірте замовлення № "), 1).section(u'.', 0, 0).toInt();
    fb::Attachment direct;
    direct.open({server.prefix() + database(), QStringLiteral("SYSDBA"), password});
    fb::Transaction transaction(direct);
    fb::Query query(transaction);
    query.open(QStringLiteral("SELECT ZAMOVL_PRICHINA_DELETE FROM ZAMOVLENNIA WHERE ZAMOVL_NUMBER = ?"), {number});
    EXPECT_EQ(query.field(0).asText(), QStringLiteral("тел.:[0502222222]"));
}

TEST_F(LostCommit, AnInsertWhoseAnswerWasLostWasNeverCommitted)
{
    relay.silence();
    EXPECT_FALSE(order(QStringLiteral("тел.:[0503333333]")).get().has_value());
    EXPECT_TRUE(lastLine().startsWith(QStringLiteral("] помилка під час створення"))) << lastLine().toStdString();
    relay.heal();
    // The next order goes on a new connection once the background has made it.
    for (int i = 0; i < 100 && !danni.BAZA.restore(); ++i)
        QThread::msleep(50);
    EXPECT_TRUE(order(QStringLiteral("тел.:[0504444444]")).get().has_value());
    EXPECT_EQ(orders(QStringLiteral("тел.:[0503333333]")), 0);
    EXPECT_EQ(orders(QStringLiteral("тел.:[0504444444]")), 1);
}

}  // namespace
