#include "web/speed_order.h"

#include "common/format_number5.h"
#include "common/regional_format.h"
#include "common/service_lock.h"
#include "data/client_lookup.h"
#include "data/like_pattern.h"
#include "route/route_engine.h"
#include "shell/order_limits.h"
#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/page_chrome.h"
#include "web/telephone_text.h"
#include "web/user_session.h"

namespace {

const QChar CR = u'\r';
const QString kStars = QStringLiteral("************************************");
const QString kResetCode = QStringLiteral("    Обнулення запису кода і повернення у статус вводу замовлення.");
const QString kRetryCode = QStringLiteral("    При потребі введіть вірний код і повторіть спробу !");

// The piece of an order's additional data by which a telephone's orders are found,
// matching the typed telephone literally.
QString telephonePattern(const QString &telephone)
{
    return LikeLiteral(QStringLiteral("тел.:[") + telephone + QStringLiteral("]   тариф:["));
}

QString likeEscape() { return QString::fromLatin1(kLikeEscape); }

// A code field read as a whole number, as the dispatchers' columns hold codes.
std::optional<qint32> codeNumber(const QString &text)
{
    bool ok = false;
    const qint32 number = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional(number) : std::nullopt;
}

}  // namespace

TSpeedOrder::TSpeedOrder(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Швидке замовлення")),
      Address(TWebMainForm::Context(), {IWEdit1, IWImageButton2, IWComboBox1, IWListbox1, IWLabel7, IWComboBox2,
                                        IWEdit2, IWLabel8, IWEdit3, IWLabel9, IWMemo1}),
      Options({IWCheckBox5, IWCheckBox2, IWCheckBox4, IWCheckBox6, IWEdit4, IWCheckBox3, IWEdit10, IWCheckBox1, IWEdit5,
               IWEdit6, IWEdit7}),
      context_(TWebMainForm::Context())
{
    cssClass = QStringLiteral("kv-speed-order");
    RegionTop.cssClass = QStringLiteral("kv-toolbar kv-top-bar");
    PageChrome::SetUpHomeButton(IWImageButton1);
    PageChrome::SetUpExitLink(IWLink1);

    IWRegion2.cssClass = QStringLiteral("kv-address");
    IWLabel2.caption = QStringLiteral("Адреса подачи");
    IWLabel2.cssClass = QStringLiteral("kv-heading");
    IWLabel3.caption = QStringLiteral("Назва");
    IWLabel3.forControl = IWEdit1.name();
    IWLabel5.caption = QStringLiteral("Обєкт");
    IWLabel5.forControl = IWComboBox1.name();

    IWRegion3.cssClass = QStringLiteral("kv-options");
    IWLabel10.caption = QStringLiteral("Тариф по замовчюванні :");
    IWLabel11.cssClass = QStringLiteral("kv-tariff");
    IWLabel4.caption = QStringLiteral("При виборі додаткових пунктів реальний тариф поїздки може змінитися");
    IWLabel4.cssClass = QStringLiteral("kv-notice");
    IWLabel12.caption = QStringLiteral("додатково про вантаж");
    IWLabel12.forControl = IWEdit4.name();
    IWCheckBox1.caption = QStringLiteral("Попереднє замовлення");
    IWLabel13.caption = QStringLiteral("Дата");
    IWLabel13.forControl = IWEdit5.name();
    IWLabel14.caption = QStringLiteral("Год./хв.");

    IWRegion4.cssClass = QStringLiteral("kv-contact");
    IWLabel15.caption = QStringLiteral("Контактний телефон   +38");
    IWEdit8.maxLength = 50;
    IWEdit8.inputMode = IWEdit8.autocomplete = QStringLiteral("tel");
    IWEdit8.accessibleName = QStringLiteral("Контактний телефон");
    IWLabel17.caption = QStringLiteral("або міський скорочений");
    IWLabel16.caption = QStringLiteral("Код клієнта (при потребі)");
    IWLabel16.forControl = IWEdit9.name();
    IWEdit9.maxLength = 10;
    IWLabel6.caption = QStringLiteral("вводити повний код, наприклад 00220");
    IWLabel6.cssClass = QStringLiteral("kv-notice");
    IWButton1.caption = QStringLiteral("Створити замовлення");
    IWButton1.onClick = [this] { IWButton1Click(); };
    IWTimer1.onTimer = [this] { IWTimer1Timer(); };
    PageChrome::SetUpFooterLabel(IWLabel1);
    IWAppFormCreate();
}

void TSpeedOrder::IWAppFormCreate()
{
    context_.accounts.addQuickEntry();  // stays "не задано" until the first start
    TIWUserSession::Current().ResetEntry();

    QString tariff;
    int seconds;
    {
        ServiceLockGuard lock(ServiceLock());
        tariff = context_.settings.MAIN_TARIF;
        IWText1.telephones = TelephoneNumbersIn(firmTelephone());
        seconds = context_.numbers.read("SETKLIENT/TIMER_REFLESH_DATA_SHVIDK_ZAM",
                                        context_.settings.TIMER_REFLESH_DATA_SHVIDK_ZAM, 10);
    }
    IWTimer1.enabled = false;
    // A period of 0 would never follow the order.
    IWTimer1.interval = std::max(1, seconds) * 1000;

    IWText1.lines = QStringList{QStringLiteral("Швидке замовлення :"), QString(28, u'*'),
                                QStringLiteral("1. початковий пункт тільки по місту"),
                                QStringLiteral("2. не надається ювілейна поїздка"),
                                QStringLiteral("3. замовлення приймається до обслуговування після повторної звірки на "
                                               "вказаний телефон"),
                                QStringLiteral("4. для швидшої обробки замовлення вкажіть код клієнта"),
                                QStringLiteral("5. без вказівки кінцевого пункта"),
                                QStringLiteral("6. без прорахування відстані і вартості")}
                        .join(u'\n');
    IWText1.cssClass = QStringLiteral("kv-instructions");
    IWText1.log = false;
    Address.Reset();

    Options.Reset();
    IWLabel11.caption = tariff;
    IWEdit8.text.clear();
    IWEdit9.text.clear();
}

QString TSpeedOrder::firmTelephone() const { return context_.settings.TELEFON_FIRMA; }

void TSpeedOrder::addLine(const QString &line) { IWText1.lines += u'\n' + line; }

QStringList TSpeedOrder::Validate(const QDateTime &now)
{
    TDANI &d = context_.danni;
    const QString telephone = IWEdit8.text;
    const QString code = IWEdit9.text;
    QStringList errors;

    const std::optional<qint32> number = codeNumber(code);
    QString sql = QStringLiteral("SELECT ZAMOVL_NUMBER FROM ZAMOVLENNIA\n"
                                 "WHERE (ZAMOVL_STATUS_ZAMOVL = 0) AND ((ZAMOVL_PRICHINA_DELETE LIKE '%' || ? || '%'%1)")
                      .arg(likeEscape());
    fb::Params params{telephonePattern(telephone)};
    if (number && *number != 0) {
        sql += QStringLiteral(" OR (ZAMOVL_NOMER_KLIENT = ?))");
        params.emplace_back(*number);
    } else {
        sql += u')';
    }
    TDANI::SelectReadOnly(d.RIZNE, sql, params);
    if (!d.RIZNE.isEmpty())
        errors << QStringLiteral("[на вказаний код і/або телефон існують активні замовлення (більше одного "
                                 "активного замовлення дозволяється у випадку кодованого замовлення)]");
    d.RIZNE.close();

    if (Address.NoPlaceChosen())
        errors << QStringLiteral("[не задано вулиці або обєкта подачи]");
    if (Address.NoHouseGiven())
        errors << QStringLiteral("[не задано номер будинка]");
    errors << Options.Check(now, context_);
    if (!telephone.isEmpty() && telephone.size() < 5)
        errors << QStringLiteral("[номер телефона закороткий, має бути >= 5 символів]");
    else if (telephone.size() >= 5 && telephone.startsWith(u'0') && telephone.size() < 8)
        errors << QStringLiteral("[номер телефона не повністю введений]");
    if (telephone.isEmpty())
        errors << QStringLiteral("[не вказаний номер телефона]");
    const bool lengthPassed = telephone.size() >= 5 && !(telephone.startsWith(u'0') && telephone.size() < 8);
    if (lengthPassed && !IsTelephoneText(telephone))
        errors << QStringLiteral("[номер телефона може містити тільки цифри, пробіли, +, - і круглі дужки]");
    if (!context_.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA && code.isEmpty())
        errors << QStringLiteral("[потрібно обовязково вказувати код клієнта]");
    errors << context_.budgets.quickOrderRefusal(ClientChannel::Web, TIWUserSession::Current().ClientIP,
                                                 context_.settings.TELEFON_FIRMA);
    errors.removeAll(QString());
    return errors;
}

void TSpeedOrder::endWithPhoneHint()
{
    addLine(kStars);
    addLine(QStringLiteral("ПРИ НЕМОЖЛИВОСТІ СТВОРЕННЯ ЗАМОВЛЕННЯ, СТВОРІТЬ ЗАМОВЛЕННЯ У ТЕЛЕФОННОМУ РЕЖИМІ тел.[")
            + firmTelephone() + u']');
}

void TSpeedOrder::stopAtCode(const QStringList &lines)
{
    for (const QString &line : lines)
        addLine(line);
    IWButton1.visible = true;
    IWEdit9.text.clear();
    endWithPhoneHint();
}

bool TSpeedOrder::checkCode()
{
    const QString code = IWEdit9.text;
    if (code.isEmpty())
        return true;
    addLine(QStringLiteral("... перевірка наявності введеного кода"));
    const std::optional<qint32> number = codeNumber(code);
    if (!number || *number == 0) {
        stopAtCode({QStringLiteral("[-] код невірно введений."), kResetCode, kRetryCode});
        return false;
    }
    TDANI &d = context_.danni;
    QStringList refusal;
    if (!FindClient(d, *number))
        refusal << QStringLiteral("[-] вказаний код не існує.") << kResetCode << kRetryCode;
    else
        addLine(QStringLiteral("[+] уведений код існує."));

    // Accounts are stored with five digits ("00220"); the client may have typed 220.
    TDANI::SelectReadOnly(d.GPRS_RIZNE,
                          QStringLiteral("SELECT * FROM TABLE_KLIENT\n"
                                         "WHERE (TABLE_KLIENT_KOD = ?) OR (TABLE_KLIENT_KOD = ?)"),
                          {code, FormatNumber5(*number)});
    for (d.GPRS_RIZNE.first(); !d.GPRS_RIZNE.eof(); d.GPRS_RIZNE.next())
        if (d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_BAN")).asText() == QLatin1String("+")) {
            refusal << QStringLiteral("[-] даний код заблокований у базі web сервіса до [")
                    + d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_DATBAN")).asText() + u' '
                    + d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_TIMEBAN")).asText() + QStringLiteral("].");
            break;
        }
    d.GPRS_RIZNE.close();
    if (refusal.isEmpty())
        return true;
    stopAtCode(refusal);
    return false;
}

bool TSpeedOrder::checkTelephone()
{
    addLine(QStringLiteral("... перевірка вказаного телефона на наявність попередніх реєстрацій у базі служби"));
    if (context_.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI)
        return true;
    TDANI &d = context_.danni;
    const QString telephone = IWEdit8.text;
    const std::optional<qint32> code = IWEdit9.text.isEmpty() ? std::nullopt : codeNumber(IWEdit9.text);

    const int clients = CountClientsByTelephone(d, telephone, code);
    if (clients == 1 || clients == 2)
        return true;

    QString sql = QStringLiteral("SELECT COUNT(CZ_NUMBER) FROM CLOSEZAMOVLENNIA\n"
                         "WHERE (CZ_STATUS_ZAMOVL = 1) AND (CZ_PRICHINA_DELETE LIKE '%' || ? || '%'%1)")
              .arg(likeEscape());
    fb::Params params{telephonePattern(telephone)};
    if (code) {
        sql += QStringLiteral(" AND (CZ_NOMER_KLIENT = ?)");
        params.emplace_back(*code);
    }
    if (TDANI::ScalarTextReadOnly(d.RIZNE, sql, params) != QLatin1String("0"))
        return true;

    for (const QString &line :
         {QStringLiteral("[-] Немає можливості створити замовлення на вказаний телефон. Можливі причини відмови :"),
          QStringLiteral("    - вказаний телефон ще не реєструвався на замовлення у базі служби (замовлення надається "
                         "тільки клієнтам які вже попередньо замовляли таксі). "),
          QStringLiteral("    - багато найдено клієнтів по шаблону телефона (великий процент співпадань, вкажіть більш "
                         "точний номер телефона). "),
          QStringLiteral("    - телефонний номер не належить власнику кода (при умові його вказівки). ")})
        addLine(line);
    endWithPhoneHint();
    IWButton1.visible = true;
    return false;
}

void TSpeedOrder::createOrder(TIWUserSession &user, const QDateTime &now)
{
    addLine(QStringLiteral("[+] вказаний телефон зареєстрований у таблиці клієнтів і/або реєструвався на замовлення. "));
    addLine(QStringLiteral("... відправлення даних для замовлення : "));
    user.ClientPhone = IWEdit8.text;
    user.ClientCode = codeNumber(IWEdit9.text).value_or(0);
    addLine(QStringLiteral("    телефон замовника [") + user.ClientPhone + u']');
    addLine(QStringLiteral("    код замовника [") + QString::number(user.ClientCode) + u']');

    const QDateTime when = IWCheckBox1.checked ? Options.PreliminaryTime().value_or(now) : now;
    const QDateTime closing =
        when.addSecs(qint64(ClosingMinutes(context_)) * 60);
    const QString extra = Options.AdditionalDataText(IWEdit8.text, IWLabel11.caption);
    const QString address = Address.BuildAddressText();
    addLine(QStringLiteral("    початковий пункт.: ") + address);
    addLine(QStringLiteral("    дата і час замовлення. [") + RegionalFormat::dateTimeText(when) + u']');
    addLine(QStringLiteral("    додаткові дані. [") + extra + u']');
    addLine(kStars);
    addLine(QStringLiteral("   "));
    addLine(QStringLiteral("Відслідковування стану замовлення ..."));

    const std::optional<int> number = TWebMainForm::Routes().CreateOrder(
        metrics::OrderSource::QuickPage, user.ClientCode, extra, address, QStringLiteral("null"), 0, 0, when, QStringLiteral("HI"), 0, closing);
    if (!number || *number == 0) {
        orderFailed();
        return;
    }
    const QString moment = RegionalFormat::nowText();
    addLine(QStringLiteral("[+] ") + moment + QStringLiteral(" замовлення успішно створено"));
    // With the number, so that a passenger who phones to cancel can quote it.
    addLine(QStringLiteral("[+] ") + moment + QStringLiteral(" замовленню присвоєно порядковий номер [%1]").arg(*number));
    context_.budgets.quickOrderPlaced(ClientChannel::Web, user.ClientIP);
    user.OrderNumber = *number;
    user.OrderState = 1;
    IWTimer1.enabled = true;
}

void TSpeedOrder::orderFailed()
{
    session().showMessage(QStringLiteral("Помилка під час створення замовлення ! Немає зєднання з базою даних "
                                         "диспетчерської служби ! Повторіть спробу замовлення або виконайте "
                                         "замовлення у телефонному режимі (тел. [")
                          + firmTelephone() + QStringLiteral("]) !"));
    release();
}

void TSpeedOrder::IWButton1Click()
{
    // Whatever step meets the database down, the passenger is told what to do and the page
    // starts again, never left half-way without its buttons.
    try {
        submit();
    } catch (const fb::Error &) {
        orderFailed();
    }
}

void TSpeedOrder::submit()
{
    TIWUserSession &user = TIWUserSession::Current();
    const QDateTime now = QDateTime::currentDateTime();
    ServiceLockGuard lock(ServiceLock());
    const QStringList errors = Validate(now);
    if (!errors.isEmpty()) {
        session().showMessage(QStringLiteral("Немає можливості створити замовлення, так як виявлені такі помилки : ") + CR
                              + errors.join(CR) + CR + QStringLiteral(" Після виправлення помилок повторіть спробу !"));
        return;
    }
    if (++user.EntryAttempts > 10) {
        const QString text = QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних "
                                            "клієнта (підбір телефона і/або кода) !");
        context_.webLog.event(QStringLiteral("] ") + text + QStringLiteral(" IP : ") + user.ClientIP);
        session().terminate(text);
        return;  // the passenger sees only the exit message: no order may be placed for it
    }

    IWRegion2.visible = IWRegion3.visible = IWImageButton1.visible = IWButton1.visible = false;
    IWText1.cssClass = QStringLiteral("kv-progress");
    IWText1.log = true;
    IWText1.lines = QStringLiteral("********** Процес створення і опрацювання замовлення *********");
    addLine(QStringLiteral("ВІДМОВА ВІД ЗАМОВЛЕННЯ МОЖЛИВА ТІЛЬКИ У ТЕЛЕФОННОМУ РЕЖИМІ тел.[") + firmTelephone() + u']');

    if (checkCode() && checkTelephone())
        createOrder(user, now);
}

void TSpeedOrder::IWTimer1Timer()
{
    // A tick that cannot read the order says so once, and once when it can again; the
    // tracking goes on from where it stood.
    try {
        followOrder(TIWUserSession::Current());
    } catch (const fb::Error &) {
        if (!dispatchLost_)
            addLine(QStringLiteral("[-] ") + RegionalFormat::nowText()
                    + QStringLiteral(" немає звязку з базою даних диспетчерської служби, очікування відновлення ..."));
        dispatchLost_ = true;
    }
}

void TSpeedOrder::stopFollowing(TIWUserSession &user)
{
    // The session follows no order any more: a page left now gives its slot back.
    user.OrderNumber = 0;
    release();
}

void TSpeedOrder::followOrder(TIWUserSession &user)
{
    TDANI &d = context_.danni;
    if (user.OrderNumber == 0) {
        user.OrderState = 5;
    } else {
        ServiceLockGuard lock(ServiceLock());
        const QString status = TDANI::ScalarTextReadOnly(
            d.RIZNE, QStringLiteral("SELECT CZ_STATUS_ZAMOVL FROM CLOSEZAMOVLENNIA\nWHERE (CZ_NUMBER = ?)"),
            {user.OrderNumber});
        if (dispatchLost_)
            addLine(QStringLiteral("[+] ") + RegionalFormat::nowText()
                    + QStringLiteral(" звязок з базою даних диспетчерської служби відновлено"));
        dispatchLost_ = false;
        if (status == QLatin1String("1"))
            user.OrderState = 4;
        else if (status == QLatin1String("-1"))
            user.OrderState = 5;
    }

    switch (user.OrderState) {
    case 1: {
        ServiceLockGuard lock(ServiceLock());
        const QString callsign = TDANI::ScalarTextReadOnly(
            d.RIZNE, QStringLiteral("SELECT ZAMOVL_POZIVNIY FROM ZAMOVLENNIA\nWHERE (ZAMOVL_NUMBER = ?)"),
            {user.OrderNumber}).trimmed();
        if (callsign.isEmpty() || callsign == QLatin1String("0"))
            break;
        user.DriverCallsign = callsign.toInt();  // 0 for a callsign that is no number
        TDANI::SelectReadOnly(d.RIZNE,
                              QStringLiteral("SELECT TABL_AVTO_NOMERAVTO, TABL_AVTO_KOLIR, TABL_AVTO_MODEL FROM DANI_AVTO\n"
                                             "WHERE (TABL_AVTO_POZIVN = ?)\n"
                                             "GROUP BY TABL_AVTO_NOMERAVTO, TABL_AVTO_KOLIR, TABL_AVTO_MODEL"),
                              {callsign});
        QString plate, colour, model;
        if (!d.RIZNE.isEmpty()) {
            d.RIZNE.last();
            plate = d.RIZNE.field(0).asText();
            colour = d.RIZNE.field(1).asText();
            model = d.RIZNE.field(2).asText();
        }
        d.RIZNE.close();
        addLine(QStringLiteral("[+] ") + RegionalFormat::nowText() + QStringLiteral(" ваше замовлення взяв позивний [")
                + callsign + QStringLiteral("].") + QStringLiteral(" Дані авто : <Nавто ") + plate + u'>' + CR
                + QStringLiteral("   <колір : ") + colour + u'>' + CR + QStringLiteral("   <Марка і модель авто : ")
                + model + u'>');
        user.OrderState = 2;
        break;
    }
    case 2: {
        ServiceLockGuard lock(ServiceLock());
        const QString arrived = TDANI::ScalarTextReadOnly(
            d.RIZNE,
            QStringLiteral("SELECT DYA_VODIY_GPRS_NP FROM DYA_VODIY_GPRS\n"
                           "WHERE (DYA_VODIY_GPRS_NZ = ?) and (DYA_VODIY_GPRS_DYA = 'Прохання турбувати клієнтів')"),
            {user.OrderNumber});
        if (arrived.isEmpty() || arrived == QLatin1String("0"))
            break;
        addLine(QStringLiteral("[+] ") + RegionalFormat::nowText() + QStringLiteral(" водій підїхав і чекає вас !"));
        user.OrderState = 3;
        break;
    }
    case 4:
        session().showMessage(QStringLiteral("Замовлення закрито (перенесено у таблицю виконаних замовлень) !"));
        stopFollowing(user);
        break;
    case 5:
        session().showMessage(QStringLiteral("Замовлення знищено диспетчером ! Повторіть спробу або замовте у "
                                             "телефонному режимі !"));
        stopFollowing(user);
        break;
    default:
        break;
    }
}
