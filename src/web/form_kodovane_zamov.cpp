#include "web/form_kodovane_zamov.h"

#include "common/regional_format.h"
#include "common/service_lock.h"
#include "data/activ_rows.h"
#include "data/client_lookup.h"
#include "route/fare.h"
#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/page_chrome.h"
#include "web/user_session.h"

namespace {

const QStringList kHelpLines = {
    QStringLiteral("АКТИВНІ ЗАМОВЛЕННЯ :"),
    QStringLiteral("- можливість перегляду таблиці активних замовлень на вказаний код"),
    QStringLiteral("------------------------------------------------------"),
    QString(),
    QStringLiteral("АРХІВ ЗАМОВЛЕНЬ :"),
    QStringLiteral("- можливість перегляду таблиці попередньовиконаних замовлень за вказаний час"),
    QStringLiteral("------------------------------------------------------"),
    QString(),
    QStringLiteral("НОВЕ ЗАМОВЛЕННЯ :"),
    QStringLiteral("- створення нового замовлення за вказаними даними і при потребі (і можливості) попередньо "
                   "прорахувати вартість поїздки"),
    QString(),
    QStringLiteral("- Процес вірного замовлення :"),
    QStringLiteral("+ вибір початкового пункта (з архіва замовленя і/або з панелі вибору)"),
    QStringLiteral("+ вибір кінцевого пункта при потребі (з архіва замовленя і/або з панелі вибору)"),
    QStringLiteral("+ добавлення додаткових даних замовлення"),
    QStringLiteral("+ прорахунок вартості (при потребі)"),
    QStringLiteral("Майте на увазі, що :"),
    QStringLiteral("> майте на увазі, що тариф стоїть по замовчюванні, під час добавлення додаткових даних дійсний "
                   "тариф і сума під час поїздки може відрізнятися від прорахованого"),
    QStringLiteral("> ювілейна поїздка надається (при наявності на кодові) тільки як швидке замовлення"),
    QStringLiteral("> ювілейна поїздка надається в кількості одного автомобіля"),
    QStringLiteral("> ювілейна поїздка рахується тільки по показниках лічильника автомобіля"),
    QStringLiteral("------------------------------------------------------"),
    QString(),
    QStringLiteral("ПОВІДОМЛЕННЯ :"),
    QStringLiteral("- можливість відправлення скарги / пропозиції"),
    QStringLiteral("- перегляд вхідного повідомлення"),
    QStringLiteral("------------------------------------------------------"),
    QString(),
    QStringLiteral("Обновлення даних :"),
    QStringLiteral("- автоматично по таймеру (час виставляється адміністратором)"),
    QStringLiteral("- при виборі або обновлені потрібної закладки (клацніть назву закладки)"),
};

// Day and month of a date text, each as two digits: "5.03.1985" and "05.03.2026" both
// give "05.03".
QString dayAndMonth(QString date)
{
    if (date.size() > 1 && date[1] == u'.')
        date.prepend(u'0');
    return date.left(5);
}

}  // namespace

TForm_KodovaneZamov::TForm_KodovaneZamov(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Кодовані клієнти")),
      Address(TWebMainForm::Context(), {IWEdit1, IWImageButton2, IWComboBox3, IWListbox1, IWLabel44, IWComboBox4,
                                        IWEdit8, IWLabel45, IWEdit3, IWLabel46, IWMemo5}),
      Options({IWCheckBox5, IWCheckBox2, IWCheckBox4, IWCheckBox6, IWEdit4, IWCheckBox3, IWEdit10, IWCheckBox1, IWEdit5,
               IWEdit6, IWEdit7}),
      context_(TWebMainForm::Context())
{
    setUpControls();
    IWAppFormCreate();
}

void TForm_KodovaneZamov::setUpControls()
{
    cssClass = QStringLiteral("kv-coded-order");
    IWRegion1.cssClass = QStringLiteral("kv-toolbar kv-top-bar");
    PageChrome::SetUpExitLink(IWLink1);
    IWLabel54.caption = QStringLiteral("ЗАЧЕКАЙТЕ  ІДЕ  ПРОРАХУНОК  ...");
    IWLabel54.visible = false;

    IWRegion3.cssClass = QStringLiteral("kv-client-panel");
    const std::pair<WebLabel *, const char *> captions[] = {
        {&IWLabel2, "Телефон виклику"},
        {&IWLabel3, "Код клієнта"},
        {&IWLabel4, "ФІО клієнта"},
        {&IWLabel5, "Додаткові телефони"},
        {&IWLabel7, "Баланс клієнта"},
        {&IWLabel8, "Кількість вільних ювілейних поїздок"},
        {&IWLabel10, "Кількість поїздок до нової ювілейної поїздки"},
        {&IWLabel12, "Особиста знижка"}};
    for (const auto &[label, caption] : captions) {
        label->caption = QString::fromUtf8(caption);
        label->cssClass = QStringLiteral("kv-caption");
    }
    for (WebLabel *value : {&IWLabel13, &IWLabel14, &IWLabel15, &IWLabel16, &IWLabel17, &IWLabel18, &IWLabel19, &IWLabel20})
        value->cssClass = QStringLiteral("kv-value");
    IWText1.lines = QStringLiteral("поздоровлення");
    IWText1.cssClass = QStringLiteral("kv-greeting");

    IWRegion5.cssClass = QStringLiteral("kv-workspace");
    IWRegion7.cssClass = QStringLiteral("kv-side-menu");
    struct MenuItem {
        WebImageButton &button;
        WebLabel &caption;
        const char *picture, *hint, *text;
        void (TForm_KodovaneZamov::*click)();
    };
    const MenuItem menu[] = {
        {IWImageButton1, IWLabel28, "report_edit.bmp", "Таблиця активних замовлень", "Активні",
         &TForm_KodovaneZamov::IWImageButton1Click},
        {IWImageButton3, IWLabel29, "report_disk.bmp", "Таблиця попередньовиконаних замовлень", "Архів",
         &TForm_KodovaneZamov::IWImageButton3Click},
        {IWImageButton4, IWLabel32, "report_add.bmp", "Створення нового замовлення", "Нове",
         &TForm_KodovaneZamov::IWImageButton4Click},
        {IWImageButton5, IWLabel35, "messenger.bmp", "Форма обміну повідомленнями", "Повідомлення",
         &TForm_KodovaneZamov::IWImageButton5Click},
        {IWImageButton6, IWLabel36, "help.bmp", "Допомога", "Допомога", &TForm_KodovaneZamov::IWImageButton6Click},
    };
    for (const MenuItem &item : menu) {
        item.button.imageUrl = QStringLiteral("/files/") + QString::fromLatin1(item.picture);
        item.button.hint = QString::fromUtf8(item.hint);
        item.button.onClick = [this, click = item.click] { (this->*click)(); };
        item.caption.caption = QString::fromUtf8(item.text);
    }

    IWRegion8.cssClass = QStringLiteral("kv-content");
    const QStringList active = {QStringLiteral("н/п"), QStringLiteral("Призова"), QStringLiteral("Дата і час створення"),
                                QStringLiteral("Початковий пункт"), QStringLiteral("Пункт призначення"),
                                QStringLiteral("Час подачи авто")};
    IWGrid1.caption = QStringLiteral("Список  активних  замовлень");
    IWGrid1.columns = active + QStringList{QStringLiteral("Дані авто")};
    IWLabel23.caption = QStringLiteral("початкова дата");
    IWLabel23.forControl = IWComboBox7.name();
    IWLabel27.caption = QStringLiteral("кінцева дата");
    IWLabel27.forControl = IWComboBox8.name();
    IWGrid2.caption = QStringLiteral("Архів  виконаних  замовлень");
    IWGrid2.columns = active + QStringList{QStringLiteral("Позивний")};

    IWRegion12.cssClass = QStringLiteral("kv-messages");
    IWLabel34.caption = QStringLiteral("Обмін  повідомленнями");
    IWLabel34.cssClass = QStringLiteral("kv-heading");
    IWLabel6.caption = QStringLiteral("Вхідне особисте повідомлення ...");
    IWLabel6.forControl = IWMemo1.name();
    IWButton7.caption = QStringLiteral("Оновити дані ...");
    IWButton7.onClick = [this] { IWButton7Click(); };
    IWButton1.caption = QStringLiteral("Очистити вхідне повідомлення");
    IWButton1.onClick = [this] { IWButton1Click(); };
    IWLabel9.caption = QStringLiteral("Скарга / побажання ...");
    IWLabel9.forControl = IWMemo2.name();
    IWLabel22.caption = QStringLiteral("не більше 500 символів");
    IWLabel22.cssClass = QStringLiteral("kv-notice");
    IWMemo2.readOnly = false;
    IWMemo2.maxLength = 500;
    IWLabel21.caption = QStringLiteral("Кому адресовано ...");
    IWLabel21.forControl = IWComboBox2.name();
    IWComboBox2.items = {QStringLiteral("ДИРЕКТОРУ"), QStringLiteral("АДМІНІСТРАТОРУ"),
                         QStringLiteral("ГОЛОВНОМУ ДИСПЕТЧЕРУ"), QStringLiteral("інше ...")};
    IWLabel11.caption = QStringLiteral("Отримати відповідь ...");
    IWLabel11.forControl = IWComboBox1.name();
    IWComboBox1.items = {QStringLiteral("НА ТЕЛЕФОН"), QStringLiteral("НА EMAIL"),
                         QStringLiteral("ЯК ОСОБИСТЕ ПОВІДОМЛЕННЯ")};
    IWComboBox1.itemIndex = 2;
    IWButton2.caption = QStringLiteral("Відправити повідомлення");
    IWButton2.onClick = [this] { IWButton2Click(); };

    IWLabel33.caption = QStringLiteral("Д о п о м о г а");
    IWLabel33.accessibleName = QStringLiteral("Допомога");
    IWLabel33.cssClass = QStringLiteral("kv-heading");
    IWText2.lines = kHelpLines.join(u'\n');
    IWText2.cssClass = QStringLiteral("kv-help");

    for (WebRegion *panel : {&IWRegion9, &IWRegion10, &IWRegion11, &IWRegion12, &IWRegion13})
        panel->cssClass += QStringLiteral(" kv-panel");
    IWTimer1.onTimer = [this] { IWTimer1Timer(); };
    PageChrome::SetUpFooterLabel(IWLabel1);

    // The new order panel: its upper part and tabs.
    IWRegion4.cssClass = QStringLiteral("kv-new-order");
    IWLabel26.caption = QStringLiteral("Створення  нового  замовлення");
    IWLabel26.cssClass = QStringLiteral("kv-heading");
    const auto picture = [](WebImageButton &button, const char *file, const char *hint) {
        button.imageUrl = QStringLiteral("/files/") + QString::fromLatin1(file);
        button.hint = QString::fromUtf8(hint);
    };
    picture(IWImageButton8, "money_dollar.bmp", "Приблизно розрахувати вартість поїздки");
    picture(IWImageButton11, "arrow_refresh.bmp", "Дані для початкового пункта взяти з вибору пунктів");
    picture(IWImageButton12, "arrow_refresh.bmp", "Дані для кінцевого пункта взяти з вибору пунктів");
    picture(IWImageButton13, "draw_eraser.bmp", "Очистити дані кінцевого пункта");
    picture(IWImageButton9, "information16x16.bmp", "що включає в себе сума ?");
    picture(IWImageButton7, "add.bmp", "Створити замовлення по заданих даних");
    // Choosing the points changes a few labels in place; the fare and the orders post the page.
    IWImageButton11.onAsyncClick = [this] { IWImageButton11Click(); };
    IWImageButton12.onAsyncClick = [this] { IWImageButton12Click(); };
    IWImageButton13.onAsyncClick = [this] { IWImageButton13Click(); };
    IWImageButton9.onAsyncClick = [this] { IWImageButton9Click(); };
    IWImageButton8.onClick = [this] { IWImageButton8Click(); };
    IWImageButton7.onClick = [this] { IWImageButton7Click(); };
    IWLabel24.caption = QStringLiteral("Початковий пункт");
    IWLabel25.caption = QStringLiteral("Кінцевий пункт");
    IWLabel51.caption = QStringLiteral("вкажіть початкову адресу");
    IWLabel52.caption = QStringLiteral("вкажіть кінцеву адресу (при потребі)");
    IWLabel51.cssClass = IWLabel52.cssClass = QStringLiteral("kv-point");
    for (WebComboBox *archive : {&IWComboBox5, &IWComboBox6})
        archive->hint = QStringLiteral("Позиції у випадаючому списку дані з архіва");
    IWComboBox5.onAsyncClick = [this] { IWComboBox5Change(); };
    IWComboBox6.onAsyncClick = [this] { IWComboBox6Change(); };
    IWLabel41.caption = IWLabel53.caption = QStringLiteral("з архіва");
    IWComboBox5.accessibleName = IWLabel24.caption + u' ' + IWLabel41.caption;
    IWComboBox6.accessibleName = IWLabel25.caption + u' ' + IWLabel53.caption;
    IWLabel30.caption = QStringLiteral("Тариф");
    IWLabel37.caption = QStringLiteral("майте на увазі, що тариф стоїть по замовчюванні, під час добавлення "
                                       "додаткових даних дійсний тариф і сума під час поїздки може відрізнятися від "
                                       "прорахованого");
    IWLabel37.cssClass = QStringLiteral("kv-notice");
    IWLabel31.caption = QStringLiteral("Приблизна розрахована сума");
    IWLabel39.cssClass = IWLabel38.cssClass = QStringLiteral("kv-value");
    IWLabel55.caption = QStringLiteral("0");
    IWLabel55.visible = false;

    IWTabControl2.titles = {QStringLiteral("  Вибір початкового / кінцевого пункта ...  "),
                            QStringLiteral("Додаткові дані замовлення  "), QStringLiteral("  Дата і час подачи авто  "),
                            QStringLiteral("  Ювілейна поїздка / кількість авто  "),
                            QStringLiteral("Створення замовлення  ...  ")};
    IWTabControl2Page0.cssClass = QStringLiteral("kv-address");
    IWLabel42.caption = QStringLiteral("Назва");
    IWLabel42.forControl = IWEdit1.name();
    IWLabel43.caption = QStringLiteral("Обєкт");
    IWLabel43.forControl = IWComboBox3.name();
    IWTabControl2Page1.cssClass = IWTabControl2Page2.cssClass = IWTabControl2Page3.cssClass =
        QStringLiteral("kv-options");
    IWLabel49.caption = QStringLiteral("додатково про вантаж");
    IWLabel49.forControl = IWEdit4.name();
    IWCheckBox1.caption = QStringLiteral("Попереднє замовлення / на даний час");
    IWLabel47.caption = QStringLiteral("Дата");
    IWLabel47.forControl = IWEdit5.name();
    IWLabel48.caption = QStringLiteral("Год./хв.");
    IWCheckBox7.caption = QStringLiteral("Ювілейна / Звичайна поїздка");
    IWCheckBox7.onAsyncClick = [this] { IWCheckBox7Click(); };
    IWLabel50.caption = QStringLiteral("Кількість автомобілів");
    IWLabel50.forControl = IWEdit2.name();
    IWEdit2.maxLength = 2;  // each car is an order of its own
    IWLabel40.caption = QStringLiteral("при розрахунку сума рахується на один автомобіль");
    IWLabel56.caption = QStringLiteral("у випадку ювілейного замовлення, статус замовлення [швидке]");
    IWLabel40.cssClass = IWLabel56.cssClass = QStringLiteral("kv-notice");
    IWLabel57.caption = QStringLiteral("Створення нового(их) замовлення(нь) за вказаними даними");
    IWLabel58.caption = QStringLiteral("Перевірьте чи вірні всі данні, так як відмінити замовлення можна буде тільки в "
                                       "телефонному режимі");
    IWLabel58.cssClass = QStringLiteral("kv-notice");
}

void TForm_KodovaneZamov::IWAppFormCreate()
{
    TIWUserSession &user = TIWUserSession::Current();
    ServiceLockGuard lock(ServiceLock());
    const ServerSettings &s = context_.settings;
    TDANI &d = context_.danni;

    Address.Reset();
    Options.Reset();
    IWLabel38.caption = s.MAIN_TARIF;
    IWLabel39.caption = zeroTripFare();
    IWImageButton8.visible = s.DOZVIL_POCHATK_ROZR_SUMA;
    IWLabel55.caption = QStringLiteral("0");
    IWCheckBox7.checked = false;
    IWEdit2.text = QStringLiteral("1");
    IWEdit2.enabled = true;

    user.OrderState = user.OrderNumber = user.DriverCallsign = user.EntryAttempts = 0;
    user.CalcAttemptsLeft = ServerSettings::toInt(s.KIL_SPROB_PRORAH).value_or(0);
    if (user.CalcAttemptsLeft < 1)
        IWImageButton8.visible = false;
    context_.accounts.addCodedEntry();  // stays "не задано" until the first start

    IWLabel13.caption = user.ClientPhone;
    IWLabel14.caption = user.ClientCodeText;
    if (s.ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM) {
        IWLabel51.caption = QStringLiteral("вкажіть початкову адресу");
        IWLabel52.caption = QStringLiteral("вкажіть кінцеву адресу (при потребі)");
        fillArchiveAddresses();
    } else {
        IWComboBox5.visible = IWComboBox6.visible = IWLabel41.visible = IWLabel53.visible = false;
    }
    moveSessionEnd();

    QString birthDate;
    if (const std::optional<ClientRecord> client = FindClient(d, user.ClientCode)) {
        IWLabel15.caption = client->fio;
        IWLabel16.caption = client->telefon;
        IWLabel17.caption = client->balans;
        IWLabel18.caption = client->kilFreeViklik;
        IWLabel19.caption = client->kilViklik;
        IWLabel20.caption = client->znizhka;
        birthDate = client->birthday;
    }
    greet(birthDate);

    IWButton7.enabled = s.POKAZ_OSOBIST_POVID_KLIENTU;
    IWButton1.enabled = s.DELETE_OSOBIST_POVID_AFTEROPENPROGRAM;
    fillArchiveDates();

    const int seconds = context_.numbers.read("SETKLIENT/TIMER_REFLESH_DATA_KODOV_ZAM", s.TIMER_REFLESH_DATA_KODOV_ZAM, 60);
    IWTimer1.interval = seconds * 1000;
    IWTimer1.enabled = IWTimer1.interval != 0;
    for (WebRegion *panel : {&IWRegion9, &IWRegion10, &IWRegion11, &IWRegion12})
        panel->visible = false;
    IWRegion13.visible = true;
}

void TForm_KodovaneZamov::greet(const QString &birthDate)
{
    const bool birthday = !birthDate.isEmpty()
        && dayAndMonth(birthDate) == dayAndMonth(RegionalFormat::dateText(QDate::currentDate()));
    IWText1.visible = birthday && context_.settings.POZDOROVLENNYA_Z_DNEM_NAROD;
    IWText1.lines = IWText1.visible ? context_.settings.DAY_NARODZHENYA : QString();
}

void TForm_KodovaneZamov::fillArchiveAddresses()
{
    TDANI &d = context_.danni;
    const qint32 code = TIWUserSession::Current().ClientCode;
    QStringList points;
    for (const char *column : {"CZ_POCHAT_PUNKT", "CZ_PUNKT_PRIZHACH"}) {
        TDANI::SelectReadOnly(d.RIZNE,
                              QStringLiteral("SELECT %1 FROM  CLOSEZAMOVLENNIA\n"
                                             "WHERE (CZ_STATUS_ZAMOVL = 1) and (CZ_NOMER_KLIENT = ?)  AND (%1 IS NOT NULL) "
                                             "AND (%1 <> 'підсадка')\n"
                                             "GROUP BY %1")
                                  .arg(QString::fromLatin1(column)),
                              {code});
        for (d.RIZNE.first(); !d.RIZNE.eof(); d.RIZNE.next())
            points << d.RIZNE.field(0).asText();
        d.RIZNE.close();
    }
    IWComboBox5.items = IWComboBox6.items = points;
    IWComboBox5.itemIndex = IWComboBox6.itemIndex = -1;
}

void TForm_KodovaneZamov::fillArchiveDates()
{
    TDANI &d = context_.danni;
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT CZ_DATA_PRIYOMA FROM  CLOSEZAMOVLENNIA\n"
                                         "WHERE (CZ_STATUS_ZAMOVL = 1) and (CZ_NOMER_KLIENT = ?)\n"
                                         "GROUP BY CZ_DATA_PRIYOMA"),
                          {TIWUserSession::Current().ClientCode});
    QStringList dates;
    for (d.RIZNE.first(); !d.RIZNE.eof(); d.RIZNE.next())
        dates.prepend(d.RIZNE.field(0).asText());
    d.RIZNE.close();
    dates.prepend(RegionalFormat::dateText(QDate::currentDate()));
    IWComboBox7.items = IWComboBox8.items = dates;
    IWComboBox7.itemIndex = IWComboBox8.itemIndex = 0;
}

void TForm_KodovaneZamov::moveSessionEnd()
{
    const TIWUserSession &user = TIWUserSession::Current();
    const QDateTime now = QDateTime::currentDateTime();
    // A setting that is no number gives the default, as for the phones: 0 would end the
    // session at the next ten-second check.
    const int minutes =
        context_.numbers.read("DOSTUP/MAX_CHAS_KODOVANOGO_ZEDN", context_.settings.MAX_CHAS_KODOVANOGO_ZEDN, 30);
    TDANI &d = context_.danni;
    TDANI::Execute(d.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_ACTIV\n"
                                  "SET TABLE_ACTIV_KOD = ?, \n"
                                  "     TABLE_ACTIV_TELEF = ?, \n"
                                  "     TABLE_ACTIV_VHID = ?, \n"
                                  "     TABLE_ACTIV_END = ? \n"
                                  "WHERE (TABLE_ACTIV_ID = ?) "),
                   {user.ClientCodeText, user.ClientPhone.left(30), WholeSeconds(now),
                    WholeSeconds(now.addSecs(qint64(minutes) * 60)),
                    session().id()});
    d.RefreshGrid(TDANI::Grid::Activ);
}

void TForm_KodovaneZamov::showPanel(WebRegion &panel)
{
    if (panel.visible)
        return;
    for (WebRegion *other : {&IWRegion9, &IWRegion10, &IWRegion11, &IWRegion12, &IWRegion13})
        other->visible = other == &panel;
}

void TForm_KodovaneZamov::RefreshCounters()
{
    ServiceLockGuard lock(ServiceLock());
    // A client record that is gone reads empty: stale counters would let a jubilee check
    // pass on free trips that are no longer there.
    const std::optional<ClientRecord> client = FindClient(context_.danni, TIWUserSession::Current().ClientCode);
    IWLabel17.caption = client ? client->balans : QString();
    IWLabel18.caption = client ? client->kilFreeViklik : QString();
    IWLabel19.caption = client ? client->kilViklik : QString();
    IWLabel20.caption = client ? client->znizhka : QString();
}

void TForm_KodovaneZamov::IWImageButton1Click()
{
    RefreshCounters();
    showPanel(IWRegion9);
    FillActiveOrders();
}

void TForm_KodovaneZamov::IWImageButton3Click()
{
    RefreshCounters();
    showPanel(IWRegion10);
    FillArchive(true);
}

void TForm_KodovaneZamov::IWImageButton4Click() { showPanel(IWRegion11); }

void TForm_KodovaneZamov::IWImageButton5Click()
{
    showPanel(IWRegion12);
    LoadPersonalMessage();
}

void TForm_KodovaneZamov::IWImageButton6Click() { showPanel(IWRegion13); }
