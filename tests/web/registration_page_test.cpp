// The registration page over real HTTP on the demo city's dispatchers' database: the
// checks and their message, the attempt limit, and the request it stores.

#include "web_service_fixture.h"

#include "../common/qt_print.h"
#include "data/row_number.h"
#include "page_alerts.h"

namespace {

using namespace kvtest;

const QString kPage = QStringLiteral("Form_Reestracya");
const QString kNoCode = QStringLiteral("<Вказаний код не існує у базі диспетчерської служби>");
const QString kHasAccount = QStringLiteral("<Вказаний код був вже попередньо створений у системі web сервіса>");
const QString kHasRequest =
    QStringLiteral("<На вказаний код існує заявка, зачекайте закінчення обробки заявки модератором>");

QString refusal(const QStringList &items)
{
    return QStringLiteral("Немає можливості подати заявку, можливі помилки : \r") + items.join(QStringLiteral("\r/"))
        + QStringLiteral(". Після виправлення помилок повторіть спробу !");
}

class RegistrationPageTest : public WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        sql(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                           "TABLE_KLIENT_BAN) VALUES (1, '00102', 'p', '-')"));
        sql(QStringLiteral("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD) VALUES (1, '00999')"));
    }
    WebClient openPage()
    {
        WebClient client = browser();
        client.open();
        EXPECT_TRUE(client.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton3"))
                        .body.contains(QStringLiteral("<title>Реєстрація у web системі</title>")));
        return client;
    }
    static WebAnswer apply(WebClient &client, const QString &code, const QString &password, const QString &telephone,
                           const QString &note = {})
    {
        return client.click(kPage, QStringLiteral("IWButton1"),
                            {{QStringLiteral("IWEdit1"), code},
                             {QStringLiteral("IWEdit2"), password},
                             {QStringLiteral("IWEdit3"), telephone},
                             {QStringLiteral("IWMemo1"), note}});
    }
    QString requests()
    {
        ServiceLockGuard lock(ServiceLock());
        fb::Query &q = context.danni.GPRS_RIZNE;
        TDANI::Select(q, QStringLiteral("SELECT TABLE_ZAYAVKA_KOD || '/' || TABLE_ZAYAVKA_PASS || '/' || "
                                        "TABLE_ZAYAVKA_TELEF || '/' || CHAR_LENGTH(TABLE_ZAYAVKA_PRIM) || '/' || "
                                        "IIF(TABLE_ZAYAVKA_DATA = CURRENT_DATE, 'today', 'other') "
                                        "FROM TABLE_ZAYAVKA WHERE TABLE_ZAYAVKA_NP > 1 ORDER BY TABLE_ZAYAVKA_NP"));
        QStringList rows;
        for (q.first(); !q.eof(); q.next())
            rows << q.field(0).asText();
        q.close();
        return rows.join(u'|');
    }
};

TEST_F(RegistrationPageTest, RefusalsGatherTheirItemsAndTheEleventhEndsTheSession)
{
    WebClient client = openPage();
    struct Case {
        QString code, password, telephone;
        QStringList items;
    };
    const QString phone = QStringLiteral("0501234567");
    const Case cases[] = {
        // Only the missing fields: the database is not asked about an incomplete form.
        {{}, {}, {}, {QStringLiteral("<Не задано код клієнта>"), QStringLiteral("<Не задано ваш пароль>"),
                      QStringLiteral("<Не задано телефонний номер>")}},
        {QStringLiteral("00999"), QStringLiteral("x"), QStringLiteral("1234"),
         {QStringLiteral("<Телефонний номер закороткий, повинно бути >=5 символів>")}},
        {QStringLiteral("00999"), QStringLiteral("x"), phone, {kNoCode, kHasRequest}},
        {QStringLiteral("00102"), QStringLiteral("x"), phone, {kHasAccount}},
        {QStringLiteral("12a"), QStringLiteral("x"), phone, {kNoCode}},
        // Typed wildcards and quotes are plain text: "[0%]" is in no client's record.
        {QStringLiteral("0%"), QStringLiteral("x"), phone, {kNoCode}},
        {QStringLiteral("001_1"), QStringLiteral("x"), phone, {kNoCode}},
        {QStringLiteral("0' OR ''='"), QStringLiteral("x"), phone, {kNoCode}},
    };
    for (const Case &c : cases) {
        const WebAnswer answer = apply(client, c.code, c.password, c.telephone);
        EXPECT_EQ(AlertsOf(answer), refusal(c.items)) << c.code.toStdString();
        EXPECT_TRUE(answer.body.contains(QStringLiteral("<title>Реєстрація у web системі</title>")));
    }
    EXPECT_EQ(requests(), QString());

    for (int attempt = 9; attempt <= 10; ++attempt)
        EXPECT_EQ(AlertsOf(apply(client, QString(), QString(), phone)),
                  refusal({QStringLiteral("<Не задано код клієнта>"), QStringLiteral("<Не задано ваш пароль>")}));
    const WebAnswer ended = apply(client, QStringLiteral("00101"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_TRUE(ended.body.contains(
        QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта !")))
        << ended.body.toStdString();
    EXPECT_GE(logIndex(QStringLiteral("] Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта "
                                      "(підбір телефона і/або кода) ! IP : 127.0.0.1")),
              0);
    EXPECT_EQ(web.application().sessionCount(), 0);
}

TEST_F(RegistrationPageTest, AnApplicationThatPassesBecomesARequestForTheOperator)
{
    WebClient client = openPage();
    // The fields hold what the columns hold; a longer post is cut as the browser cuts it.
    const QString telephone = QStringLiteral("0501234567") + QString(21, u'9');
    const WebAnswer done = apply(client, QStringLiteral("00101"), QStringLiteral("pa'ss\r\nx"), telephone,
                                 QString(600, u'п'));
    EXPECT_TRUE(done.body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    EXPECT_EQ(AlertsOf(done), QStringLiteral("Успішна подача заявки на вхід у систему web сервіса. Можливий вхід у систему "
                                             "замовлення таксі тільки після обробки заявки модератором !"));
    EXPECT_EQ(requests(), QStringLiteral("00101/pa'ss\r\nx/") + telephone.left(30) + QStringLiteral("/500/today"));
    // The operator's list counts it at once.
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("2"));
    // A typed line break cannot start a line of its own in the log.
    EXPECT_GE(logIndex(QStringLiteral("] успішна подача заявки на кодований вхід у web сервіс. Подані дані : <код клієнта : "
                                      "00101>/<заданий пароль : pa'ss\\r\\nx>/<конт. телефон.: ")
                       + telephone.left(30) + u'>'),
              0);

    // The same code again waits for the operator.
    client.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton3"));
    EXPECT_EQ(AlertsOf(apply(client, QStringLiteral("00101"), QStringLiteral("y"), QStringLiteral("0501234567"))),
              refusal({kHasRequest}));

    // A request the database refuses to store keeps the page, says so and is logged.
    sql(QStringLiteral("CREATE EXCEPTION KV_NO_REQUESTS 'no requests today'"));
    sql(QStringLiteral("CREATE TRIGGER KV_NO_REQUESTS FOR TABLE_ZAYAVKA BEFORE INSERT AS BEGIN EXCEPTION KV_NO_REQUESTS; END"));
    const WebAnswer failed = apply(client, QStringLiteral("00103"), QStringLiteral("z"), QStringLiteral("0509876543"));
    EXPECT_EQ(AlertsOf(failed), QStringLiteral("Помилка під час створення заявки. Після виправлення помилок повторіть спробу !"));
    EXPECT_TRUE(failed.body.contains(QStringLiteral("<title>Реєстрація у web системі</title>")));
    EXPECT_GE(logIndex(QStringLiteral("] помилка під час створення заявки на вхід у web сервіс. Дані для подання : <код "
                                      "клієнта : 00103>/<заданий пароль : z>/<конт. телефон.: 0509876543>  IP : 127.0.0.1")),
              0);
}

}  // namespace
