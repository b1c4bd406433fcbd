#include "common/extract_between.h"
#include "common/regional_format.h"
#include "common/text64.h"
#include "common/win1251.h"
#include "mobile/java_account_commands.h"
#include "mobile/java_add_users.h"
#include "mobile/java_address_lists.h"
#include "mobile/java_client_table.h"
#include "mobile/java_order_commands.h"
#include "mobile/java_order_state.h"
#include "common/qt_print.h"
#include "mobile_databases.h"
#include "route/fare.h"
#include "route/route_engine.h"

#include <QFile>

#include <functional>

#include <gtest/gtest.h>

namespace {

// The client sends its texts as Base64 of Windows-1251 and reads ours as Base64 of UTF-8.
QByteArray b64(const QString &text) { return win1251::fromUnicode(text).toBase64(); }

QString decoded(const QByteArray &base64) { return QString::fromUtf8(QByteArray::fromBase64(base64)); }

// The error text of an answer, decoded.
std::string errorOf(const QByteArray &answer)
{
    return decoded(ExtractBetween(answer, QByteArray("<Error>"), QByteArray("</Error>"))).toStdString();
}

struct Order {
    QString phone = QStringLiteral("0671112233");
    QByteArray code;
    QByteArray when = "NEW";
    QString pickup = QStringLiteral("[проспект Волі]{1}");
    QString destination;
    QString dod1;
    QString dod2;
    QByteArray jubilee;
    QByteArray request(const char *command) const
    {
        const QString extra = dod1.isNull() ? QStringLiteral("тел.:[") + phone + QStringLiteral("]   тариф:[Стандарт]") : dod1;
        QByteArray r = "<NumPhone>" + b64(phone) + "</NumPhone>";
        if (!code.isNull())
            r += "<CodClient>" + code + "</CodClient>";
        if (!when.isNull())
            r += "<DataTimeCreate>" + when + "</DataTimeCreate>";
        r += "<Punct1>" + b64(pickup) + "</Punct1><Punct2>" + b64(destination) + "</Punct2><Dod1>" + b64(extra)
            + "</Dod1><Dod2>" + b64(dod2) + "</Dod2>";
        if (!jubilee.isNull())
            r += "<Yvileyka>" + jubilee + "</Yvileyka>";
        return r + command;
    }
};

class OrderCommands : public MobileDatabases {
protected:
    OrderCommands() : MobileDatabases(true) {}

    void SetUp() override
    {
        MobileDatabases::SetUp();
        if (HasFatalFailure())
            return;
        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        ASSERT_TRUE(scale.open(QIODevice::WriteOnly));
        scale.write("[KARTA_MISTA]\r\nLENGTH=1000\r\nLENGTH_TOCHKA=100\r\n");
        scale.close();
        ServerSettings &s = context.settings;
        s.MAIN_TARIF = QStringLiteral("Стандарт");
        s.CHAS_ZAKRITTYA_ZAM = QStringLiteral("40");
        s.TELEFON_FIRMA = QStringLiteral("(0332) 77-77-77");
        s.DOZVIL_ZAM_PO_DANIH_TELEFONA = true;
        s.DOSTUP_ZAKAZ_YUVILEYLA = true;
        s.ROZKLAD_YUVILEYOK = QStringLiteral("[09][10]");
        routes.LoadCityMap();
        context.accounts.resetAtStart();
        table.reset(1, now);
        slot = table.take(QStringLiteral("10.0.0.9"), now, 10);
    }

    void logIn(const QString &code)
    {
        slot->CodClient = code;
        slot->Coded = true;
    }

    QByteArray quick(const Order &order, const QString &address = QStringLiteral("127.0.0.1"))
    {
        return QuickOrderAnswer(context, routes, address, order.request("</CreateZam>"), now);
    }
    QByteArray coded(const Order &order)
    {
        return CodedOrderAnswer(context, routes, *slot, order.request("</CreateZamCodForm>"), now, {});
    }

    // The newest order row of a client: destination (NULL as "<null>"), sum, free ride, extra.
    QStringList newestOrder(int code)
    {
        TDANI::Select(context.danni.RIZNE,
                      "SELECT ZAMOVL_PUNKT_PRIZHACH, ZAMOVL_SUMA_ROZRAHUNK, ZAMOVL_BEZKOSHTOVN, ZAMOVL_PRICHINA_DELETE, "
                      "ZAMOVL_DATA_ZAKR_ZAMOVL, ZAMOVL_CHAS_ZAKR_ZAMOVL FROM ZAMOVLENNIA WHERE ZAMOVL_NOMER_KLIENT = ? "
                      "ORDER BY ZAMOVL_NUMBER DESC",
                      {code});
        fb::Query &q = context.danni.RIZNE;
        QStringList row;
        if (!q.isEmpty())
            row << (q.field(0).isNull() ? QStringLiteral("<null>") : q.field(0).asText()) << q.field(1).asText()
                << q.field(2).asText() << q.field(3).asText() << q.field(4).asText() + u' ' + q.field(5).asText();
        q.close();
        return row;
    }

    const QDateTime now{QDate::currentDate(), QTime(9, 30)};
    QStringList engineLog;
    RouteEngine routes{context.danni, folder.path(), [this](const QString &rest) { engineLog << rest; }};
    JavaClientTable table;
    TTableJavaClient *slot = nullptr;
};

TEST_F(OrderCommands, QuickOrderFromAKnownTelephoneGetsItsNumberOnce)
{
    Order order;
    order.dod2 = QStringLiteral("крісло (дитяче)");
    EXPECT_EQ(quick(order), "<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>");
    const QStringList row = newestOrder(0);
    ASSERT_EQ(row.size(), 5);
    EXPECT_EQ(row[0], "<null>");
    EXPECT_EQ(row[2], "HI");
    EXPECT_EQ(row[3], "тел.:[0671112233]   тариф:[Стандарт](крісло <дитяче>)");
    EXPECT_EQ(row[4], now.addSecs(40 * 60).toString("dd.MM.yyyy HH:mm:ss"));
    EXPECT_EQ(OrderLogLine("<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>", "10.0.0.9"),
              "] Замовлення під номером 1003 успішно створено клієнтом з IP:[10.0.0.9].");

    // The telephone now has an active order.
    const QByteArray again = quick(order);
    EXPECT_TRUE(again.startsWith("<OtvetCreateZam><NumZam>0</NumZam><Error>"));
    EXPECT_EQ(errorOf(again), "[на вказаний код і/або телефон існують активні замовлення (більше одного активного "
                              "замовлення дозволяється у випадку кодованого замовлення)]");
    EXPECT_EQ(OrderLogLine(again, "10.0.0.9"), "] Помилка під час створення замовлення клієнтом з IP:[10.0.0.9].");
}

// A closing time that is no number keeps its default of 10 minutes (not 0: every order would
// close at its own time), and the log says so once.
TEST_F(OrderCommands, AClosingTimeThatIsNoNumberKeepsItsDefault)
{
    context.settings.CHAS_ZAKRITTYA_ZAM = QStringLiteral("сорок");
    Order order;
    order.phone = QStringLiteral("0501234567");
    ASSERT_EQ(quick(order), "<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>");
    EXPECT_EQ(newestOrder(0).value(4), now.addSecs(10 * 60).toString("dd.MM.yyyy HH:mm:ss"));
    order.phone = QStringLiteral("0939876543");
    quick(order);
    EXPECT_EQ(context.webLog.lines().filter(QStringLiteral("SETKLIENT/CHAS_ZAKRITTYA_ZAM = [сорок]")).size(), 1);
}

TEST_F(OrderCommands, QuickOrderChecksJoinTheirMessages)
{
    context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA = false;
    Order order;
    order.when = QByteArray();
    order.phone = QStringLiteral("0123456");
    EXPECT_EQ(errorOf(quick(order)),
              "[не вірно введені дата/час (наприклад вірно дата<01.01.2011>, год від <00>..<23>, хв <00>..<59> )]\r"
              "[номер телефона не повністю введений]\r[потрібно обовязково вказувати код клієнта]");

    order = {};
    order.when = "01.01.2020 10:00";
    order.phone = QStringLiteral("1234");
    order.code = "102";
    EXPECT_EQ(errorOf(quick(order)),
              "[вказана дата і час менша дійсності]\r[номер телефона закороткий, має бути >= 5 символів]");

    // A code with letters is refused with the code message instead of ending the request.
    order = {};
    order.code = "1' OR '1'='1";
    EXPECT_EQ(errorOf(quick(order)), "[код невірно введений]");
    order.code = "3000000000";  // beyond the column's numbers
    EXPECT_EQ(errorOf(quick(order)), "[код невірно введений]");
    order.code = "999";
    EXPECT_EQ(errorOf(quick(order)), "[вказаний код не існує]");
}

TEST_F(OrderCommands, UnknownTelephoneGetsTheLongRefusalWithTheServicesNumbers)
{
    Order order;
    order.phone = QStringLiteral("95000");  // five digits pass the format checks
    const QString error = QString::fromStdString(errorOf(quick(order)));
    EXPECT_TRUE(error.startsWith("[[-] Немає можливості створити замовлення на вказаний телефон."));
    EXPECT_TRUE(error.endsWith("ЗАМОВЛЕННЯ У ТЕЛЕФОННОМУ РЕЖИМІ тел.[(0332) 77-77-77]]"));
    EXPECT_EQ(error.count(u'\r'), 5) << error.toStdString();

    // Without the check the same telephone may order.
    context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI = true;
    EXPECT_EQ(quick(order), "<OtvetCreateZam><NumZam>1003</NumZam></OtvetCreateZam>");
}

TEST_F(OrderCommands, CodedOrderIsPricedOnTheMapAndFollowed)
{
    logIn("00102");
    Order order;
    order.destination = QStringLiteral("[проспект Волі]{15}");
    const double distance = CutAfterTwoDecimals(routes.CalcTripDistance(order.pickup, order.destination));
    ASSERT_GT(distance, 0);
    EXPECT_EQ(coded(order), "<OtvetCreateZamCodForm><NumZam>1003</NumZam></OtvetCreateZamCodForm>");
    EXPECT_EQ(slot->NumZam, 1003);
    QStringList row = newestOrder(102);
    EXPECT_EQ(row.value(0), order.destination);
    EXPECT_EQ(row.value(1), RegionalFormat::numberText(25 + 7.5 * distance));

    // Without a destination: the taking price, destination NULL; an advance order adds its surcharge.
    order.destination = QStringLiteral("  ");
    order.when = QDateTime(now.date().addDays(1), QTime(8, 5)).toString("dd.MM.yyyy HH:mm").toLatin1();
    EXPECT_EQ(coded(order), "<OtvetCreateZamCodForm><NumZam>1004</NumZam></OtvetCreateZamCodForm>");
    row = newestOrder(102);
    EXPECT_EQ(row.value(0), "<null>");
    EXPECT_EQ(row.value(1), "35");

    order.pickup = QStringLiteral(" ");
    EXPECT_EQ(errorOf(coded(order)), "[не вказана початкова адреса]");
    EXPECT_EQ(slot->NumZam, 1004);
}

TEST_F(OrderCommands, JubileeTripChecks)
{
    Order order;
    order.jubilee = "YES";
    logIn("00101");  // no free trips
    EXPECT_EQ(errorOf(coded(order)), "[У Вас немає вільних ювілейок ! ]");

    logIn("00103");  // five free trips
    context.settings.ROZKLAD_YUVILEYOK = QStringLiteral("[10][11]");
    order.when = QDateTime(now.date().addDays(1), QTime(10, 0)).toString("dd.MM.yyyy HH:mm").toLatin1();
    EXPECT_EQ(errorOf(coded(order)),
              "[Немає можливості вказувати одночасно ювілейну поїздку як попереднє замовлення ! ][У налаштуваннях "
              "сервера у дану годину немає можливості вибирати ювілейну поїздку (ювілейна поїздка не надається як "
              "попереднє замовлення, інакше замовте у телефонному режимі) ! ]");

    context.settings.ROZKLAD_YUVILEYOK = QStringLiteral("[08][09]");
    order.when = "NEW";
    order.destination = QStringLiteral("[проспект Волі]{15}");
    EXPECT_EQ(coded(order), "<OtvetCreateZamCodForm><NumZam>1003</NumZam></OtvetCreateZamCodForm>");
    EXPECT_EQ(newestOrder(103).mid(1, 2), (QStringList{"25", "TAK"}));  // priced as a zero-length trip
    EXPECT_EQ(errorOf(coded(order)), "[В даний час у Вас є активна невиконана ювілейна поїздка (немає можливості мати "
                                     "більше однієї активної ювілейної поїздки) ! ]");
}

TEST_F(OrderCommands, FareEstimate)
{
    Order order;
    order.destination = QStringLiteral("десь за містом");
    EXPECT_EQ(FareEstimateAnswer(context, routes, order.request("</RozrahSuma>"), {}),
              "</OtvetRozrahSuma><SumaZam>25</SumaZam></OtvetRozrahSuma>");
    order.destination = QStringLiteral("[проспект Волі]{15}");
    const double distance = CutAfterTwoDecimals(routes.CalcTripDistance(order.pickup, order.destination));
    EXPECT_EQ(FareEstimateAnswer(context, routes, order.request("</RozrahSuma>"), {}),
              "</OtvetRozrahSuma><SumaZam>" + RegionalFormat::numberText(25 + 7.5 * distance).toLatin1()
                  + "</SumaZam></OtvetRozrahSuma>");
}

TEST_F(OrderCommands, OrderStateByNumber)
{
    const auto state = [&](const QByteArray &number) {
        return OrderStateAnswer(context, "<PerevirkaActiveZam>" + number + "</PerevirkaActiveZam>");
    };
    EXPECT_EQ(state("4711"), "<OtvetActiveZam><ActiveZam></ActiveZam></OtvetActiveZam>");
    EXPECT_EQ(state("abc"), "<OtvetActiveZam><ActiveZam></ActiveZam></OtvetActiveZam>");
    EXPECT_EQ(state("1000"), "<OtvetActiveZam><ActiveZam>1</ActiveZam></OtvetActiveZam>");
    EXPECT_EQ(state("1001"), "<OtvetActiveZam><ActiveZam>-1</ActiveZam></OtvetActiveZam>");

    const QByteArray active = state("1002");
    EXPECT_TRUE(active.startsWith("<OtvetActiveZam><ActiveZam>0</ActiveZam><Punct1>" + EncodeText64("Лесі Українки, 12")
                                  + "</Punct1><Punct2>" + EncodeText64("Лікарня №1") + "</Punct2><DataTimeZamCreate>"));
    EXPECT_EQ(decoded(ExtractBetween(active, QByteArray("<DaniAuto>"), QByteArray("</DaniAuto>"))),
              "позивний[102] авто:[АС 5678 ЕМ / сірий / Toyota Corolla]");
    EXPECT_EQ(context.accounts.values().quickEntries, "5");
}

TEST_F(OrderCommands, OrderListsOfALoggedInClient)
{
    logIn("00102");
    EXPECT_EQ(ActiveOrdersAnswer(context, *slot),
              "<OpenListActivZamovl><CountActiveZam>0</CountActiveZam></OpenListActivZamovl>");
    Order order;
    coded(order);
    const QByteArray active = ActiveOrdersAnswer(context, *slot);
    EXPECT_TRUE(active.startsWith("<OpenListActivZamovl><CountActiveZam>1</CountActiveZam><NumZam1>1003</NumZam1><#1>"));
    EXPECT_TRUE(decoded(ExtractBetween(active, QByteArray("<#1>"), QByteArray("</#1>")))
                    .endsWith(" [HI] ~~~ [проспект Волі]{1} попередня розрахована сума =25"));

    for (int n = 2000; n < 2045; ++n)
        TDANI::Execute(context.danni.RIZNE,
                       "INSERT INTO CLOSEZAMOVLENNIA (CZ_NUMBER, CZ_NOMER_KLIENT, CZ_STATUS_ZAMOVL, CZ_DATA_PRIYOMA, "
                       "CZ_CHAS_PRIYOMA, CZ_BEZKOSHTOVN, CZ_POCHAT_PUNKT, CZ_PUNKT_PRIZHACH, CZ_SUMA_ROZRAHUNK, "
                       "CZ_POZIVNIY) VALUES (?, 102, 1, DATE '2026-01-02', TIME '10:20:30', 'HI', 'А', ?, 40.5, ?)",
                       {n, n % 2 ? QStringLiteral("Б") : QString(), n % 2 ? QStringLiteral("117") : QString()});
    const QByteArray archive = ArchiveOrdersAnswer(context, *slot);
    EXPECT_TRUE(archive.endsWith("</#30><CountActiveZam>30</CountActiveZam></OpenListArhivZamovl>"));
    EXPECT_FALSE(archive.contains("<#31>"));
    EXPECT_EQ(decoded(ExtractBetween(archive, QByteArray("<#1>"), QByteArray("</#1>"))),
              "02.01.2026 10:20:30 [HI] ~~~ А попередня розрахована сума =40,5");
    EXPECT_EQ(decoded(ExtractBetween(archive, QByteArray("<#2>"), QByteArray("</#2>"))),
              "02.01.2026 10:20:30 [HI] ~~~ А --- >>> Б попередня розрахована сума =40,5 узяв позивний 117");
}

}  // namespace

namespace {

TEST_F(OrderCommands, AFailedInsertIsAnsweredAsAFailure)
{
    logIn("00102");
    Order order;
    order.phone = QStringLiteral("0939876543");
    ASSERT_EQ(coded(order), "<OtvetCreateZamCodForm><NumZam>1003</NumZam></OtvetCreateZamCodForm>");
    TDANI::Execute(context.danni.RIZNE, "CREATE EXCEPTION KV_REFUSED 'refused'");
    TDANI::Execute(context.danni.RIZNE,
                   "CREATE TRIGGER KV_REFUSE FOR ZAMOVLENNIA BEFORE INSERT AS BEGIN EXCEPTION KV_REFUSED; END");

    for (const QByteArray &answer : {coded(order), quick(Order{})}) {
        EXPECT_TRUE(errorOf(answer).starts_with("Помилка під час створення замовлення ! Немає зєднання з базою"));
        EXPECT_EQ(OrderLogLine(answer, "10.0.0.9"), "] Помилка під час створення замовлення клієнтом з IP:[10.0.0.9].");
    }
    EXPECT_EQ(slot->NumZam, 1003) << "the client keeps following its order";
    EXPECT_EQ(engineLog.filter("] помилка під час створення").size(), 2);
}

TEST_F(OrderCommands, TypedValuesTooLongOrWithWildcardsFindNothingAndNeverFail)
{
    const QByteArray huge(40000, '7');
    Order longPhone;
    longPhone.phone = QString::fromLatin1(huge);
    const std::pair<std::function<QByteArray()>, QByteArray> cases[] = {
        {[&] { return StreetListAnswer(context.danni, "<ListVul>" + huge.toBase64() + "</ListVul>"); }, "<cil>0</cil>"},
        {[&] { return StreetListAnswer(context.danni, "<ListVul>" + b64("%") + "</ListVul>"); }, "<cil>0</cil>"},
        {[&] { return ObjectListAnswer(context.danni, "<ListObekt>" + b64("_") + "</ListObekt>"); }, "<cil>0</cil>"},
        {[&] {
             return LoginAnswer(context, *slot, "10.0.0.9",
                                "<CodClient>" + huge.left(1024) + "</CodClient><CodPass>pw</CodPass></OpenFormCodZam>", now);
         },
         "<status>NO</status>"},
        {[&] {
             return AddUsersAnswer(context, "10.0.0.9",
                                   "<CodClient>" + huge.left(2000) + "</CodClient><CodPass>pw</CodPass><NumPhone>"
                                       + b64("0671112233") + "</NumPhone></AddUsers>",
                                   now);
         },
         "<Error>"},
        {[&] { return quick(longPhone); }, "<OtvetCreateZam><NumZam>0</NumZam><Error>"},
    };
    for (const auto &[answer, expected] : cases) {
        QByteArray got;
        EXPECT_NO_THROW(got = answer()) << expected.toStdString();
        EXPECT_TRUE(got.contains(expected)) << got.left(300).toStdString();
    }
}

TEST_F(OrderCommands, LookUpsFindWhatTheDispatchersAndTheOperatorStored)
{
    // An account stored with the five-digit code is banned for the code typed as a number.
    TDANI::Execute(context.danni.GPRS_RIZNE,
                   "INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_BAN, "
                   "TABLE_KLIENT_DATBAN, TABLE_KLIENT_TIMEBAN) VALUES (1, '00102', 'pw', '+', DATE '2099-01-02', "
                   "TIME '10:00:00')");
    Order order;
    order.code = "102";
    EXPECT_EQ(errorOf(quick(order)), "[даний код заблокований у базі web сервіса до 02.01.2099 10:00:00]");

    // A callsign listed twice: the car is the last one listed, as the pages read it.
    TDANI::Execute(context.danni.RIZNE,
                   "INSERT INTO DANI_AVTO (TABL_AVTO_POZIVN, TABL_AVTO_NOMERAVTO, TABL_AVTO_KOLIR, TABL_AVTO_MODEL) "
                   "VALUES ('102', 'АС 9999 КК', 'синій', 'Renault Logan')");
    const QByteArray state = OrderStateAnswer(context, "<PerevirkaActiveZam>1002</PerevirkaActiveZam>");
    EXPECT_EQ(decoded(ExtractBetween(state, QByteArray("<DaniAuto>"), QByteArray("</DaniAuto>"))),
              "позивний[102] авто:[АС 9999 КК / синій / Renault Logan]");
}

}  // namespace
