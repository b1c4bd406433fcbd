// The operator's handling of registration requests on real databases, driven through
// the prompt interface as the window drives it.

#include "../common/qt_print.h"
#include "operator_tables.h"
#include "shell/registration_requests.h"

#include <array>

namespace {

using Handling = RegistrationRequests;

class RegistrationRequestsTest : public kvtest::OperatorTablesTest {
protected:
    QString requests(const char *field)
    {
        return column(QStringLiteral("SELECT %1 FROM TABLE_ZAYAVKA ORDER BY TABLE_ZAYAVKA_NP").arg(field));
    }
    Handling handling{context};
};

TEST_F(RegistrationRequestsTest, RequestsAreComparedCorrectedAndTurnedIntoAccountsWhole)
{
    sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_TELEF) VALUES (1, '00102', '067')");
    sql("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD, TABLE_ZAYAVKA_PASS, TABLE_ZAYAVKA_TELEF, "
        "TABLE_ZAYAVKA_PRIM) VALUES (%1, ?, ?, ?, ?)",
        {{"00101", "pa'ss", "050", "від 'Олени'"}, {"00102", "two", "067", ""}, {"", "3", "0", ""}, {"0%", "4", "0", ""}},
        "TABLE_ZAYAVKA");
    // The typed wildcard matches literally: "[0%]" is in no client record.
    const struct { const char *name; std::array<bool, 3> byCodeByTelephoneCreate; } rows[] = {
        {"Коваленко Олена Петрівна", {false, false, true}}, {"Шевчук Андрій Іванович", {true, true, false}},
        {"", {false, false, false}}, {"", {false, false, true}}};
    for (int i = 0; i < 4; ++i) {
        choose(TDANI::Grid::Zayavki, i + 1);
        handling.GPRS_TABL_ZAYAVKIAfterScroll();
        const RequestSelection &s = handling.selection();
        EXPECT_EQ(s.clientName, QString::fromUtf8(rows[i].name));
        EXPECT_EQ((std::array{s.showByCode, s.showByTelephone, s.canCreate}), rows[i].byCodeByTelephoneCreate) << i;
    }

    choose(TDANI::Grid::Zayavki, 1);

    handling.GPRS_TABL_ZAYAVKIAfterScroll();
    prompt.answers = {true, true, true, true, true};
    handling.SpeedButton35Click(QString(501, u'м'));
    handling.SpeedButton35Click(QStringLiteral("Вітаємо"));
    EXPECT_EQ(column("SELECT TABLE_KLIENT_KOD || TABLE_KLIENT_PASS || TABLE_KLIENT_TELEF || TABLE_KLIENT_BAN || "
                     "TABLE_KLIENT_POVID || TABLE_KLIENT_DODAT || IIF(TABLE_KLIENT_DATBAN IS NULL, 'no ban', '') FROM TABLE_KLIENT "
                     "WHERE TABLE_KLIENT_NP = 2"),
              QStringLiteral("00101pa'ss050-Вітаємовід 'Олени'no ban"));
    EXPECT_EQ(requests("TABLE_ZAYAVKA_KOD"), QStringLiteral("00102||0%"));

    // The end of the request fails: the account is not written either.
    sql("CREATE EXCEPTION KV_KEPT 'kept'");
    sql("CREATE TRIGGER KV_KEPT FOR TABLE_ZAYAVKA BEFORE DELETE AS BEGIN EXCEPTION KV_KEPT; END");
    choose(TDANI::Grid::Zayavki, 3);
    handling.GPRS_TABL_ZAYAVKIAfterScroll();
    handling.SpeedButton35Click({});
    sql("DROP TRIGGER KV_KEPT");
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[0], QStringLiteral("Особисте повідомлення довше допустимого (не більше 500 символів). "
                                                 "Клієнта не створено !"));
    EXPECT_TRUE(prompt.messages[1].startsWith(QStringLiteral("Помилка створення клієнта web сервіса. Клієнта не створено")));
    EXPECT_EQ(column("SELECT COUNT(*) FROM TABLE_KLIENT"), QStringLiteral("2"));
    EXPECT_EQ(requests("TABLE_ZAYAVKA_KOD"), QStringLiteral("00102||0%"));

    // Corrections that do not fit are refused, never cut: a cut code is another client's.
    const QString tooLong = QStringLiteral("Нове значення довше допустимого (не більше %1 символів). Дані заявки не змінено !");
    const struct { void (Handling::*button)(); std::optional<QString> answer; const char *field; QString stored, told; } fixes[] = {
        {&Handling::SpeedButton13Click, std::nullopt, "TABLE_ZAYAVKA_KOD", "00102||0%", {}},
        {&Handling::SpeedButton13Click, "00102000001", "TABLE_ZAYAVKA_KOD", "00102||0%", tooLong.arg(10)},
        {&Handling::SpeedButton14Click, QString(31, u'5'), "TABLE_ZAYAVKA_TELEF", "067|0|0", tooLong.arg(30)},
        {&Handling::SpeedButton15Click, "it's", "TABLE_ZAYAVKA_PASS", "two|3|it's", {}},
        {&Handling::SpeedButton13Click, "00102", "TABLE_ZAYAVKA_KOD", "00102||00102", {}},
    };
    for (const auto &fix : fixes) {
        prompt.inputs = {fix.answer};
        prompt.messages.clear();
        (handling.*fix.button)();
        EXPECT_EQ(requests(fix.field), fix.stored);
        EXPECT_EQ(prompt.messages.value(0), fix.told);
    }
    settle();  // the refreshed row is compared again
    EXPECT_EQ((std::array{handling.selection().showByCode, handling.selection().canCreate}), (std::array{true, false}));

    handling.SpeedButton37Click();
    EXPECT_EQ(requests("TABLE_ZAYAVKA_PASS"), QStringLiteral("two|3"));
    handling.SpeedButton38Click();
    settle();
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("0"));
    EXPECT_EQ(handling.selection(), RequestSelection{});
}

// The dispatchers' record is for the operator's judgement: without their database the
// comparison says so, and the account is still made.
TEST_F(RegistrationRequestsTest, AccountsAreMadeWhileTheDispatchersDatabaseIsDown)
{
    sql("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD, TABLE_ZAYAVKA_PASS, TABLE_ZAYAVKA_TELEF) "
        "VALUES (%1, ?, ?, ?)",
        {{"00101", "pw", "050"}}, "TABLE_ZAYAVKA");
    const fb::ConnectParams dispatch = context.danni.BAZA.params();
    context.danni.BAZA.close();
    choose(TDANI::Grid::Zayavki, 1);
    handling.GPRS_TABL_ZAYAVKIAfterScroll();
    EXPECT_EQ(handling.selection().clientExtra, QStringLiteral("дані диспетчерської служби недоступні"));
    EXPECT_TRUE(handling.selection().canCreate);
    prompt.answers = {true};
    handling.SpeedButton35Click({});
    context.danni.BAZA.open(dispatch);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(column("SELECT TABLE_KLIENT_KOD FROM TABLE_KLIENT"), QStringLiteral("00101"));
    EXPECT_EQ(requests("TABLE_ZAYAVKA_KOD"), QString());
}

}  // namespace
