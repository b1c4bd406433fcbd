// The operator's handling of registration requests on real databases, driven through
// the prompt interface as the window drives it.

#include "../common/qt_print.h"
#include "operator_tables.h"
#include "shell/registration_requests.h"

namespace {

using namespace kvtest;

class RegistrationRequestsTest : public OperatorTablesTest {
protected:
    void SetUp() override
    {
        OperatorTablesTest::SetUp();
        QObject::connect(&requests, &RegistrationRequests::clientsRequested,
                         [this](const ClientSearch &search) { searches.push_back(search); });
    }
    const RequestSelection &select(int recNo)
    {
        requests.selectRow(recNo);
        return requests.selection();
    }
    QString requestColumn(const char *column)
    {
        return this->column(QStringLiteral("SELECT %1 FROM TABLE_ZAYAVKA ORDER BY TABLE_ZAYAVKA_NP").arg(QLatin1String(column)));
    }

    RegistrationRequests requests{context};
    std::vector<ClientSearch> searches;
};

TEST_F(RegistrationRequestsTest, SelectionComparesCorrectionsAreCheckedAndDeletionsAskFirst)
{
    account(QStringLiteral("00102"), QStringLiteral("p"), QStringLiteral("0671112233"));
    request(QStringLiteral("00101"), QStringLiteral("one"), QStringLiteral("0500000001"), QStringLiteral("перша"));
    request(QStringLiteral("00102"), QStringLiteral("two"), QStringLiteral("0671112233"), QString());
    request(QString(), QStringLiteral("three"), QStringLiteral("0671112233"), QString());
    // Typed wildcards match literally: neither finds the client [00101].
    request(QStringLiteral("0%"), QStringLiteral("four"), QStringLiteral("0500000004"), QString());
    request(QStringLiteral("_0101"), QStringLiteral("five"), QStringLiteral("0500000005"), QString());
    refresh(TDANI::Grid::Zayavki);
    // Opening the list compares its first row.
    EXPECT_EQ(requests.selection().code, QStringLiteral("00101"));

    struct Comparison {
        int row;
        const char *client;  // KLIENT_FIO shown for the code
        bool byCode, byTelephone, canCreate;
    };
    const Comparison comparisons[] = {
        {1, "Коваленко Олена Петрівна", false, false, true},
        {2, "Шевчук Андрій Іванович", true, true, false},
        {3, "", false, false, false},
        {4, "", false, false, true},
        {5, "", false, false, true},
    };
    for (const Comparison &c : comparisons) {
        const RequestSelection &s = select(c.row);
        EXPECT_EQ(s.clientName, QString::fromUtf8(c.client)) << c.row;
        EXPECT_EQ(s.showByCode, c.byCode) << c.row;
        EXPECT_EQ(s.showByTelephone, c.byTelephone) << c.row;
        EXPECT_EQ(s.canCreate, c.canCreate) << c.row;
    }
    const RequestSelection &first = select(1);
    EXPECT_EQ(first.clientExtra, QStringLiteral("[00101]"));
    EXPECT_EQ(first.clientAddress, QStringLiteral("Лесі Українки, 12"));
    EXPECT_EQ(first.clientPhones, QStringLiteral("0501234567"));
    EXPECT_EQ(first.note, QStringLiteral("перша"));
    EXPECT_EQ(first.password, QStringLiteral("one"));

    // The show buttons name what the clients table is to look for, when they work.
    requests.SpeedButton11Click();
    select(2);
    requests.SpeedButton11Click();
    requests.SpeedButton12Click();
    EXPECT_EQ(searches, (std::vector<ClientSearch>{{ClientSearch::Field::Code, QStringLiteral("00102")},
                                                   {ClientSearch::Field::Telephone, QStringLiteral("0671112233")}}));

    // A request that arrives from a web page reopens the list and compares again.
    select(3);
    request(QStringLiteral("00103"), QStringLiteral("six"), QStringLiteral("0500000006"), QString());
    refresh(TDANI::Grid::Zayavki);
    EXPECT_EQ(requests.selection().password, QStringLiteral("three"));
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("6"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // Cleared, the list starts again; corrections follow on a list of two.
    prompt.answers = {true};
    requests.SpeedButton38Click();
    settle();
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("0"));
    EXPECT_EQ(requests.selection(), RequestSelection{});
    request(QStringLiteral("00101"), QStringLiteral("one"), QStringLiteral("0500000001"), QString());
    request(QStringLiteral("00103"), QStringLiteral("two"), QStringLiteral("0500000002"), QString());
    refresh(TDANI::Grid::Zayavki);
    select(2);

    const QString tooLong = QStringLiteral("Нове значення довше допустимого (не більше %1 символів). Дані заявки не змінено !");
    struct Correction {
        void (RegistrationRequests::*button)();
        std::optional<QString> answer;
        const char *label;
        const char *column;
        QString stored;   // the column of the selected request afterwards
        QString message;  // told to the operator, if anything
    };
    const Correction corrections[] = {
        {&RegistrationRequests::SpeedButton13Click, std::nullopt, "Вкажіть новий код вибраного записа :", "TABLE_ZAYAVKA_KOD",
         QStringLiteral("00101|00103"), {}},
        {&RegistrationRequests::SpeedButton13Click, QString(), "Вкажіть новий код вибраного записа :", "TABLE_ZAYAVKA_KOD",
         QStringLiteral("00101|00103"), {}},
        {&RegistrationRequests::SpeedButton13Click, QStringLiteral("00103"), "Вкажіть новий код вибраного записа :",
         "TABLE_ZAYAVKA_KOD", QStringLiteral("00101|00103"), {}},
        // Never cut: the first ten characters would be another client's code.
        {&RegistrationRequests::SpeedButton13Click, QStringLiteral("001020"), "Вкажіть новий код вибраного записа :",
         "TABLE_ZAYAVKA_KOD", QStringLiteral("00101|001020"), {}},
        {&RegistrationRequests::SpeedButton13Click, QStringLiteral("00102000001"), "Вкажіть новий код вибраного записа :",
         "TABLE_ZAYAVKA_KOD", QStringLiteral("00101|001020"), tooLong.arg(10)},
        {&RegistrationRequests::SpeedButton14Click, QString(31, u'5'), "Вкажіть номер телефона :", "TABLE_ZAYAVKA_TELEF",
         QStringLiteral("0500000001|0500000002"), tooLong.arg(30)},
        {&RegistrationRequests::SpeedButton14Click, QString(30, u'5'), "Вкажіть номер телефона :", "TABLE_ZAYAVKA_TELEF",
         QStringLiteral("0500000001|") + QString(30, u'5'), {}},
        {&RegistrationRequests::SpeedButton15Click, QStringLiteral("12345678901"), "Вкажіть новий пароль :",
         "TABLE_ZAYAVKA_PASS", QStringLiteral("one|two"), tooLong.arg(10)},
        {&RegistrationRequests::SpeedButton15Click, QStringLiteral("it's"), "Вкажіть новий пароль :", "TABLE_ZAYAVKA_PASS",
         QStringLiteral("one|it's"), {}},
        // Correcting the code to an account's code disables the creation on the refreshed row.
        {&RegistrationRequests::SpeedButton13Click, QStringLiteral("00102"), "Вкажіть новий код вибраного записа :",
         "TABLE_ZAYAVKA_KOD", QStringLiteral("00101|00102"), {}},
    };
    for (const Correction &c : corrections) {
        prompt.inputs = {c.answer};
        prompt.inputLabels.clear();
        prompt.messages.clear();
        (requests.*c.button)();
        settle();
        EXPECT_EQ(prompt.inputLabels, QStringList{QString::fromUtf8(c.label)});
        EXPECT_EQ(requestColumn(c.column), c.stored) << c.label;
        EXPECT_EQ(prompt.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.label;
    }
    // The selection stayed on the corrected row and compared it again.
    EXPECT_EQ(requests.selection().code, QStringLiteral("00102"));
    EXPECT_FALSE(requests.selection().canCreate);
    EXPECT_TRUE(requests.selection().showByCode);

    prompt.questions.clear();
    requests.SpeedButton37Click();
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_NP"), QStringLiteral("1|2"));
    prompt.answers = {true};
    requests.SpeedButton37Click();
    settle();
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_KOD"), QStringLiteral("00101"));
    prompt.answers = {true};
    requests.SpeedButton38Click();
    settle();
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_NP"), QString());
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("0"));
    EXPECT_EQ(prompt.questions, (QStringList{QStringLiteral("Знищити вибрану заявку  ???"),
                                             QStringLiteral("Знищити вибрану заявку  ???"),
                                             QStringLiteral("Очистити список заявок  ???")}));
    EXPECT_EQ(requests.selection(), RequestSelection{});

    // On an empty list every button does nothing and asks nothing.
    prompt.questions.clear();
    prompt.inputLabels.clear();
    requests.SpeedButton35Click(QString());
    requests.SpeedButton37Click();
    requests.SpeedButton38Click();
    requests.SpeedButton13Click();
    requests.SpeedButton14Click();
    requests.SpeedButton15Click();
    EXPECT_TRUE(prompt.questions.isEmpty());
    EXPECT_TRUE(prompt.inputLabels.isEmpty());
}

TEST_F(RegistrationRequestsTest, CreationWritesTheAccountAndEndsTheRequestTogetherOrNotAtAll)
{
    request(QStringLiteral("00101"), QStringLiteral("pa'ss"), QStringLiteral("0500000001"), QStringLiteral("від 'Олени'"));
    request(QStringLiteral("00103"), QStringLiteral("x"), QStringLiteral("0500000003"), QString());
    request(QStringLiteral("00104"), QStringLiteral("y"), QStringLiteral("0500000004"), QString());
    refresh(TDANI::Grid::Zayavki);

    // No: nothing happens.
    requests.SpeedButton35Click(QStringLiteral("Вітаємо"));
    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("Створити нового клієнта згідно вказаних даних ?")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_KLIENT")), QStringLiteral("0"));

    // Yes: the account as the request holds it, the request gone, the list moved on.
    prompt.answers = {true};
    requests.SpeedButton35Click(QStringLiteral("Вітаємо"));
    settle();
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_KLIENT_NP || '/' || TABLE_KLIENT_KOD || '/' || TABLE_KLIENT_PASS || '/' || "
                                    "TABLE_KLIENT_TELEF || '/' || TABLE_KLIENT_BAN || '/' || TABLE_KLIENT_POVID || '/' || "
                                    "TABLE_KLIENT_DODAT FROM TABLE_KLIENT")),
              QStringLiteral("1/00101/pa'ss/0500000001/-/Вітаємо/від 'Олени'"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_KLIENT WHERE (TABLE_KLIENT_DATBAN IS NULL) AND "
                                    "(TABLE_KLIENT_TIMEBAN IS NULL)")),
              QStringLiteral("1"));
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_KOD"), QStringLiteral("00103|00104"));
    EXPECT_EQ(context.danni.requestCount, QStringLiteral("2"));
    EXPECT_EQ(requests.selection().code, QStringLiteral("00103"));

    // An empty personal message is no message.
    prompt.answers = {true};
    requests.SpeedButton35Click(QString());
    settle();
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = '00103'")),
              QStringLiteral("<null>"));

    // A message wider than the column is refused; the request stays.
    prompt.answers = {true};
    requests.SpeedButton35Click(QString(501, u'м'));
    EXPECT_EQ(prompt.messages.value(0), QStringLiteral("Особисте повідомлення довше допустимого (не більше 500 символів). "
                                                        "Клієнта не створено !"));
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_KOD"), QStringLiteral("00104"));

    // The end of the request fails: the account is not written either.
    sql(QStringLiteral("CREATE EXCEPTION KV_KEEP_REQUEST 'requests are kept'"));
    sql(QStringLiteral("CREATE TRIGGER KV_KEEP_REQUEST FOR TABLE_ZAYAVKA BEFORE DELETE AS BEGIN "
                       "EXCEPTION KV_KEEP_REQUEST; END"));
    prompt.answers = {true};
    prompt.messages.clear();
    requests.SpeedButton35Click(QStringLiteral("Вітаємо"));
    settle();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].startsWith(QStringLiteral("Помилка створення клієнта web сервіса. Клієнта не створено, "
                                                             "заявка залишилась у списку.\n")));
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("requests are kept"))) << prompt.messages[0].toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = '00104'")),
              QStringLiteral("0"));
    EXPECT_EQ(requestColumn("TABLE_ZAYAVKA_KOD"), QStringLiteral("00104"));
    // The connection is left usable.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_KLIENT")), QStringLiteral("2"));
}

}  // namespace
