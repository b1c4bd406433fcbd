#include "route_test_db.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

class CreateOrderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db = new RouteTestDb; }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    void SetUp() override { db->log.clear(); }

    struct Row {
        QStringList texts;
        bool destinationNull = false;
    };
    // The newest order of a client, every written column as text.
    static Row newestOrder(int clientCode)
    {
        fb::Transaction transaction(*db->dispatcher);
        fb::Query query(transaction);
        query.open(QStringLiteral(
                       "SELECT ZAMOVL_NUMBER, ZAMOVL_NOMER_KLIENT, ZAMOVL_PRICHINA_DELETE, ZAMOVL_POCHAT_PUNKT, "
                       "ZAMOVL_PUNKT_PRIZHACH, ZAMOVL_BALANS_KLIENTA, ZAMOVL_SUMA_ROZRAHUNK, ZAMOVL_PRIYOM_ZAMOVL, "
                       "ZAMOVL_DATA_PRIYOMA, ZAMOVL_CHAS_PRIYOMA, ZAMOVL_BEZKOSHTOVN, ZAMOVL_STATUS_ZAMOVL, "
                       "ZAMOVL_DATA_ZAKR_ZAMOVL, ZAMOVL_CHAS_ZAKR_ZAMOVL FROM ZAMOVLENNIA "
                       "WHERE ZAMOVL_NOMER_KLIENT = ? ORDER BY ZAMOVL_NUMBER DESC"),
                   {clientCode});
        Row row;
        if (query.isEmpty())
            return row;
        for (int i = 0; i < 14; ++i)
            row.texts << query.field(i).asText();
        row.destinationNull = query.field(4).isNull();
        transaction.commit();
        return row;
    }
    static int generator()
    {
        fb::Transaction transaction(*db->dispatcher);
        fb::Query query(transaction);
        query.open(QStringLiteral("SELECT GEN_ID(GENIDZAMOVL, 0) FROM RDB$DATABASE"));
        return int(query.field(0).asInt());
    }

    static inline RouteTestDb *db = nullptr;
    const QDateTime accept{QDate(2026, 3, 5), QTime(9, 7, 41)};
    const QDateTime close{QDate(2026, 3, 5), QTime(9, 37, 12)};
};

TEST_F(CreateOrderTest, WritesEveryColumnAndRaisesTheDispatchersEvent)
{
    std::mutex mutex;
    std::condition_variable seen;
    unsigned inserted = 0;
    fb::EventListener listener(*db->dispatcher, {QStringLiteral("EV_InsertZAMOVLENNIA")},
                               [&](const QString &, unsigned count) {
                                   std::lock_guard lock(mutex);
                                   inserted += count;
                                   seen.notify_all();
                               });
    const int before = generator();
    const QString extra = QStringLiteral("тел.:[0501234567]   тариф:[Стандарт] під'їзд 2, ' OR '1'='1");
    const std::optional<int> number = db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70001, extra, QStringLiteral("[Крем'янецька]{12}<5>"),
                                                             QStringLiteral("Вокзал"), 0, 47.415, accept,
                                                             QStringLiteral("HI"), 0, close);
    EXPECT_EQ(number, before + 1);

    const Row row = newestOrder(70001);
    EXPECT_EQ(row.texts, (QStringList{QString::number(before + 1), "70001", extra, "[Крем'янецька]{12}<5>", "Вокзал",
                                      "0", "47,415", "WEB", "05.03.2026", "09:07:00", "HI", "0", "05.03.2026",
                                      "09:37:00"}));
    EXPECT_EQ(db->log, QStringList{QStringLiteral("] успішне створення замовлення від 05.03.2026 09:07:41 клієнтом з "
                                                  "кодом [70001], додаткові дані замовлення [")
                                   + extra + "]."});
    std::unique_lock lock(mutex);
    EXPECT_TRUE(seen.wait_for(lock, 10s, [&] { return inserted >= 1; }));
}

TEST_F(CreateOrderTest, NullOrEmptyDestinationStoresNull)
{
    const int before = generator();
    db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70002, "", "Вокзал", "null", 0, 0, accept, "TAK", 0, close);
    Row row = newestOrder(70002);
    EXPECT_TRUE(row.destinationNull);
    EXPECT_EQ(row.texts.value(0), QString::number(before + 1));
    EXPECT_EQ(row.texts.value(10), "TAK");

    db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70002, "", "Вокзал", "", 0, 0, accept, "HI", 0, close);
    row = newestOrder(70002);
    EXPECT_TRUE(row.destinationNull);
    EXPECT_EQ(row.texts.value(0), QString::number(before + 2));  // consecutive generator values
}

TEST_F(CreateOrderTest, FailedInsertIsLoggedAndTheCallerGoesOn)
{
    // The free-ride column holds three characters: the insert fails.
    EXPECT_EQ(db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70003, "x", "Вокзал", "Ринок", 0, 10, accept, "TOO LONG", 0, close), std::nullopt);
    EXPECT_TRUE(newestOrder(70003).texts.isEmpty());
    EXPECT_EQ(db->log, QStringList{"] помилка під час створення замовлення від 05.03.2026 09:07:41 клієнтом з кодом "
                                   "[70003], додаткові дані замовлення [x]."});
    // The next order goes through on the same query.
    db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70003, "x", "Вокзал", "Ринок", 0, 10, accept, "HI", 0, close);
    EXPECT_EQ(newestOrder(70003).texts.value(6), "10");
}

TEST_F(CreateOrderTest, ClientTextsAreCutToTheirColumns)
{
    const QString extra = QStringLiteral("тел.:[1]   тариф:[Стандарт]  (\r\n[01.01.2026] forged") + QString(600, u'\'') + u')';
    const QString pickup = QStringLiteral("<script>") + QString(400, u'ї');
    const QString destination = QString(301, u'%');
    ASSERT_TRUE(db->engine.CreateOrder(metrics::OrderSource::QuickPage, 70004, extra, pickup, destination, 0, 0, accept, "HI", 0, close));
    const Row row = newestOrder(70004);
    EXPECT_EQ(row.texts.value(2), extra.left(500));
    EXPECT_EQ(row.texts.value(3), pickup.left(300));
    EXPECT_EQ(row.texts.value(4), destination.left(300));
    // The client's line break stays in the order and shows escaped in the log.
    EXPECT_TRUE(db->log.value(0).contains(QStringLiteral("(\\r\\n[01.01.2026] forged")));
}

}  // namespace
