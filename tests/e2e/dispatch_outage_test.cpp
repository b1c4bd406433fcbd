// The dispatchers' database across a real network: its server stopped and started again,
// and the network to it going silent (no reset, no close) and coming back, under the
// running program (a server and a relay of the test's own; the shared server serves
// other tests meanwhile). Nobody waits past the time limit, orders are never told wrong,
// and everything works again without a restart of the program.

#include "data/fb.h"
#include "headless_process.h"
#include "common/text64.h"
#include "java_test_client.h"
#include "mobile_requests.h"
#include "private_firebird_server.h"
#include "silent_relay.h"
#include "web_framework/web_client.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kvtest;

const QByteArray kPlaced = "<OtvetCreateZam><NumZam>";
const QByteArray kUpdate = "<UpdateZam>@";
// The answer of an order the dispatchers' database could not take (not of a refused one).
const QByteArray kFailed = "<OtvetCreateZam><NumZam>0</NumZam><Error>"
    + EncodeText64(QStringLiteral("Помилка під час створення замовлення ! Немає зєднання з базою даних "
                                      "диспетчерської служби ! Повторіть спробу замовлення або виконайте замовлення у "
                                      "телефонному режимі."))
    + "</Error></OtvetCreateZam>@";
constexpr int kWaitSeconds = 3;

class DispatchOutage : public HeadlessTest {
protected:
    void SetUp() override
    {
        folder.useServer(ServerPassword(), relay.prefix());
        // A commit of a new order takes the dispatchers' server a second while HOLD_COMMITS
        // has a row: long enough for the network to go silent while it commits.
        direct(QStringLiteral("CREATE TABLE HOLD_COMMITS (ON_ INTEGER)"));
        direct(QStringLiteral("CREATE TRIGGER MARK_NEW_ORDER FOR ZAMOVLENNIA AFTER INSERT AS BEGIN "
                              "RDB$SET_CONTEXT('USER_TRANSACTION', 'NEW_ORDER', '1'); END"));
        direct(QStringLiteral("CREATE TRIGGER HOLD_ORDER_COMMIT ON TRANSACTION COMMIT AS "
                              "DECLARE started TIMESTAMP; BEGIN "
                              "IF (RDB$GET_CONTEXT('USER_TRANSACTION', 'NEW_ORDER') = '1' "
                              "    AND EXISTS (SELECT * FROM HOLD_COMMITS)) THEN BEGIN "
                              "started = CAST('NOW' AS TIMESTAMP); "
                              "WHILE (DATEDIFF(MILLISECOND FROM started TO CAST('NOW' AS TIMESTAMP)) < 1000) DO "
                              "started = started; END END"));
        folder.createServiceDatabase({{QStringLiteral("00101"), QStringLiteral("pw")}});
        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        ASSERT_TRUE(scale.open(QIODevice::WriteOnly));
        scale.write("[KARTA_MISTA]\r\nLENGTH=1000\r\nLENGTH_TOCHKA=100\r\n");
        scale.close();
        run(QStringLiteral("[SET_FIRMA]\nTELEFON_FIRMA=(0332) 77-77-77\nMISTO=Луцьк\n"
                           "[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAIN_TARIF=Стандарт\nDOZVIL_POCHATK_ROZR_SUMA=1\n"
                           "DOZVIL_ZAM_PO_DANIH_TELEFONA=1\n"
                           "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=5\n")
                .arg(web)
                .arg(java),
            QStringLiteral("CHAS_OCHIKUVANNYA_BAZY=%1\n").arg(kWaitSeconds));
        ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntilAccepts(java, 10));
        phone = std::make_unique<JavaTestClient>();
        ASSERT_TRUE(phone->connectTo(java));
        ASSERT_EQ(phone->answer(), QByteArray("<OK!>@"));
        phone->send("<CodClient>00101</CodClient><CodPass>pw</CodPass></OpenFormCodZam>###");
        ASSERT_EQ(phone->answer(), QByteArray("<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@"));
    }

    // A statement on the dispatchers' database past the relay, as their program runs it.
    fb::Query *direct(const QString &sql, const fb::Params &params = {})
    {
        base = std::make_unique<fb::Attachment>();
        base->open({server.prefix() + folder.dispatchDatabase(), QStringLiteral("SYSDBA"), folder.password()});
        transaction = std::make_unique<fb::Transaction>(*base);
        query = std::make_unique<fb::Query>(*transaction);
        if (sql.startsWith(QLatin1String("SELECT"))) {
            query->open(sql, params);
        } else {
            query->execute(sql, params);
            transaction->commit();
        }
        return query.get();
    }
    int ordersFrom(const QString &telephone)
    {
        return int(direct(QStringLiteral("SELECT COUNT(*) FROM ZAMOVLENNIA WHERE ZAMOVL_PRICHINA_DELETE LIKE ?"),
                          {QStringLiteral("%[") + telephone + QStringLiteral("]%")})
                       ->field(0)
                       .asInt());
    }

    // The next answer to the phone; order changes the program may have missed meanwhile
    // are notified first, so that the phone asks again.
    QByteArray reply(int milliseconds = 10000)
    {
        QByteArray answer = phone->answer(milliseconds);
        while (answer == kUpdate)
            answer = phone->answer(milliseconds);
        return answer;
    }
    // Until the program has its new connection to the dispatchers' database.
    bool dispatchBack()
    {
        for (int i = 0; i < 100; ++i) {
            httplib::Client health("127.0.0.1", web);
            const httplib::Result answer = health.Get("/health");
            if (answer && answer->body.find("\"dispatchDatabase\":true") != std::string::npos)
                return true;
            QThread::msleep(200);
        }
        return false;
    }
    void expectLostAndBackOnce()
    {
        stop();
        for (const QString &suffix : {QStringLiteral("_LOG_PIDKL_JAVA.RTF"), QStringLiteral("_LOG_PIDKL.RTF")}) {
            const QString log = savedLog(folder.path(), suffix);
            EXPECT_EQ(log.count(QStringLiteral("Втрачено зв'язок з головною базою даних")), 1) << log.toStdString();
            EXPECT_EQ(log.count(QStringLiteral("Зв'язок з головною базою даних відновлено")), 1);
            // Not again at every request that found it lost.
            EXPECT_EQ(log.count(QStringLiteral("Немає зв'язку з базою даних")), 0);
        }
    }

    PrivateFirebirdServer server;
    SilentRelay relay{server.port()};
    const int web = freePort(), java = freePort();
    std::unique_ptr<JavaTestClient> phone;
    std::unique_ptr<fb::Attachment> base;
    std::unique_ptr<fb::Transaction> transaction;
    std::unique_ptr<fb::Query> query;
};

TEST_F(DispatchOutage, OrdersFailWhileTheServerIsDownAndEverythingWorksWhenItIsBack)
{
    phone->send(quickOrder(QStringLiteral("0671112233")));
    EXPECT_TRUE(phone->answer().startsWith(kPlaced + "10"));

    server.stop();
    phone->send(quickOrder(QStringLiteral("0501234567")));
    const QByteArray refused = phone->answer();
    EXPECT_EQ(refused, kFailed);

    server.start();
    ASSERT_TRUE(dispatchBack());
    EXPECT_EQ(ordersFrom(QStringLiteral("0501234567")), 0);
    phone->send("<DateFormCodZam>###");
    EXPECT_TRUE(reply().startsWith("<DateFormCodZam><CountActiveZam>"));
    phone->send(quickOrder(QStringLiteral("0501234567")));
    EXPECT_TRUE(reply().startsWith(kPlaced + "10"));
    EXPECT_EQ(ordersFrom(QStringLiteral("0501234567")), 1);

    WebClient browser(web);
    browser.open();
    const QString page = browser
                    .click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                           {{QStringLiteral("IWEdit1"), QStringLiteral("00101")}, {QStringLiteral("IWEdit2"), QStringLiteral("pw")}})
                    .body;
    EXPECT_TRUE(page.contains(QStringLiteral("Коваленко Олена Петрівна"))) << page.toStdString();
    expectLostAndBackOnce();
}

TEST_F(DispatchOutage, ASilentNetworkHoldsNobodyPastTheLimitAndIsSurvivedWhenItHeals)
{
    relay.silence();
    QElapsedTimer timer;
    timer.start();
    phone->send(quickOrder(QStringLiteral("0939876543")));
    const QByteArray refused = reply(kWaitSeconds * 1000 + 5000);
    EXPECT_EQ(refused, kFailed);
    EXPECT_LT(timer.elapsed(), kWaitSeconds * 1000 + 2000);

    // Known lost: pages and phones are answered at once, orders refused without waiting.
    timer.restart();
    WebClient browser(web);
    EXPECT_TRUE(browser.open().body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    phone->send(quickOrder(QStringLiteral("0939876543")));
    EXPECT_EQ(reply(), kFailed);
    // A status poll that needs the database gets nothing; the request behind it is served.
    phone->send("<DateFormCodZam>###<OpenSettingServer>###");
    EXPECT_TRUE(reply().startsWith("<OtvetSettingServer>"));
    EXPECT_LT(timer.elapsed(), 1000);

    relay.heal();
    ASSERT_TRUE(dispatchBack());
    phone->send(quickOrder(QStringLiteral("0939876543")));
    const QByteArray placed = reply();
    EXPECT_TRUE(placed.startsWith(kPlaced + "10")) << placed.toStdString();
    EXPECT_EQ(ordersFrom(QStringLiteral("0939876543")), 1);
    expectLostAndBackOnce();
}

TEST_F(DispatchOutage, AnOrderWhoseCommitAnswerWasLostIsToldWithItsNumber)
{
    direct(QStringLiteral("INSERT INTO HOLD_COMMITS VALUES (1)"));
    phone->send(quickOrder(QStringLiteral("0662223344")));
    QThread::msleep(300);  // the server is committing
    relay.silence();
    QThread::msleep(1200);  // committed there; the answer went nowhere
    relay.heal();
    const QByteArray placed = reply(kWaitSeconds * 1000 + 5000);
    ASSERT_TRUE(placed.startsWith(kPlaced) && placed != kFailed) << placed.toStdString();
    const QByteArray rest = placed.mid(kPlaced.size());
    const QByteArray number = rest.left(rest.indexOf('<'));
    EXPECT_EQ(direct(QStringLiteral("SELECT ZAMOVL_PRICHINA_DELETE FROM ZAMOVLENNIA WHERE ZAMOVL_NUMBER = ?"),
                     {number.toInt()})
                  ->field(0)
                  .asText(),
              QStringLiteral("тел.:[0662223344]   тариф:[Стандарт]"));
    EXPECT_EQ(ordersFrom(QStringLiteral("0662223344")), 1);
    stop();
    EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"))
                    .contains(QStringLiteral("Замовлення під номером %1 успішно створено").arg(QString::fromLatin1(number))));
    EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL.RTF")).contains(QStringLiteral("успішне створення")));
}

}  // namespace
