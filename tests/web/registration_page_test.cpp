// The registration page over real HTTP on the demo city's dispatchers' database.

#include "web_service_fixture.h"

#include "../common/qt_print.h"

namespace {

using namespace kvtest;
using RegistrationPageTest = WebServiceTest;

// Applies on the page; the answer's body.
QString apply(WebClient &client, const QString &code, const QString &password, const QString &telephone,
              const QString &note = {})
{
    return client.click(QStringLiteral("Form_Reestracya"), QStringLiteral("IWButton1"),
                        {{QStringLiteral("IWEdit1"), code}, {QStringLiteral("IWEdit2"), password},
                         {QStringLiteral("IWEdit3"), telephone}, {QStringLiteral("IWMemo1"), note}})
        .body;
}

// An alert's text as the page carries it (in JSON, HTML-escaped).
QString alert(QString text)
{
    return text.replace(u'\r', QStringLiteral("\\r")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}

TEST_F(RegistrationPageTest, RefusalsListTheirItemsAndAnApplicationThatPassesWaitsForTheOperator)
{
    sql(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD) VALUES (1, '00102')"));
    sql(QStringLiteral("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD) VALUES (1, '00999')"));
    WebClient client = browser();
    client.open();
    client.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton3"));
    const QString noCode = QStringLiteral("<Вказаний код не існує у базі диспетчерської служби>"), phone = QStringLiteral("05012");
    const struct { QString code, password, telephone; QStringList items; } cases[] = {
        // The database is not asked about an incomplete form.
        {{}, {}, {}, {"<Не задано код клієнта>", "<Не задано ваш пароль>", "<Не задано телефонний номер>"}},
        {"00999", "x", "1234", {"<Телефонний номер закороткий, повинно бути >=5 символів>"}},
        {"00999", "x", "abcdefg", {"<Телефонний номер може містити тільки цифри, пробіли, +, - і круглі дужки>"}},
        {"00999", "x", phone, {noCode, "<На вказаний код існує заявка, зачекайте закінчення обробки заявки модератором>"}},
        {"00102", "x", phone, {"<Вказаний код був вже попередньо створений у системі web сервіса>"}},
        // Letters, typed wildcards and quotes are plain text found in no client record.
        {"12a", "x", phone, {noCode}}, {"0%", "x", phone, {noCode}}, {"001_1", "x", phone, {noCode}},
        {"0' OR ''='", "x", phone, {noCode}}, {"0", "x", phone, {noCode}},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(apply(client, c.code, c.password, c.telephone)
                        .contains(alert(QStringLiteral("Немає можливості подати заявку, можливі помилки : \r")
                                        + c.items.join(QStringLiteral("\r/"))
                                        + QStringLiteral(". Після виправлення помилок повторіть спробу !"))
                                  + QStringLiteral("&quot;]")))
            << c.code.toStdString();
    EXPECT_TRUE(apply(client, {}, {}, {}).contains(
        QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта !")));
    EXPECT_GE(logIndex(QStringLiteral("(підбір телефона і/або кода) ! IP : 127.0.0.1")), 0);

    WebClient second = browser();
    second.open();
    second.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton3"));
    const QString telephone = QStringLiteral("0501234567") + QString(20, u'9');
    EXPECT_TRUE(apply(second, QStringLiteral("00101"), QStringLiteral("pa'ss\r\nx"), telephone, QString(500, u'п'))
                    .contains(QStringLiteral("[&quot;Успішна подача заявки на вхід у систему web сервіса.")));
    // As typed, up to the fields' lengths; the operator's counter has it; a typed line break
    // stays in its log line.
    EXPECT_EQ(scalar(QStringLiteral("SELECT TABLE_ZAYAVKA_KOD || TABLE_ZAYAVKA_PASS || TABLE_ZAYAVKA_TELEF || "
                                    "CHAR_LENGTH(TABLE_ZAYAVKA_PRIM) || IIF(TABLE_ZAYAVKA_DATA = CURRENT_DATE, 'today', "
                                    "'other') FROM TABLE_ZAYAVKA WHERE TABLE_ZAYAVKA_NP = 2")),
              QStringLiteral("00101pa'ss\r\nx") + telephone + QStringLiteral("500today"));
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("2"));
    EXPECT_GE(logIndex(QStringLiteral("<код клієнта : 00101>/<заданий пароль : pa'ss\\r\\nx>/<конт. телефон.: ")
                       + telephone + u'>'), 0);
}

}  // namespace
