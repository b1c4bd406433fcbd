// The quick order page over real HTTP on the demo city's dispatchers' database: the
// address panel, the checks, the order written and the tracking lines.

#include "web_service_fixture.h"

#include "../common/qt_print.h"
#include "dispatcher.h"
#include "common/regional_format.h"
#include "web/speed_order.h"
#include "web/user_session.h"

namespace {

using namespace kvtest;

const QString kMain = QStringLiteral("MainWEB");
const QString kPage = QStringLiteral("SpeedOrder");

class SpeedOrderTest : public WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        ServerSettings &s = context.settings;
        s.MAIN_TARIF = QStringLiteral("Стандарт");
        s.CHAS_ZAKRITTYA_ZAM = QStringLiteral("40");
        s.DOZVIL_ZAM_PO_DANIH_TELEFONA = true;
        context.ObjectCategories = {QStringLiteral("Магазини"), QStringLiteral("Готелі")};
        dispatcher = std::make_unique<Dispatcher>(
            fb::ConnectParams{folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
    }

    // A browser on the quick order page, and the page object it talks to.
    TSpeedOrder &openPage(WebClient &client)
    {
        client.open();
        EXPECT_TRUE(client.click(kMain, QStringLiteral("IWButton1")).body.contains(QStringLiteral("<title>Швидке замовлення</title>")));
        return pageOf<TSpeedOrder>(client);
    }
    TIWUserSession &user(WebClient &client) { return userOf(client); }
    static WebAnswer async(WebClient &client, const QString &control, Fields fields = {})
    {
        return PostAsync(client, kPage, control, std::move(fields));
    }
    static WebAnswer tick(WebClient &client) { return PostAsync(client, kPage, QStringLiteral("IWTimer1"), {}, QStringLiteral("__timer")); }
    // Searches, picks the list item and, for a street, the house.
    static void choose(WebClient &client, TSpeedOrder &page, const QString &search, const QString &item,
                       const QString &house = {})
    {
        async(client, QStringLiteral("IWImageButton2"), {{QStringLiteral("IWEdit1"), search}});
        const int index = page.IWListbox1.items.indexOf(item);
        ASSERT_GE(index, 0) << item.toStdString();
        async(client, QStringLiteral("IWListbox1"), {{QStringLiteral("IWListbox1"), QString::number(index)}});
        if (!house.isEmpty())
            async(client, QStringLiteral("IWComboBox2"),
                  {{QStringLiteral("IWComboBox2"), QString::number(page.IWComboBox2.items.indexOf(house))}});
    }
    static WebAnswer submit(WebClient &client, Fields fields)
    {
        return client.click(kPage, QStringLiteral("IWButton1"), std::move(fields));
    }
    // The newest order of the telephone, as text columns: pickup, additional data, code, free ride.
    QStringList newestOrder()
    {
        ServiceLockGuard lock(ServiceLock());
        TDANI::Select(context.danni.DODAT_RIZNE,
                      QStringLiteral("SELECT ZAMOVL_POCHAT_PUNKT, ZAMOVL_PRICHINA_DELETE, ZAMOVL_NOMER_KLIENT, "
                                     "ZAMOVL_BEZKOSHTOVN, ZAMOVL_PUNKT_PRIZHACH, ZAMOVL_NUMBER FROM ZAMOVLENNIA "
                                     "ORDER BY ZAMOVL_NUMBER DESC"));
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row << context.danni.DODAT_RIZNE.field(i).asText();
        context.danni.DODAT_RIZNE.close();
        return row;
    }

    std::unique_ptr<Dispatcher> dispatcher;
};

TEST_F(SpeedOrderTest, TheAddressPanelTellsStreetsFromObjectsAndBuildsTheAddressText)
{
    WebClient client = browser();
    TSpeedOrder &page = openPage(client);
    EXPECT_EQ(page.IWComboBox1.items, (QStringList{QStringLiteral("Готелі"), QStringLiteral("Магазини")}));
    EXPECT_EQ(page.IWLabel11.caption, QStringLiteral("Стандарт"));
    dispatcher->addBuilding(3001, 150, 150, 2, QStringLiteral("[Лесі Українки]{7а}"));
    {
        ServiceLockGuard lock(ServiceLock());
        TDANI::Execute(context.danni.RIZNE, QStringLiteral("INSERT INTO VULICA_LUCK VALUES (40, 'Тиха 100%')"));
    }

    // A text in a street name and in object captions lists them all; typed % and _ match themselves.
    async(client, QStringLiteral("IWImageButton2"), {{QStringLiteral("IWEdit1"), QStringLiteral("Україн")}});
    for (const char *item : {"Лесі Українки", "Готель «Україна»", "[Лесі Українки]{7а}"})
        EXPECT_TRUE(page.IWListbox1.items.contains(QString::fromUtf8(item))) << item;
    async(client, QStringLiteral("IWImageButton2"), {{QStringLiteral("IWEdit1"), QStringLiteral("0%")}});
    EXPECT_EQ(page.IWListbox1.items, QStringList{QStringLiteral("Тиха 100%")});
    async(client, QStringLiteral("IWImageButton2"), {{QStringLiteral("IWEdit1"), QStringLiteral("_")}});
    EXPECT_TRUE(page.IWListbox1.items.isEmpty());

    // A street without buildings: the free house field.
    choose(client, page, QStringLiteral("Тиха"), QStringLiteral("Тиха 100%"));
    EXPECT_TRUE(page.IWEdit2.visible);
    EXPECT_FALSE(page.IWComboBox2.visible);
    // A second street keeps the free field; the house list behind it is refilled, numbers
    // read as numbers.
    choose(client, page, QStringLiteral("Лесі"), QStringLiteral("Лесі Українки"));
    EXPECT_TRUE(page.IWEdit2.visible);
    EXPECT_FALSE(page.IWComboBox2.visible);
    EXPECT_EQ(page.IWComboBox2.items, (QStringList{"2", "5", "7а", "9", "12", "18", "25А", "27", "36"}));
    async(client, QStringLiteral("IWCheckBox5"), {{QStringLiteral("IWEdit2"), QStringLiteral("18б")},
                                                  {QStringLiteral("IWEdit3"), QStringLiteral(", кв. 4")},
                                                  {QStringLiteral("IWMemo1"), QStringLiteral("під'їзд (2)")}});
    EXPECT_EQ(page.Address.BuildAddressText(), QStringLiteral("[Лесі Українки]{18б}, кв. 4 під'їзд (2)"));

    // An object hides the house controls; its caption is the address.
    async(client, QStringLiteral("IWComboBox1"), {{QStringLiteral("IWComboBox1"), QStringLiteral("1")}});
    EXPECT_EQ(page.IWListbox1.items, (QStringList{QStringLiteral("ТРЦ Порт Сіті"), QStringLiteral("ЦУМ")}));
    const WebAnswer object = async(client, QStringLiteral("IWListbox1"), {{QStringLiteral("IWListbox1"), QStringLiteral("1")}});
    EXPECT_FALSE(page.IWLabel7.visible);
    EXPECT_FALSE(page.IWEdit2.visible);
    EXPECT_EQ(page.Address.BuildAddressText(), QStringLiteral("ЦУМ"));
    EXPECT_TRUE(object.body.contains(QStringLiteral("[\"IWLabel7\",\"<span id=\\\"IWLabel7\\\" hidden></span>\\n\"]")))
        << object.body.toStdString();

    // A street with buildings, chosen first: the house list.
    WebClient other = browser();
    TSpeedOrder &second = openPage(other);
    choose(other, second, QStringLiteral("Лесі"), QStringLiteral("Лесі Українки"), QStringLiteral("25А"));
    EXPECT_TRUE(second.IWComboBox2.visible);
    EXPECT_EQ(second.Address.BuildAddressText(), QStringLiteral("[Лесі Українки]{25А}"));
}

// The alert of a submission refused by the checks, as the browser's page carries it.
QString refusal(const QStringList &items)
{
    return QStringLiteral("Немає можливості створити замовлення, так як виявлені такі помилки : \r") + items.join(u'\r')
        + QStringLiteral("\r Після виправлення помилок повторіть спробу !");
}

TEST_F(SpeedOrderTest, TheChecksRunInOrderAndGatherTheirItemsIntoOneMessage)
{
    const QString street = QStringLiteral("[не задано вулиці або обєкта подачи]");
    const QString house = QStringLiteral("[не задано номер будинка]");
    const QString phoneMissing = QStringLiteral("[не вказаний номер телефона]");
    const QString phoneShort = QStringLiteral("[номер телефона закороткий, має бути >= 5 символів]");
    const QString phoneIncomplete = QStringLiteral("[номер телефона не повністю введений]");
    const QString active = QStringLiteral("[на вказаний код і/або телефон існують активні замовлення (більше одного "
                                          "активного замовлення дозволяється у випадку кодованого замовлення)]");
    const QString past = QStringLiteral("[вказана дата і час менша дійсності]");
    const QString unreadable = QStringLiteral("[не вірно введені дата/час (наприклад вірно дата<01.01.2011>, год від "
                                              "<00>..<23>, хв <00>..<59> )]");
    const QString cargo = QStringLiteral("[не вказані додаткові дані вантажа (або зніміть галочку)]");
    const QString freeText = QStringLiteral("[не вказані додаткові дані замовлення (або зніміть галочку)]");
    const QString codeNeeded = QStringLiteral("[потрібно обовязково вказувати код клієнта]");
    const QString notPhone = QStringLiteral("[номер телефона може містити тільки цифри, пробіли, +, - і круглі дужки]");
    const QString yesterday = RegionalFormat::dateText(QDate::currentDate().addDays(-1));
    const QString tomorrow = RegionalFormat::dateText(QDate::currentDate().addDays(1));
    {
        // Client 101 has an open order in the demo data; another client's order with "_____".
        ServiceLockGuard lock(ServiceLock());
        TDANI::Execute(context.danni.RIZNE,
                       QStringLiteral("UPDATE ZAMOVLENNIA SET ZAMOVL_PRICHINA_DELETE = 'тел.:[0501234567]   тариф:[С]'"));
    }
    struct Case {
        const char *what;
        Fields fields;
        QStringList errors;
        bool requireCode = false;
    };
    const Case cases[] = {
        {"nothing given", {}, {street, phoneMissing}},
        {"nothing given, code required", {}, {street, phoneMissing, codeNeeded}, true},
        {"four characters", {{"IWEdit8", "1234"}}, {street, phoneShort}},
        {"five to seven from 0", {{"IWEdit8", "0123456"}}, {street, phoneIncomplete}},
        {"five from another digit", {{"IWEdit8", "12345"}}, {street}},
        {"eight from 0", {{"IWEdit8", "01234567"}}, {street}},
        {"the telephone of an open order", {{"IWEdit8", "0501234567"}}, {active, street}},
        {"its code", {{"IWEdit8", "12345"}, {"IWEdit9", "00101"}}, {active, street}},
        {"wildcards are no telephone", {{"IWEdit8", "_____"}, {"IWEdit9", "abc"}}, {street, notPhone}},
        {"letters", {{"IWEdit8", "abcdefg"}}, {street, notPhone}},
        {"too few digits", {{"IWEdit8", "1-2-3-4"}}, {street, notPhone}},
        {"brackets", {{"IWEdit8", "067[111]22"}}, {street, notPhone}},
        {"as people write it", {{"IWEdit8", "+38 (067) 111-22-33"}}, {street}},
        {"a past preliminary time", {{"IWEdit8", "12345"}, {"IWCheckBox1", "on"}, {"IWEdit5", yesterday}}, {street, past}},
        {"an unreadable one", {{"IWEdit8", "12345"}, {"IWCheckBox1", "on"}, {"IWEdit6", "25"}}, {street, unreadable}},
        {"a future one", {{"IWEdit8", "12345"}, {"IWCheckBox1", "on"}, {"IWEdit5", tomorrow}}, {street}},
        {"extras without their texts", {{"IWEdit8", "12345"}, {"IWCheckBox6", "on"}, {"IWCheckBox3", "on"}},
         {street, cargo, freeText}},
    };
    WebClient client = browser();
    TSpeedOrder &page = openPage(client);
    for (const Case &c : cases) {
        context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA = !c.requireCode;
        Fields fields{{"IWEdit8", ""}, {"IWEdit9", ""}, {"IWCheckBox1", "off"}, {"IWCheckBox6", "off"}, {"IWCheckBox3", "off"}};
        fields.insert(fields.end(), c.fields.begin(), c.fields.end());
        async(client, QStringLiteral("IWCheckBox1"), fields);  // enables the fields the box opens
        EXPECT_EQ(AlertsOf(submit(client, fields)), refusal(c.errors)) << c.what;
    }
    // A house list shown with no house chosen.
    choose(client, page, QStringLiteral("Лесі"), QStringLiteral("Лесі Українки"));
    EXPECT_EQ(AlertsOf(submit(client, {{"IWEdit8", "12345"}, {"IWCheckBox6", "off"}, {"IWCheckBox3", "off"}})),
              refusal({house}));
    // Refused submissions change nothing and count no attempt.
    EXPECT_EQ(user(client).EntryAttempts, 0);
    EXPECT_TRUE(page.IWRegion2.visible);
}

TEST_F(SpeedOrderTest, AnAcceptedSubmissionPlacesOneOrderAndFollowsItUntilTheDispatchersCloseIt)
{
    WebClient client = browser();
    TSpeedOrder &page = openPage(client);
    choose(client, page, QStringLiteral("Лесі"), QStringLiteral("Лесі Українки"), QStringLiteral("25А"));
    async(client, QStringLiteral("IWCheckBox6"), {{"IWCheckBox6", "on"}, {"IWCheckBox3", "on"}});
    async(client, QStringLiteral("IWCheckBox3"), {{"IWCheckBox6", "on"}, {"IWCheckBox3", "on"}});
    const QString before = client.token;
    const WebAnswer placed = submit(client, {{"IWEdit3", ", кв. 4"}, {"IWMemo1", "під'їзд (2)"}, {"IWCheckBox5", "on"},
                                             {"IWEdit4", "піаніно (старе)"}, {"IWEdit10", "<script>alert(1)</script>'"},
                                             {"IWEdit8", "0671112233"}, {"IWEdit9", "102"}});
    const QStringList row = newestOrder();
    const QString extra = QStringLiteral("{швидке}   тел.:[0671112233]   тариф:[Стандарт]  (Перевезення тварин, "
                                         "вантаж <піаніно <старе>>, додатково <<script>alert<1></script>'>)");
    EXPECT_EQ(row, (QStringList{QStringLiteral("[Лесі Українки]{25А}, кв. 4 під'їзд (2)"), extra, "102", "HI", "",
                                QString::number(user(client).OrderNumber)}));
    EXPECT_EQ(user(client).OrderState, 1);
    EXPECT_EQ(user(client).ClientCode, 102);
    for (const char *line : {"[+] уведений код існує.", "    код замовника [102]", "    додаткові дані. [{швидке}   тел.:[0671112233]",
                             " замовлення успішно створено"})
        EXPECT_TRUE(page.IWText1.lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(placed.body.contains(QStringLiteral("&lt;script&gt;alert")));
    EXPECT_FALSE(placed.body.contains(QStringLiteral("<script>alert")));
    EXPECT_TRUE(placed.body.contains(QStringLiteral("data-timer=\"IWTimer1\"")));

    // The same form again (a double click) places nothing more.
    client.token = before;
    submit(client, {{"IWEdit8", "0671112233"}});
    EXPECT_EQ(newestOrder().value(5), row.value(5));

    const int order = row.value(5).toInt();
    EXPECT_EQ(UpdatedNames(tick(client)), QStringList{});
    dispatcher->assignCar(order, QStringLiteral("105"));
    const WebAnswer taken = tick(client);
    EXPECT_EQ(UpdatedNames(taken), QStringList{QStringLiteral("IWText1")});
    EXPECT_TRUE(page.IWText1.lines.endsWith(QStringLiteral(" ваше замовлення взяв позивний [105]. Дані авто : <Nавто АС 0707 АА>\r"
                                                           "   <колір : чорний>\r   <Марка і модель авто : Volkswagen Passat>")));
    EXPECT_EQ(user(client).DriverCallsign, 105);
    dispatcher->driverArrived(order);
    tick(client);
    EXPECT_TRUE(page.IWText1.lines.endsWith(QStringLiteral(" водій підїхав і чекає вас !")));
    EXPECT_EQ(user(client).OrderState, 3);
    dispatcher->complete(order);
    EXPECT_EQ(tick(client).body, QStringLiteral("{\"reload\":true}"));
    EXPECT_EQ(user(client).OrderNumber, 0);  // followed no more: a left page may give the slot back
    const WebAnswer main = client.get();
    EXPECT_TRUE(main.body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    EXPECT_EQ(AlertsOf(main), QStringLiteral("Замовлення закрито (перенесено у таблицю виконаних замовлень) !"));
}

// Without the dispatchers' database the tracking says so once, raises no alert, and
// goes on when the database is back; a submission meeting it down releases the page
// with the designed failure.
TEST_F(SpeedOrderTest, AnOutageIsToldOnceWhileFollowingAndReleasesASubmission)
{
    WebClient client = browser();
    TSpeedOrder &page = openPage(client);
    choose(client, page, QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    submit(client, {{"IWEdit8", "0671112233"}});
    const int order = user(client).OrderNumber;
    ASSERT_GT(order, 0);

    dispatchDown();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(AlertsOf(tick(client)), QString());
    const QStringList lines = page.IWText1.lines.split(u'\n');
    EXPECT_EQ(lines.filter(QStringLiteral("немає звязку з базою даних диспетчерської служби, очікування відновлення ...")).size(), 1);
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("[-] ")));
    dispatchBack();
    dispatcher->assignCar(order, QStringLiteral("105"));
    tick(client);
    const QStringList after = page.IWText1.lines.split(u'\n');
    EXPECT_TRUE(after.filter(QStringLiteral(" звязок з базою даних диспетчерської служби відновлено")).value(0).startsWith(QStringLiteral("[+] ")));
    EXPECT_TRUE(page.IWText1.lines.contains(QStringLiteral(" ваше замовлення взяв позивний [105].")));

    TSpeedOrder &second = openPage(client);
    choose(client, second, QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    dispatchDown();
    const WebAnswer failed = submit(client, {{"IWEdit8", "0939876543"}});
    dispatchBack();
    EXPECT_TRUE(failed.body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    EXPECT_EQ(AlertsOf(failed), QStringLiteral("Помилка під час створення замовлення ! Немає зєднання з базою даних "
                                               "диспетчерської служби ! Повторіть спробу замовлення або виконайте "
                                               "замовлення у телефонному режимі (тел. [555-12-12]) !"));
}

// What one address and one session may do: the address's order budget is one more item
// of the checks, a telephone takes no square brackets, and the eleventh validated
// submission of a page ends the session without placing anything.
TEST_F(SpeedOrderTest, AddressAndSessionBudgetsPlaceNothingPastThem)
{
    context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI = true;
    context.settings.MAX_ZAMOVLEN_Z_ADRESY = QStringLiteral("1");
    WebClient client = browser();
    choose(client, openPage(client), QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    async(client, QStringLiteral("IWCheckBox3"), {{"IWCheckBox3", "on"}});
    submit(client, {{"IWEdit8", "0671110001"}, {"IWCheckBox3", "on"}, {"IWEdit10", "кв. [5] (ліворуч)"}});
    const QStringList placed = newestOrder();
    EXPECT_TRUE(placed.value(1).endsWith(QStringLiteral("(Додатково <кв. <5> <ліворуч>>)"))) << placed.value(1).toStdString();

    choose(client, openPage(client), QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    const QString alerts = AlertsOf(submit(client, {{"IWEdit8", "067[111]0002"}}));
    EXPECT_TRUE(alerts.contains(QStringLiteral("[номер телефона може містити тільки цифри, пробіли, +, - і круглі дужки]")))
        << alerts.toStdString();
    EXPECT_TRUE(alerts.contains(QStringLiteral("[з вашої адреси створено забагато замовлень, повторіть спробу пізніше "
                                               "або замовте у телефонному режимі тел.[555-12-12]]")));

    context.settings.MAX_ZAMOVLEN_Z_ADRESY = QStringLiteral("0");
    choose(client, openPage(client), QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    for (int i = 0; i < 10; ++i)
        submit(client, {{"IWEdit8", "0671110003"}, {"IWEdit9", "999"}});  // no such code: nothing placed
    const WebAnswer last = submit(client, {{"IWEdit8", "0671110003"}, {"IWEdit9", ""}});
    EXPECT_TRUE(last.body.contains(QStringLiteral("(підбір телефона і/або кода) !")));
    EXPECT_EQ(newestOrder().value(5), placed.value(5));
}

TEST_F(SpeedOrderTest, RefusedCodesAndTelephonesLeaveTheButtonForAnotherTry)
{
    sql(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_BAN, "
                       "TABLE_KLIENT_DATBAN, TABLE_KLIENT_TIMEBAN) VALUES (1, '00103', 'x', '+', ?, ?)"),
        {QDate(2031, 5, 6), QTime(7, 8, 9)});
    const QString unknownPhone = QStringLiteral("[-] Немає можливості створити замовлення на вказаний телефон. Можливі "
                                                "причини відмови :");
    struct Case {
        const char *code;
        const char *phone;
        QString line;
    };
    const Case cases[] = {
        {"abc", "0671112233", QStringLiteral("[-] код невірно введений.")},
        {"0", "0671112233", QStringLiteral("[-] код невірно введений.")},
        {"999", "0671112233", QStringLiteral("[-] вказаний код не існує.")},
        // The account is stored as 00103; the client typed 103.
        {"103", "0939876543", QStringLiteral("[-] даний код заблокований у базі web сервіса до [06.05.2031 07:08:09].")},
        {"", "0999999999", unknownPhone},
        {"", "_____", unknownPhone},
        {"102", "0939876543", unknownPhone},  // not the code owner's telephone
    };
    WebClient client = browser();
    TSpeedOrder &page = openPage(client);
    choose(client, page, QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    for (const Case &c : cases) {
        submit(client, {{"IWEdit8", c.phone}, {"IWEdit9", c.code}});
        EXPECT_TRUE(page.IWText1.lines.contains(c.line)) << c.code << ' ' << c.phone;
        EXPECT_TRUE(page.IWButton1.visible);
        EXPECT_FALSE(page.IWRegion2.visible);
        EXPECT_TRUE(page.IWText1.lines.endsWith(QStringLiteral("ПРИ НЕМОЖЛИВОСТІ СТВОРЕННЯ ЗАМОВЛЕННЯ, СТВОРІТЬ "
                                                               "ЗАМОВЛЕННЯ У ТЕЛЕФОННОМУ РЕЖИМІ тел.[555-12-12]")));
        // A refused code is emptied; a refused telephone leaves the code as typed.
        EXPECT_EQ(page.IWEdit9.text.isEmpty(), c.line != unknownPhone || !*c.code) << c.code;
    }
    EXPECT_EQ(newestOrder().value(5), QStringLiteral("1002"));

    // Without the telephone check any telephone goes; the dispatcher deletes the order.
    context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI = true;
    submit(client, {{"IWEdit8", "0999999999"}, {"IWEdit9", ""}});
    const QStringList row = newestOrder();
    EXPECT_EQ(row.mid(0, 3), (QStringList{QStringLiteral("ЦУМ"),
                                          QStringLiteral("{швидке}   тел.:[0999999999]   тариф:[Стандарт]  ()"), "0"}));
    dispatcher->remove(row.value(5).toInt());
    tick(client);
    EXPECT_EQ(AlertsOf(client.get()),
              QStringLiteral("Замовлення знищено диспетчером ! Повторіть спробу або замовте у телефонному режимі !"));

    // An order the dispatchers' database refuses is never shown as placed.
    dispatchSql(QStringLiteral("ALTER TABLE ZAMOVLENNIA ADD CONSTRAINT NO_WEB CHECK (ZAMOVL_PRIYOM_ZAMOVL <> 'WEB')"));
    TSpeedOrder &failing = openPage(client);
    choose(client, failing, QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    const WebAnswer failed = submit(client, {{"IWEdit8", "0999999998"}});
    EXPECT_TRUE(failed.body.contains(QStringLiteral("<title>Головна сторінка</title>")));
    EXPECT_EQ(AlertsOf(failed), QStringLiteral("Помилка під час створення замовлення ! Немає зєднання з базою даних "
                                               "диспетчерської служби ! Повторіть спробу замовлення або виконайте "
                                               "замовлення у телефонному режимі (тел. [555-12-12]) !"));

    // The eleventh validated submission of a page's life ends the session.
    context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI = false;
    TSpeedOrder &again = openPage(client);
    choose(client, again, QStringLiteral("ЦУМ"), QStringLiteral("ЦУМ"));
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(submit(client, {{"IWEdit8", "0999999999"}}).body.contains(QStringLiteral("ліміт вводу")));
    const WebAnswer last = submit(client, {{"IWEdit8", "0999999999"}});
    EXPECT_TRUE(last.body.contains(QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних "
                                                  "клієнта (підбір телефона і/або кода) !")));
    EXPECT_FALSE(last.body.contains(QStringLiteral("kv-form")));
    EXPECT_GE(logIndex(QStringLiteral("(підбір телефона і/або кода) ! IP : 127.0.0.1")), 0);
}

}  // namespace
