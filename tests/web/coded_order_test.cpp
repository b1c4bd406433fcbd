// The coded order page over real HTTP on the demo city: the page a login builds, the
// fare against the engine's own, orders per car, the jubilee checks, messages and
// complaints.

#include "web_service_fixture.h"

#include "../common/qt_print.h"
#include "common/regional_format.h"
#include "dispatcher.h"
#include "route/fare.h"
#include "web/form_kodovane_zamov.h"

#include <QFile>

#include <cmath>

namespace {

using namespace kvtest;

const QString kPage = QStringLiteral("Form_KodovaneZamov");

class CodedOrderTest : public WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        ServerSettings &s = context.settings;
        s.MAIN_TARIF = QStringLiteral("Стандарт");
        s.KIL_SPROB_PRORAH = QStringLiteral("3");
        s.DOZVIL_POCHATK_ROZR_SUMA = s.ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM = s.DOSTUP_ZAKAZ_YUVILEYLA = true;
        s.MAX_CHAS_KODOVANOGO_ZEDN = QStringLiteral("30");
        s.TIMER_REFLESH_DATA_KODOV_ZAM = QStringLiteral("5");
        s.CHAS_ZAKRITTYA_ZAM = QStringLiteral("40");
        s.DAY_NARODZHENYA = QStringLiteral("З днем народження!");
        for (int hour = 0; hour < 24; ++hour)
            s.ROZKLAD_YUVILEYOK += QStringLiteral("[%1]").arg(hour, 2, 10, QChar(u'0'));
        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        ASSERT_TRUE(scale.open(QIODevice::WriteOnly));
        scale.write("[KARTA_MISTA]\r\nLENGTH=100\r\nLENGTH_TOCHKA=10\r\n");
        scale.close();
        const QString insert = QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, "
                                              "TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, TABLE_KLIENT_BAN) "
                                              "VALUES (?, ?, 'pw', ?, '-')");
        sql(insert, {1, "00101", "0501234567"});
        sql(insert, {2, "00102", "0671112233"});
        sql(insert, {3, "00103", "0939876543"});
        routes.LoadCityMap();
    }

    TForm_KodovaneZamov &login(WebClient &client, const QString &code)
    {
        client.open();
        const WebAnswer page = client.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                                            {{QStringLiteral("IWEdit1"), code}, {QStringLiteral("IWEdit2"), QStringLiteral("pw")}});
        EXPECT_TRUE(page.body.contains(QStringLiteral("<title>Кодовані клієнти</title>")));
        return pageOf<TForm_KodovaneZamov>(client);
    }
    static WebAnswer async(WebClient &client, const QString &control, Fields fields = {})
    {
        return PostAsync(client, kPage, control, std::move(fields));
    }
    static WebAnswer click(WebClient &client, const QString &control, Fields fields = {})
    {
        return client.click(kPage, control, std::move(fields));
    }
    // Orders of a client code, newest first: start, end, sum, free ride, additional data,
    // minutes from acceptance to closing.
    QList<QStringList> orders(int code)
    {
        ServiceLockGuard lock(ServiceLock());
        fb::Query &q = context.danni.DODAT_RIZNE;
        TDANI::Select(q, QStringLiteral("SELECT ZAMOVL_POCHAT_PUNKT, ZAMOVL_PUNKT_PRIZHACH, ZAMOVL_SUMA_ROZRAHUNK, "
                                        "ZAMOVL_BEZKOSHTOVN, ZAMOVL_PRICHINA_DELETE, DATEDIFF(MINUTE FROM "
                                        "CAST(ZAMOVL_DATA_PRIYOMA + ZAMOVL_CHAS_PRIYOMA AS TIMESTAMP) TO "
                                        "CAST(ZAMOVL_DATA_ZAKR_ZAMOVL + ZAMOVL_CHAS_ZAKR_ZAMOVL AS TIMESTAMP)) "
                                        "FROM ZAMOVLENNIA WHERE ZAMOVL_NOMER_KLIENT = ? ORDER BY ZAMOVL_NUMBER DESC"),
                     {code});
        QList<QStringList> rows;
        for (q.first(); !q.eof(); q.next()) {
            QStringList row;
            for (int i = 0; i < 6; ++i)
                row << q.field(i).asText();
            rows << row;
        }
        q.close();
        return rows;
    }
};

TEST_F(CodedOrderTest, ALoginBuildsTheClientPanelArchiveListsAndMovesTheSessionEnd)
{
    dispatchSql(QStringLiteral("UPDATE KLIENT SET KLIENT_DATA_NARODZENNIA = CURRENT_DATE WHERE KLIENT_NUMBER = 2"));
    WebClient client = browser();
    TForm_KodovaneZamov &page = login(client, QStringLiteral("00102"));
    QStringList values;
    for (const WebLabel *label : {&page.IWLabel13, &page.IWLabel14, &page.IWLabel15, &page.IWLabel16, &page.IWLabel17,
                                  &page.IWLabel18, &page.IWLabel19, &page.IWLabel20})
        values << label->caption;
    EXPECT_EQ(values, (QStringList{"0671112233", "00102", "Шевчук Андрій Іванович", "0671112233", "150,5", "2", "24", "5"}));
    EXPECT_TRUE(page.IWText1.visible);
    EXPECT_EQ(page.IWText1.lines, QStringLiteral("З днем народження!"));
    EXPECT_TRUE(page.IWRegion13.visible);
    // Start points first, then end points, of the completed orders only.
    EXPECT_EQ(page.IWComboBox5.items, (QStringList{"Крем'янецька, 7", "Залізничний вокзал"}));
    EXPECT_EQ(page.IWComboBox8.items, (QStringList{RegionalFormat::dateText(QDate::currentDate()),
                                                   RegionalFormat::dateText(QDate::currentDate().addDays(-1))}));
    EXPECT_EQ(page.IWComboBox7.currentText(), RegionalFormat::dateText(QDate::currentDate()));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TABLE_ACTIV_KOD || ' ' || TABLE_ACTIV_TELEF || ' ' || "
                                    "DATEDIFF(MINUTE FROM TABLE_ACTIV_VHID TO TABLE_ACTIV_END) FROM TABLE_ACTIV")),
              QStringLiteral("00102 0671112233 30"));

    // No greeting with the setting off, or for a client whose birthday it is not.
    context.settings.POZDOROVLENNYA_Z_DNEM_NAROD = false;
    WebClient other = browser();
    EXPECT_FALSE(login(other, QStringLiteral("00102")).IWText1.visible);
    context.settings.POZDOROVLENNYA_Z_DNEM_NAROD = true;
    WebClient third = browser();
    EXPECT_FALSE(login(third, QStringLiteral("00103")).IWText1.visible);

    // The dispatchers deleted the client: its counters are no longer shown.
    dispatchSql(QStringLiteral("DELETE FROM KLIENT WHERE KLIENT_NUMBER = 2"));
    click(client, QStringLiteral("IWImageButton1"));
    EXPECT_EQ((QStringList{page.IWLabel17.caption, page.IWLabel18.caption, page.IWLabel19.caption, page.IWLabel20.caption}),
              (QStringList{"", "", "", ""}));
}

TEST_F(CodedOrderTest, TheFareIsTheEnginesAndOrdersArePlacedOnePerCar)
{
    WebClient client = browser();
    TForm_KodovaneZamov &page = login(client, QStringLiteral("00102"));
    click(client, QStringLiteral("IWImageButton4"));
    async(client, QStringLiteral("IWImageButton2"), {{"IWEdit1", "Лесі"}});
    async(client, QStringLiteral("IWListbox1"), {{"IWListbox1", QString::number(page.IWListbox1.items.indexOf("Лесі Українки"))}});
    async(client, QStringLiteral("IWImageButton11"), {{"IWComboBox4", QString::number(page.IWComboBox4.items.indexOf("18"))}});
    EXPECT_EQ(page.IWLabel51.caption, QStringLiteral("[Лесі Українки]{18}"));

    // Without an end point no attempt is used; an address off the map with no route page uses one.
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton8"))),
              QStringLiteral("Для повноцінного розрахунку приблизної суми поїздки потрібно задати кінцевий пункт "
                             "призначення по місту !"));
    async(client, QStringLiteral("IWComboBox6"), {{"IWComboBox6", "0"}});
    EXPECT_EQ(page.IWLabel52.caption, QStringLiteral("Крем'янецька, 7"));
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton8"))),
              QStringLiteral("Помилка під час прорахунку відстані між початковим і кінцевим пунктами (можливо один "
                             "або два пункта не належать карті міста)! У Вас ще залишилося [2] спроби прорахунку "
                             "відстані і суми поїздки."));
    EXPECT_EQ(page.IWLabel39.caption, QStringLiteral("25"));

    async(client, QStringLiteral("IWComboBox6"), {{"IWComboBox6", "1"}});
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton8"))),
              QStringLiteral("У Вас ще залишилося [1] спроби прорахунку відстані і суми поїздки."));
    const double km = CutAfterTwoDecimals(routes.CalcTripDistance(page.IWLabel51.caption, page.IWLabel52.caption));
    ASSERT_GT(km, 0);
    double fare;
    {
        ServiceLockGuard lock(ServiceLock());
        fare = CutAfterTwoDecimals(LoadTariff(context.danni, QStringLiteral("Стандарт"), 0, km, 0, 0));
    }
    EXPECT_EQ(page.IWLabel55.caption, RegionalFormat::numberText(km));
    EXPECT_EQ(page.IWLabel39.caption, RegionalFormat::numberText(fare));
    click(client, QStringLiteral("IWImageButton8"));
    EXPECT_FALSE(page.IWImageButton8.visible);

    // A car count that is no positive number places nothing and says nothing.
    for (const char *cars : {"0", "x"})
        EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton7"), {{"IWEdit2", cars}})), QString());
    EXPECT_TRUE(orders(102).isEmpty());
    const WebAnswer placed = click(client, QStringLiteral("IWImageButton7"), {{"IWEdit2", "3"}, {"IWCheckBox5", "on"}});
    const QList<QStringList> rows = orders(102);
    ASSERT_EQ(rows.size(), 3);
    const QStringList expected{"[Лесі Українки]{18}", "Залізничний вокзал", RegionalFormat::numberText(fare), "HI",
                               "{швидке}   тел.:[0671112233]   тариф:[Стандарт]  (Перевезення тварин)",
                               QString::number(10 + std::nearbyint(km / 0.66))};
    for (const QStringList &row : rows)
        EXPECT_EQ(row, expected);
    // The points stay, the fare button stays gone, the active orders show.
    EXPECT_EQ(page.IWLabel51.caption, QStringLiteral("[Лесі Українки]{18}"));
    EXPECT_FALSE(page.IWImageButton8.visible);
    EXPECT_TRUE(page.IWRegion9.visible);
    EXPECT_EQ(page.IWGrid1.rows.size(), 3u);

    // The cars of a click and the open orders together may not pass the account's limit.
    context.settings.MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO = QStringLiteral("4");
    click(client, QStringLiteral("IWImageButton4"));
    EXPECT_TRUE(AlertsOf(click(client, QStringLiteral("IWImageButton7"), {{"IWEdit2", "2"}}))
                    .contains(QStringLiteral("[перевищено кількість активних замовлень (4), решту замовте у телефонному "
                                             "режимі тел.[555-12-12]]")));
    EXPECT_EQ(orders(102).size(), 3);
    context.settings.MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO = QStringLiteral("0");
    click(client, QStringLiteral("IWImageButton1"));  // back to the active orders

    // The timer shows the car a dispatcher assigned.
    Dispatcher dispatcher({folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
    dispatcher.assignCar(dispatcher.openWebOrders().last().number, QStringLiteral("105"));
    const WebAnswer tick = PostAsync(client, kPage, QStringLiteral("IWTimer1"), {}, QStringLiteral("__timer"));
    EXPECT_TRUE(UpdatedNames(tick).contains(QStringLiteral("IWGrid1")));
    EXPECT_EQ(page.IWGrid1.rows.back().value(6), QStringLiteral("позивний :[105] / авто :[Volkswagen Passat] / колір :[чорний]"));

    // Without the dispatchers' database a tick raises no alert: the counters stay as they
    // were and the table says it could not be filled.
    const QString balance = page.IWLabel17.caption;
    dispatchDown();
    const WebAnswer lost = PostAsync(client, kPage, QStringLiteral("IWTimer1"), {}, QStringLiteral("__timer"));
    dispatchBack();
    EXPECT_EQ(AlertsOf(lost), QString());
    EXPECT_EQ(page.IWLabel17.caption, balance);
    EXPECT_EQ(page.IWGrid1.rows.front().value(0), QStringLiteral("Помилка під час створення таблиці !!!"));

    // A refused insert: nothing is shown as placed, the client is told and the log says so.
    dispatchSql(QStringLiteral("ALTER TABLE ZAMOVLENNIA ADD CONSTRAINT NO_WEB CHECK (ZAMOVL_PRIYOM_ZAMOVL <> 'WEB')"));
    click(client, QStringLiteral("IWImageButton4"));
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton7"), {{"IWEdit2", "2"}})),
              QStringLiteral("Створено замовлень: 0 з 2. Решту замовлень створити не вдалося (помилка бази даних "
                             "диспетчерської служби). Замовте їх у телефонному режимі (тел. [555-12-12]) !"));
    EXPECT_EQ(orders(102).size(), 3);
    EXPECT_GE(logIndex(QStringLiteral("] кодованому клієнту з кодом [00102] створено 0 з 2 замовлень")), 0);
    Q_UNUSED(placed);
}

TEST_F(CodedOrderTest, AJubileeTripIsRefusedForEachReasonAndOtherwisePlacedAsOneFreeCar)
{
    dispatchSql(QStringLiteral("INSERT INTO ZAMOVLENNIA (ZAMOVL_NUMBER, ZAMOVL_NOMER_KLIENT, ZAMOVL_BEZKOSHTOVN, "
                               "ZAMOVL_STATUS_ZAMOVL) VALUES (5000, 102, 'TAK', 0)"));
    const QString lead = QStringLiteral("Немає можливості вказати ювілейну поїздку, можливі помилки : ");
    struct Case {
        const char *code;
        bool allowed;
        bool thisHour;
        QString error;
    };
    const Case cases[] = {
        {"00101", true, true, QStringLiteral("У Вас немає вільних ювілейок ! ")},
        {"00102", true, true,
         QStringLiteral("В даний час у Вас є активна невиконана ювілейна поїздка (немає можливості мати більше однієї "
                        "активної ювілейної поїздки) ! ")},
        {"00103", false, true, QStringLiteral("Відключена адміністратором можливість вибирати ювілейну поїздку ! ")},
        {"00103", true, false,
         QStringLiteral("У налаштуваннях адміністратора у дану годину немає можливості вибирати ювілейну поїздку "
                        "(ювілейна поїздка не надається як попереднє замовлення, інакше замовте у телефонному режимі) ! ")},
        {"00103", true, true, QString()},
    };
    const QString schedule = context.settings.ROZKLAD_YUVILEYOK;
    for (const Case &c : cases) {
        context.settings.DOSTUP_ZAKAZ_YUVILEYLA = c.allowed;
        context.settings.ROZKLAD_YUVILEYOK =
            c.thisHour ? schedule : QString(schedule).remove(QStringLiteral("[%1]").arg(QTime::currentTime().hour(), 2, 10, QChar(u'0')));
        WebClient client = browser();
        TForm_KodovaneZamov &page = login(client, QString::fromLatin1(c.code));
        click(client, QStringLiteral("IWImageButton4"));
        const WebAnswer answer = async(client, QStringLiteral("IWCheckBox7"), {{"IWCheckBox7", "on"}, {"IWEdit2", "4"}});
        EXPECT_EQ(AlertsOf(answer), c.error.isEmpty() ? QString() : lead + c.error) << c.code;
        EXPECT_EQ(page.IWCheckBox7.checked, c.error.isEmpty()) << c.code;
        EXPECT_EQ(page.IWEdit2.enabled, !c.error.isEmpty()) << c.code;
        EXPECT_EQ(page.IWCheckBox1.enabled, !c.error.isEmpty()) << c.code;
        EXPECT_EQ(page.IWLabel39.caption, c.error.isEmpty() ? QStringLiteral("по таксометру") : QStringLiteral("25"));
        if (!c.error.isEmpty())
            continue;
        async(client, QStringLiteral("IWImageButton2"), {{"IWEdit1", "ЦУМ"}});
        async(client, QStringLiteral("IWListbox1"), {{"IWListbox1", "0"}});
        async(client, QStringLiteral("IWImageButton11"));
        click(client, QStringLiteral("IWImageButton7"));
        const QList<QStringList> rows = orders(103);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0], (QStringList{"ЦУМ", "", "0", "TAK", "{швидке}   тел.:[0939876543]   тариф:[Стандарт]  ()", "40"}));
    }
}

TEST_F(CodedOrderTest, MessagesComplaintsAndTheArchiveRange)
{
    sql(QStringLiteral("UPDATE TABLE_KLIENT SET TABLE_KLIENT_POVID = 'Відповідь <b>' WHERE TABLE_KLIENT_KOD = '00102'"));
    WebClient client = browser();
    TForm_KodovaneZamov &page = login(client, QStringLiteral("00102"));
    EXPECT_TRUE(click(client, QStringLiteral("IWImageButton5")).body.contains(QStringLiteral(">Відповідь &lt;b&gt;</textarea>")));
    click(client, QStringLiteral("IWButton1"));
    EXPECT_TRUE(page.IWMemo1.text.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_KLIENT WHERE TABLE_KLIENT_POVID IS NULL")), QStringLiteral("3"));

    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWButton2"), {{"IWMemo2", "text"}})),
              QStringLiteral("Не задані всі дані. При потребі після виправлення помилки повторіть спробу !"));
    const QString head = QStringLiteral("Призначено для : [АДМІНІСТРАТОРУ]\rДати відповідь : [ЯК ОСОБИСТЕ ПОВІДОМЛЕННЯ]\r\r");
    // A passenger's 500 characters with a line break fit (the browser counts it once).
    const QString longest = QString(249, u'ж') + QStringLiteral("\r\n") + QString(250, u'ж');
    for (const QString &text : {QStringLiteral("it's <script>"), longest}) {
        EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWButton2"), {{"IWMemo2", text}, {"IWComboBox2", "1"}})),
                  QStringLiteral("Повідомлення успішно відправлено !"));
        EXPECT_EQ(page.IWComboBox2.itemIndex, -1);
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIST(TABLE_SKARGA_KOD || '/' || TABLE_SKARGA_TELEF || '/' || TABLE_SKARGA_VIDPOV) "
                                    "FROM TABLE_SKARGA")),
              QStringLiteral("00102/0671112233/-,00102/0671112233/-"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TABLE_SKARGA_TEXT FROM TABLE_SKARGA WHERE TABLE_SKARGA_NP = 1")),
              head + QStringLiteral("it^s <script>"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TABLE_SKARGA_TEXT FROM TABLE_SKARGA WHERE TABLE_SKARGA_NP = 2")),
              (head + longest).left(500));
    // A crafted longer one is refused whole.
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWButton2"), {{"IWMemo2", QString(501, u'ж')}, {"IWComboBox2", "1"}})),
              QStringLiteral("Невірні дані форми. Оновіть сторінку і повторіть спробу !"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLE_SKARGA")), QStringLiteral("2"));

    // An end date before the start date is told on the click and nothing is shown.
    click(client, QStringLiteral("IWImageButton3"));
    EXPECT_EQ(AlertsOf(click(client, QStringLiteral("IWImageButton3"), {{"IWComboBox7", "0"}, {"IWComboBox8", "1"}})),
              QStringLiteral("Кінцева дата архіву не може бути раніше початкової ! Виберіть дати архіву і повторіть "
                             "спробу."));
    EXPECT_TRUE(page.IWGrid2.rows.empty());
    click(client, QStringLiteral("IWImageButton3"), {{"IWComboBox7", "1"}, {"IWComboBox8", "0"}});
    ASSERT_EQ(page.IWGrid2.rows.size(), 1u);
    EXPECT_EQ(page.IWGrid2.rows[0].mid(3), (QStringList{"Крем'янецька, 7", "Залізничний вокзал", "18:42:00", "101"}));

    // Without the setting the personal message is never loaded.
    context.settings.POKAZ_OSOBIST_POVID_KLIENTU = false;
    sql(QStringLiteral("UPDATE TABLE_KLIENT SET TABLE_KLIENT_POVID = 'x'"));
    WebClient other = browser();
    TForm_KodovaneZamov &closed = login(other, QStringLiteral("00102"));
    click(other, QStringLiteral("IWImageButton5"));
    EXPECT_FALSE(closed.IWButton7.enabled);
    EXPECT_TRUE(closed.IWMemo1.text.isEmpty());
}

}  // namespace
