// Orders over the mobile protocol against the real program, with a dispatcher working
// on the same database from this process through the Firebird server: the program
// learns of the dispatcher's changes only by the database's events.

#include "common/extract_between.h"
#include "common/win1251.h"
#include "data/fb.h"
#include "dispatcher.h"
#include "headless_process.h"
#include "java_test_client.h"

#include <QFile>

#include <httplib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace kvtest;

QByteArray cp1251(const char *utf8) { return win1251::fromUnicode(QString::fromUtf8(utf8)).toBase64(); }
QByteArray utf8(const char *text) { return QByteArray(text).toBase64(); }

const QByteArray kUpdate = "<UpdateZam>@";

const char *const kSettings =
    "[SET_FIRMA]\nNAME_FIRMA=Таксі Рута\nTELEFON_FIRMA=(0332) 77-77-77\nMISTO=Луцьк\n"
    "[DOSTUP]\nPORT_WEB_SERVERA=%1\nMAIN_TARIF=Стандарт\nROZKLAD_YUVILEYOK=%3\nDOSTUP_ZAKAZ_YUVILEYLA=1\n"
    "DOZVIL_POCHATK_ROZR_SUMA=1\nDOZVIL_ZAM_PO_DANIH_TELEFONA=1\nCHAS_ZAKRITTYA_ZAM=40\n"
    "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=5\n";

// Every hour of the day, as the jubilee schedule lists hours.
QString allHours()
{
    QString hours;
    for (int hour = 0; hour < 24; ++hour)
        hours += QStringLiteral("[%1]").arg(hour, 2, 10, QChar(u'0'));
    return hours;
}

class MobileOrders : public HeadlessTest {
protected:
    void SetUp() override
    {
        folder.useServer(ServerPassword());
        folder.createServiceDatabase({{QStringLiteral("00101"), QStringLiteral("pw")},
                                      {QStringLiteral("00102"), QStringLiteral("pw")},
                                      {QStringLiteral("00103"), QStringLiteral("pw")}});

        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        ASSERT_TRUE(scale.open(QIODevice::WriteOnly));
        scale.write("[KARTA_MISTA]\r\nLENGTH=1000\r\nLENGTH_TOCHKA=100\r\n");
        scale.close();

        webPort = freePort();
        port = freePort();
        run(QString::fromUtf8(kSettings)
                .arg(webPort)
                .arg(port)
                .arg(jubileeHours)
                .replace(QStringLiteral("[SET_FIRMA]\n"), QStringLiteral("[SET_FIRMA]\n") + extraFirmSettings));
        ASSERT_TRUE(waitUntilAccepts(webPort, 60)) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntilAccepts(port, 10));
        dispatcher = std::make_unique<Dispatcher>(
            fb::ConnectParams{folder.dispatchConnection(), QStringLiteral("SYSDBA"), folder.password()});
    }

    std::unique_ptr<JavaTestClient> connect(const char *address)
    {
        auto client = std::make_unique<JavaTestClient>();
        EXPECT_TRUE(client->connectTo(port, QString::fromLatin1(address)));
        EXPECT_EQ(client->answer(), QByteArray("<OK!>@"));
        return client;
    }
    static void logIn(JavaTestClient &client, const char *code)
    {
        client.send(QByteArray("<CodClient>") + code + "</CodClient><CodPass>pw</CodPass></OpenFormCodZam>###");
        EXPECT_EQ(client.answer(), QByteArray("<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@"));
    }
    // The status block's value of one element.
    static QByteArray status(JavaTestClient &client, const char *tag)
    {
        client.send("<DateFormCodZam>###");
        const QByteArray answer = client.answer();
        const QByteArray open = QByteArray("<") + tag + '>', close = QByteArray("</") + tag + '>';
        const qsizetype from = answer.indexOf(open);
        return from < 0 ? "<none>" : answer.mid(from + open.size(), answer.indexOf(close) - from - open.size());
    }

    QString jubileeHours = allHours();
    QString extraFirmSettings;  // more lines of [SET_FIRMA]
    int webPort = 0;
    int port = 0;
    std::unique_ptr<Dispatcher> dispatcher;
};

class MobileOrdersWithoutJubileeHours : public MobileOrders {
protected:
    void SetUp() override
    {
        jubileeHours.clear();
        MobileOrders::SetUp();
    }
};

TEST_F(MobileOrders, QuickOrderIsFollowedThroughItsLife)
{
    auto phone = connect("127.0.0.1");
    // The client's telephone is known and has no open order.
    const QByteArray order = "<NumPhone>" + cp1251("0671112233") + "</NumPhone><CodClient></CodClient>"
        + "<DataTimeCreate>NEW</DataTimeCreate><Punct1>" + cp1251("[Крем'янецька]{7}") + "</Punct1><Dod1>"
        + cp1251("тел.:[0671112233]   тариф:[Стандарт] під'їзд 2") + "</Dod1><Dod2></Dod2></CreateZam>###";
    phone->send(order);
    EXPECT_EQ(phone->answer(), QByteArray("<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>@"));
    phone->send(order);
    EXPECT_TRUE(phone->answer().startsWith("<OtvetCreateZam><NumZam>0</NumZam><Error>"));

    phone->send("<PerevirkaActiveZam>1003</PerevirkaActiveZam>###");
    const QByteArray active = phone->answer();
    EXPECT_TRUE(active.startsWith("<OtvetActiveZam><ActiveZam>0</ActiveZam><Punct1>" + utf8("[Крем'янецька]{7}")
                                  + "</Punct1><Punct2></Punct2><DataTimeZamCreate>"))
        << active.toStdString();
    EXPECT_TRUE(active.endsWith("<DaniAuto></DaniAuto><TarifZam>" + utf8("Стандарт") + "</TarifZam><DodatkovoZam>"
                                + "</DodatkovoZam></OtvetActiveZam>@"))
        << active.toStdString();

    // Not logged in: told of every order change, and asks again.
    dispatcher->assignCar(1003, QStringLiteral("105"));
    EXPECT_EQ(phone->answer(), kUpdate);
    phone->send("<PerevirkaActiveZam>1003</PerevirkaActiveZam>###");
    const QByteArray taken = phone->answer();
    EXPECT_TRUE(taken.contains("<DaniAuto>" + utf8("позивний[105] авто:[АС 0707 АА / чорний / Volkswagen Passat]")
                               + "</DaniAuto><TarifZam>" + utf8("Стандарт") + "</TarifZam>"))
        << taken.toStdString();

    dispatcher->driverArrived(1003);
    dispatcher->complete(1003);
    EXPECT_EQ(phone->answer(), kUpdate);
    phone->send("<PerevirkaActiveZam>1003</PerevirkaActiveZam>###<PerevirkaActiveZam>1001</PerevirkaActiveZam>###");
    EXPECT_EQ(phone->answer(), QByteArray("<OtvetActiveZam><ActiveZam>1</ActiveZam></OtvetActiveZam>@"));
    EXPECT_EQ(phone->answer(), QByteArray("<OtvetActiveZam><ActiveZam>-1</ActiveZam></OtvetActiveZam>@"));
    stop();
}

TEST_F(MobileOrders, NotificationsGoToTheClientsWhoseViewIsStale)
{
    auto anonymous = connect("127.0.0.1");
    auto updated = connect("127.0.0.2");
    auto fresh = connect("127.0.0.3");

    // 00101 has order 1002 open and has seen it in its status.
    logIn(*updated, "00101");
    EXPECT_EQ(status(*updated, "CountActiveZam"), "1");
    // 00102 gets an open order by a quick order, then logs in and asks nothing yet.
    anonymous->send("<NumPhone>" + cp1251("0671112233") + "</NumPhone><CodClient>102</CodClient>"
                    + "<DataTimeCreate>NEW</DataTimeCreate><Punct1>" + cp1251("Вокзал") + "</Punct1><Dod1>"
                    + cp1251("тел.:[0671112233]   тариф:[Стандарт]") + "</Dod1></CreateZam>###");
    EXPECT_EQ(anonymous->answer(), QByteArray("<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>@"));
    logIn(*fresh, "00102");

    dispatcher->assignCar(1002, QStringLiteral("110"));
    EXPECT_EQ(anonymous->answer(), kUpdate);
    EXPECT_EQ(fresh->answer(), kUpdate);
    EXPECT_EQ(updated->received(1000), QByteArray());

    // Following an order: told when its car changes, until the status has shown the car.
    fresh->send("<CheckNumZamFormCodZam>1003</CheckNumZamFormCodZam>###");
    EXPECT_EQ(status(*fresh, "Pozivn"), "0");
    // Still no car: other orders' changes are none of its business.
    dispatcher->assignCar(1002, QStringLiteral("105"));
    EXPECT_EQ(anonymous->answer(), kUpdate);
    EXPECT_EQ(fresh->received(1000), QByteArray());
    dispatcher->assignCar(1003, QStringLiteral("117"));
    EXPECT_EQ(fresh->answer(), kUpdate);
    EXPECT_EQ(status(*fresh, "Pozivn"), "117");
    dispatcher->assignCar(1002, QStringLiteral("123"));
    EXPECT_EQ(anonymous->answer(), kUpdate);
    EXPECT_EQ(fresh->received(1000), QByteArray());

    // A deleted order leaves the open orders: its follower is told at every change.
    dispatcher->remove(1003);
    EXPECT_EQ(fresh->answer(), kUpdate);
    dispatcher->assignCar(1002, QStringLiteral("101"));
    EXPECT_EQ(fresh->answer(), kUpdate);
    // Only completed orders are in the archive: the demo's order of yesterday.
    const QString yesterday = QDate::currentDate().addDays(-1).toString(QStringLiteral("dd.MM.yyyy"));
    fresh->send("<OpenListArhivZamovl>###");
    EXPECT_EQ(fresh->answer(), "<OpenListArhivZamovl><#1>"
                                   + (yesterday + QStringLiteral(" 18:40:00 [HI] ~~~ Крем'янецька, 7 --- >>> Залізничний "
                                                                 "вокзал попередня розрахована сума =74,5 узяв позивний 101"))
                                         .toUtf8()
                                         .toBase64()
                                   + "</#1><CountActiveZam>1</CountActiveZam></OpenListArhivZamovl>@");
    stop();
}

TEST_F(MobileOrders, CodedOrdersArePricedByTheMainTariff)
{
    auto client = connect("127.0.0.4");
    logIn(*client, "00103");
    const QByteArray trip = "<Punct1>" + cp1251("[проспект Волі]{1}") + "</Punct1><Punct2>"
        + cp1251("[проспект Волі]{15}") + "</Punct2>";
    client->send(trip + "</RozrahSuma>###");
    const QByteArray estimate = client->answer();
    ASSERT_TRUE(estimate.startsWith("</OtvetRozrahSuma><SumaZam>")) << estimate.toStdString();
    const QByteArray sum = estimate.mid(27, estimate.indexOf("</SumaZam>") - 27);
    EXPECT_NE(sum, "25");

    const QByteArray coded = "<NumPhone>" + cp1251("0939876543") + "</NumPhone><DataTimeCreate>NEW</DataTimeCreate>"
        + trip + "<Dod1>" + cp1251("тел.:[0939876543]   тариф:[Стандарт]") + "</Dod1><Dod2>" + cp1251("крісло")
        + "</Dod2></CreateZamCodForm>###";
    client->send(coded);
    EXPECT_EQ(client->answer(), QByteArray("<OtvetCreateZamCodForm><NumZam>1003</NumZam></OtvetCreateZamCodForm>@"));
    EXPECT_EQ(status(*client, "SumaZam"), sum);

    // A jubilee trip is priced as a trip of no length: the taking price.
    client->send(QByteArray(coded).replace("</CreateZamCodForm>", "<Yvileyka>YES</Yvileyka></CreateZamCodForm>"));
    EXPECT_EQ(client->answer(), QByteArray("<OtvetCreateZamCodForm><NumZam>1004</NumZam></OtvetCreateZamCodForm>@"));
    EXPECT_EQ(status(*client, "SumaZam"), "25");

    // Without a destination: the taking price, and no destination stored.
    QByteArray noDestination = coded;
    noDestination.replace("<Punct2>" + cp1251("[проспект Волі]{15}") + "</Punct2>", "");
    client->send(noDestination);
    EXPECT_EQ(client->answer(), QByteArray("<OtvetCreateZamCodForm><NumZam>1005</NumZam></OtvetCreateZamCodForm>@"));
    EXPECT_EQ(status(*client, "SumaZam"), "25");
    EXPECT_EQ(status(*client, "Punct2"), "");

    client->send("<OpenListActivZamovl>###");
    const QByteArray list = client->answer();
    EXPECT_TRUE(list.startsWith("<OpenListActivZamovl><CountActiveZam>3</CountActiveZam><NumZam1>1003</NumZam1><#1>"))
        << list.toStdString();
    stop();
}

TEST_F(MobileOrdersWithoutJubileeHours, RefusalsReachTheClient)
{
    auto client = connect("127.0.0.5");
    // A telephone nobody ordered from: the long refusal with the service's telephones.
    client->send("<NumPhone>" + cp1251("95000") + "</NumPhone><DataTimeCreate>NEW</DataTimeCreate><Punct1>"
                 + cp1251("Вокзал") + "</Punct1><Dod1>" + cp1251("тел.:[95000]   тариф:[Стандарт]")
                 + "</Dod1></CreateZam>###");
    const QByteArray refused = client->answer();
    ASSERT_TRUE(refused.startsWith("<OtvetCreateZam><NumZam>0</NumZam><Error>")) << refused.toStdString();
    const QString text = QString::fromUtf8(
        QByteArray::fromBase64(ExtractBetween(refused, QByteArray("<Error>"), QByteArray("</Error>"))));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[[-] Немає можливості створити замовлення на вказаний телефон.")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("тел.[(0332) 77-77-77]]"))) << text.toStdString();

    // A jubilee trip in an hour the schedule does not list.
    logIn(*client, "00103");
    client->send("<NumPhone>" + cp1251("0939876543") + "</NumPhone><DataTimeCreate>NEW</DataTimeCreate><Punct1>"
                 + cp1251("Вокзал") + "</Punct1><Dod1>" + cp1251("тел.:[0939876543]   тариф:[Стандарт]")
                 + "</Dod1><Yvileyka>YES</Yvileyka></CreateZamCodForm>###");
    EXPECT_EQ(client->answer(),
              "<OtvetCreateZamCodForm><NumZam>0</NumZam><Error>"
                  + utf8("[У налаштуваннях сервера у дану годину немає можливості вибирати ювілейну поїздку "
                         "(ювілейна поїздка не надається як попереднє замовлення, інакше замовте у телефонному "
                         "режимі) ! ]")
                  + "</Error></OtvetCreateZamCodForm>@");
    stop();
}

// The route page on a host of the test's: it answers only once the test lets it, as a
// page taking minutes would.
class MobileOrdersWithSlowRoutePage : public MobileOrders {
protected:
    void SetUp() override
    {
        routePage.Get("/", [this](const httplib::Request &, httplib::Response &response) {
            ++asked;
            released.wait_for(std::chrono::seconds(60));
            response.set_content("{\"duration\":600,\"distance\":5000,\"segments\":[]}", "application/json");
        });
        const int routePort = routePage.bind_to_any_port("127.0.0.1");
        routeThread = std::thread([this] { routePage.listen_after_bind(); });
        extraFirmSettings = QStringLiteral("ROUTE_HOST=127.0.0.1:%1\n").arg(routePort);
        MobileOrders::SetUp();
    }
    void TearDown() override
    {
        release();
        routePage.stop();
        routeThread.join();
        MobileOrders::TearDown();
    }
    void release() { std::call_once(releasedOnce, [this] { letGo.set_value(); }); }

    httplib::Server routePage;
    std::thread routeThread;
    std::atomic<int> asked{0};
    std::promise<void> letGo;
    std::shared_future<void> released = letGo.get_future().share();
    std::once_flag releasedOnce;
};

TEST_F(MobileOrdersWithSlowRoutePage, OthersAreServedMeanwhileAndEveryWaitingOrderIsPlaced)
{
    // Two coded orders to a place off the map: priced by the route page.
    const QByteArray order = "<NumPhone>" + cp1251("0939876543") + "</NumPhone><DataTimeCreate>NEW</DataTimeCreate>"
        + "<Punct1>" + cp1251("[проспект Волі]{1}") + "</Punct1><Punct2>" + cp1251("Аеропорт за містом")
        + "</Punct2><Dod1>" + cp1251("тел.:[0939876543]   тариф:[Стандарт]") + "</Dod1></CreateZamCodForm>###";
    auto waiting = connect("127.0.0.1");
    logIn(*waiting, "00103");
    waiting->send(order + "<OpenSettingServer>###");
    for (int tries = 0; tries < 300 && asked == 0; ++tries)
        QThread::msleep(100);
    ASSERT_EQ(asked, 1);
    auto replaced = connect("127.0.0.3");
    logIn(*replaced, "00102");
    replaced->send(order);

    auto other = connect("127.0.0.2");
    other->send("<OpenNews>###");
    EXPECT_TRUE(other->answer().startsWith("<DataNews>"));
    httplib::Client browser("127.0.0.1", webPort);
    browser.set_follow_location(true);
    const httplib::Result page =
        browser.Get("/zakaz", {{"User-Agent", "Mozilla/5.0 (X11; Linux x86_64) Chrome/120.0 Safari/537.36"}});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    auto replacing = connect("127.0.0.3");  // greeted once the earlier connection is closed

    release();
    // The waiting phone's answers come in the order of its requests. Both pages were
    // waited for at once: either order may be placed first.
    const QByteArray placed = waiting->answer();
    EXPECT_TRUE(placed == "<OtvetCreateZamCodForm><NumZam>1003</NumZam></OtvetCreateZamCodForm>@"
                || placed == "<OtvetCreateZamCodForm><NumZam>1004</NumZam></OtvetCreateZamCodForm>@")
        << placed.toStdString();
    const QString later = placed.contains("1003") ? QStringLiteral("1004") : QStringLiteral("1003");
    EXPECT_TRUE(waiting->answer().startsWith("<OtvetSettingServer>"));
    EXPECT_EQ(status(*waiting, "SumaZam"), "62,5");  // 25 + 7.5 for each of the page's 5 km
    stop();
    // The order whose connection went is placed all the same, and the log says so.
    EXPECT_EQ(dispatcher->openWebOrders().size(), 3);
    const QString log = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    EXPECT_TRUE(log.contains(QStringLiteral("] Замовлення під номером %1 успішно створено клієнтом з IP:[127.0.0.3]").arg(later)));
    EXPECT_TRUE(log.contains(QStringLiteral("закрилося до відповіді: запит виконано, відповідь не відправлена")));
}

// A route page that never answers holds no phone but those waiting for it: four pages are
// waited for at once, and one phone's fares sent one behind the other wait for at most
// two of them, the rest priced at once as trips the page could not measure.
TEST_F(MobileOrdersWithSlowRoutePage, PhonesWaitForThePageTogetherAndOneCannotQueueMoreThanTwo)
{
    const QByteArray fare = "<Punct1>" + cp1251("[проспект Волі]{1}") + "</Punct1><Punct2>" + cp1251("Аеропорт за містом")
        + "</Punct2></RozrahSuma>###";
    std::vector<std::unique_ptr<JavaTestClient>> phones;
    for (const auto &[address, code] : {std::pair{"127.0.0.4", "00101"}, {"127.0.0.5", "00102"}, {"127.0.0.6", "00103"}}) {
        phones.push_back(connect(address));
        logIn(*phones.back(), code);
        phones.back()->send(fare);
    }
    for (int tries = 0; tries < 100 && asked < 3; ++tries)
        QThread::msleep(100);
    EXPECT_EQ(asked, 3);  // not one after the other

    auto eager = connect("127.0.0.7");
    logIn(*eager, "00101");
    eager->send(fare + fare + fare);
    for (int tries = 0; tries < 100 && asked < 4; ++tries)
        QThread::msleep(100);
    release();
    const QByteArray measured = "</OtvetRozrahSuma><SumaZam>62,5</SumaZam></OtvetRozrahSuma>@";
    for (const auto &phone : phones)
        EXPECT_EQ(phone->answer(), measured);
    EXPECT_EQ(eager->answer(), measured);
    EXPECT_EQ(eager->answer(), measured);
    EXPECT_EQ(eager->answer(), QByteArray("</OtvetRozrahSuma><SumaZam>25</SumaZam></OtvetRozrahSuma>@"));
    EXPECT_EQ(asked, 5);
    stop();
}

}  // namespace
