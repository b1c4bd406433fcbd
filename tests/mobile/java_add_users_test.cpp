#include "common/win1251.h"
#include "mobile/java_add_users.h"
#include "mobile_databases.h"

#include <gtest/gtest.h>

namespace {

const QString kRefused = QStringLiteral(
    "[Заявка на реєстрацію не пройшла, у вас є можливість тільки створення замовлення на панелі ШВИДКЕ "
    "ЗАМОВЛЕННЯ, або пройти реєстрацію повторно]");

QByteArray refusal(const QString &errorText)
{
    return "<OtvetAddUsers><Error>" + (errorText + kRefused).toUtf8().toBase64() + "</Error></OtvetAddUsers>";
}

QByteArray application(const QByteArray &code, const QByteArray &password, const char *phone, const char *note = "")
{
    return "<CodClient>" + code + "</CodClient><CodPass>" + password + "</CodPass><NumPhone>"
        + win1251::fromUnicode(QString::fromUtf8(phone)).toBase64() + "</NumPhone><Primitka>"
        + win1251::fromUnicode(QString::fromUtf8(note)).toBase64() + "</Primitka></AddUsers>";
}

class AddUsers : public MobileDatabases {
protected:
    AddUsers() : MobileDatabases(true) {}

    QByteArray answer(const QByteArray &request)
    {
        return AddUsersAnswer(context, QStringLiteral("10.0.0.7"), request, now);
    }
    int applications()
    {
        return TDANI::ScalarText(context.danni.GPRS_RIZNE, QStringLiteral("SELECT COUNT(*) FROM TABLE_ZAYAVKA")).toInt();
    }

    QDateTime now{QDate(2026, 3, 1), QTime(9, 30, 0)};
};

TEST_F(AddUsers, EveryMissingFieldIsReportedInOrderAndNothingIsLookedUp)
{
    EXPECT_EQ(answer("</AddUsers>"), refusal(QStringLiteral("<Не задано код клієнта>\r/<Не задано ваш пароль>\r/"
                                                             "<Не задано телефонний номер>")));
    EXPECT_EQ(answer(application(" \t", "pass", "  ")),
              refusal(QStringLiteral("<Не задано код клієнта>\r/<Не задано телефонний номер>")));
    // A short phone alone: the unknown code is not even looked up.
    EXPECT_EQ(answer(application("99999", "pass", "1234")),
              refusal(QStringLiteral("<Телефонний номер закороткий, повинно бути >=5 символів>")));
    EXPECT_EQ(applications(), 0);
    const QStringList log = context.mobileLog.lines();
    ASSERT_GE(log.size(), 4);
    EXPECT_EQ(log[0], QStringLiteral("[01.03.2026 09:30:00] Під час реєстрації клієнта з IP:[10.0.0.7] в системі java "
                                     "виникла помилка :"));
    EXPECT_EQ(log[1], QString(33, u'-'));
    EXPECT_EQ(log[2], QStringLiteral("<Не задано код клієнта>\r/<Не задано ваш пароль>\r/<Не задано телефонний номер>"));
}

TEST_F(AddUsers, AKnownCodeIsRecordedOnceAndQuotesStayText)
{
    EXPECT_EQ(answer(application("' OR '1'='1", "pass", "0501234567")),
              refusal(QStringLiteral("<Вказаний код не існує у базі диспетчерської служби>")));
    EXPECT_EQ(applications(), 0);

    // A line break in the password is stored as sent and cannot start a line of the log.
    EXPECT_EQ(answer(application("00102", "p's\r\n[1]", "067 111-22-33", "Крем'янецька, 7")),
              QByteArray("<OtvetAddUsers><Error></Error></OtvetAddUsers>"));
    TDANI::Select(context.danni.GPRS_RIZNE, QStringLiteral("SELECT * FROM TABLE_ZAYAVKA"));
    fb::Query &row = context.danni.GPRS_RIZNE;
    ASSERT_EQ(row.recordCount(), 1);
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_NP")).asInt(), 1);
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_DATA")).asText(), QStringLiteral("01.03.2026"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_KOD")).asText(), QStringLiteral("00102"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_PASS")).asText(), QStringLiteral("p's\r\n[1]"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_TELEF")).asText(), QStringLiteral("067 111-22-33"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_ZAYAVKA_PRIM")).asText(), QStringLiteral("Крем'янецька, 7"));
    row.close();
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("1"));
    EXPECT_TRUE(context.mobileLog.lines().contains(QStringLiteral(
        "[01.03.2026 09:30:00] успішна подача заявки на кодований вхід у java сервіс. Подані дані : <код клієнта : "
        "00102>/<заданий пароль : p's\\r\\n[1]>/<конт. телефон.: 067 111-22-33>")));
    EXPECT_TRUE(context.mobileLog.lines().contains(
        QStringLiteral("[01.03.2026 09:30:00] Клієнт з IP:[10.0.0.7] успішно подав заявку на реєстрацію в сервісі.")));

    EXPECT_EQ(answer(application("00102", "other", "0671112233")),
              refusal(QStringLiteral("<На вказаний код існує заявка, зачекайте закінчення обробки заявки модератором>")));
    EXPECT_EQ(applications(), 1);
}

TEST_F(AddUsers, ACodeThatAlreadyHasAnAccountIsRefused)
{
    TDANI::Execute(context.danni.GPRS_RIZNE,
                   QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD) VALUES (1, '00101')"));
    EXPECT_EQ(answer(application("00101", "pass", "0501234567")),
              refusal(QStringLiteral("<Вказаний код був вже попередньо створений у системі web сервіса>")));
}

}  // namespace
