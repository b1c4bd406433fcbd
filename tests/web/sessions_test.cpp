#include "web_service_fixture.h"

#include "web/health.h"

#include <QDateTime>
#include <QJsonObject>
#include <QThread>

namespace {

using namespace kvtest;

TEST_F(WebServiceTest, TheLimitAdmitsExactlyMaxSessionsEachWithItsRowAndLogLines)
{
    context.settings.MAX_KIL_ZEDNAYA = QStringLiteral("1");
    WebClient first = browser();
    ASSERT_TRUE(first.open().body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    const QString id = QString::fromStdString(first.address).section(u'/', 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV WHERE TABLE_ACTIV_ID = ? AND TABLE_ACTIV_IP = ?"),
                     {id, QStringLiteral("127.0.0.1")}),
              QStringLiteral("1"));
    EXPECT_GE(logIndex(QStringLiteral("] вхід у web систему клієнта з  IP : 127.0.0.1")), 0);

    WebClient second = browser();
    EXPECT_TRUE(second.open().body.contains(
        QStringLiteral("Зєднань більше максимально заданих ! Через деякий час повторіть спробу будь-ласка, або створіть "
                       "замовлення у телефонноиу режимі (тел. [555-12-12]) !")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV")), QStringLiteral("1"));
    EXPECT_EQ(context.accounts.values().scans, QStringLiteral("2"));
    EXPECT_EQ(context.danni.activeCount, QStringLiteral("1"));

    EXPECT_TRUE(first.click(QStringLiteral("MainWEB"), QStringLiteral("IWLink1"))
                    .body.contains(QStringLiteral("Дякуємо за користування нашими послугами !")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV")), QStringLiteral("0"));
    const int exit = logIndex(QStringLiteral("] вихід із web системи  клієнта з   IP:[127.0.0.1]    код кл.:[]    вхід у["));
    ASSERT_GE(exit, 0);
    EXPECT_TRUE(context.webLog.lines()[exit].contains(QStringLiteral("]    плановий вихід[")));
    // Only the admitted session wrote an exit line.
    EXPECT_EQ(logIndex(QStringLiteral("] вихід із web системи"), exit + 1), -1);
    EXPECT_EQ(second.open().status, 200);
}

// Reloads and left tabs must not lock passengers out: an address holds its share of the
// slots (its oldest unused session makes room), and a page left for good gives its slot
// back once nothing of its session follows for a few seconds.
TEST_F(WebServiceTest, OneAddressHoldsItsShareAndALeftPageGivesItsSlotBack)
{
    context.settings.MAX_KIL_ZEDNAYA = QStringLiteral("20");
    context.settings.MAX_ZEDNAN_Z_ADRESY.clear();  // the default: a tenth, here 2
    std::vector<WebClient> reloads;
    for (int i = 0; i < 60; ++i) {
        reloads.push_back(browser());
        ASSERT_TRUE(reloads.back().open().body.contains(QStringLiteral("<title>Головна сторінка</title>"))) << i;
    }
    EXPECT_EQ(web.application().sessionCount(), 2);
    EXPECT_TRUE(RawGet(web.port(), QStringLiteral("/zakaz"), QStringLiteral("127.0.0.2")).contains(QStringLiteral("303")));
    EXPECT_EQ(web.application().sessionCount(), 3);
    // The replaced ones get the time-out page, as an expired session does.
    EXPECT_FALSE(reloads.front().get().body.contains(QStringLiteral("<title>Головна сторінка</title>")));

    // Sessions in use are never replaced: past the share the address is refused, once a
    // minute in the log, counted for the operator.
    for (WebClient *live : {&reloads[58], &reloads[59]})
        userOf(*live).OrderNumber = 1;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(browser().open().body.contains(QStringLiteral("Зєднань більше максимально заданих !")));
    EXPECT_EQ(context.accounts.values().refusedSessions, QStringLiteral("3"));
    EXPECT_EQ(context.webLog.lines().filter(QStringLiteral("IP : 127.0.0.1 не відкрито: ця адреса вже має 2 зєднань")).size(), 1);

    // A left page: only with the page's current token, not while an order is followed, not
    // when the session goes on within the grace, and not when the page was served anew
    // before the old one said it went (a reload, Back).
    const auto leave = [this](const WebClient &client, const QString &token, const QString &view) {
        httplib::Client beacon("127.0.0.1", web.port());
        beacon.Post(client.address + "/leave", ("__token=" + token + "&__view=" + view).toStdString(),
                    "application/x-www-form-urlencoded");
    };
    WebClient &last = reloads[59];
    userOf(last).OrderNumber = 0;
    leave(reloads[58], reloads[58].token, reloads[58].view);  // an order is followed
    leave(last, last.token, last.view);
    QThread::msleep(500);
    const QString reloaded = last.view;
    last.get();  // the visitor moved on within the service
    leave(last, last.token, reloaded);
    QThread::msleep(6000);
    EXPECT_EQ(web.application().sessionCount(), 3);
    leave(last, QStringLiteral("0123"), last.view);  // not the page's token
    leave(last, last.token, last.view);
    for (int i = 0; i < 80 && web.application().sessionCount() == 3; ++i)
        QThread::msleep(100);
    EXPECT_EQ(web.application().sessionCount(), 2);
    EXPECT_FALSE(last.get().body.contains(QStringLiteral("<title>Головна сторінка</title>")));
}

TEST_F(WebServiceTest, TheExpiryTimerEndsSessionsPastTheirPlannedEndAndLeavesMobileRows)
{
    context.settings.MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("0");
    WebClient late = browser();
    late.open();
    sql(QStringLiteral("INSERT INTO TABLE_ACTIV (TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID, TABLE_ACTIV_END) "
                       "VALUES (100, '10.0.0.9', 'JAVA', ?)"),
        {QDateTime::currentDateTime().addSecs(-3600)});
    web.controller().Timer1Timer();

    EXPECT_EQ(web.application().sessionCount(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV WHERE TABLE_ACTIV_ID = 'JAVA'")), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV")), QStringLiteral("1"));
    const int exit = logIndex(QStringLiteral("] вихід із web системи  клієнта з   IP:[127.0.0.1]"));
    ASSERT_GE(exit, 0);
    EXPECT_GT(logIndex(QStringLiteral("] перевищено ліміт часу праці активної сесії web системи клієнта з  IP : 127.0.0.1"), exit),
              exit);
    EXPECT_TRUE(late.get().body.contains(
        QStringLiteral("Перевищено ліміт часу праці активної сесії ! При потребі обновіть головну сторінку.")));
    EXPECT_TRUE(late.get().body.contains(QStringLiteral("Сесія завершена")));
}

TEST_F(WebServiceTest, SessionsOpenedWhileStoppedHaveNoRowAndEndSilently)
{
    context.panelCaption = kStoppedCaption;
    context.settings.MAX_KIL_ZEDNAYA = QStringLiteral("1");
    WebClient a = browser(), b = browser();
    EXPECT_EQ(a.open().status, 200);
    EXPECT_EQ(b.open().status, 200);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_ACTIV")), QStringLiteral("0"));
    web.endAllSessions();
    EXPECT_EQ(logIndex(QStringLiteral("] вихід із web системи")), -1);
    EXPECT_EQ(context.accounts.values().scans, QStringLiteral("0"));
}

}  // namespace

namespace {

TEST_F(WebServiceTest, HealthAnswersThisHostWithoutASession)
{
    httplib::Client raw("127.0.0.1", web.port());
    const auto health = raw.Get("/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(health->body)).object();
    EXPECT_EQ(report[QStringLiteral("servers")].toString(), QStringLiteral("running"));
    EXPECT_TRUE(report[QStringLiteral("dispatchDatabase")].toBool());
    EXPECT_TRUE(report[QStringLiteral("serviceDatabase")].toBool());
    EXPECT_EQ(report[QStringLiteral("webSessions")].toInt(), 0);
    EXPECT_EQ(web.application().sessionCount(), 0);

    // Behind a proxy on this host every request comes from loopback: the client the
    // proxy names is judged instead.
    web.application().setTrustedProxies({QStringLiteral("127.0.0.1")});
    // Some proxies add the port; an entry that is no address makes nobody local.
    const std::pair<const char *, int> forwarded[] = {{"192.0.2.7", 403},         {"127.0.0.1", 200},
                                                      {"192.0.2.7:51234", 403},   {"127.0.0.1:51234", 200},
                                                      {"[2001:db8::7]:443", 403}, {"[::1]:443", 200},
                                                      {"unknown", 403},           {"192.0.2.7, 127.0.0.1", 403}};
    for (const auto &[header, status] : forwarded)
        EXPECT_EQ(raw.Get("/health", {{"X-Forwarded-For", header}})->status, status) << header;
    web.application().setTrustedProxies({});

    struct Case {
        const char *peer;
        QStringList from;
        bool allowed;
    };
    const Case cases[] = {{"127.0.0.1", {}, true},
                          {"::1", {}, true},
                          {"192.0.2.7", {}, false},
                          {"192.0.2.7", {"192.0.2.8", "192.0.2.7"}, true},
                          {"not an address", {"not an address"}, false}};
    for (const Case &c : cases)
        EXPECT_EQ(HealthRequestAllowed(QString::fromLatin1(c.peer), c.from), c.allowed) << c.peer;
}

}  // namespace
