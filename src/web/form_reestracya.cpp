#include "web/form_reestracya.h"

#include "web/telephone_text.h"

#include "common/log_text.h"
#include "common/service_lock.h"
#include "data/client_lookup.h"
#include "data/row_number.h"
#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/page_chrome.h"
#include "web/user_session.h"

namespace {

const QChar CR = u'\r';
// The widths of the request's columns: what is typed is what the operator gets, and
// what the client will log in with.
constexpr int kCodeLength = 10;
constexpr int kPasswordLength = 10;
constexpr int kTelephoneLength = 30;
constexpr int kNoteLength = 500;
constexpr int kAttemptLimit = 10;

bool anyRow(fb::Query &query, const QString &sql, const QString &value)
{
    TDANI::SelectReadOnly(query, sql, {value});
    const bool found = !query.isEmpty();
    query.close();
    return found;
}

}  // namespace

TForm_Reestracya::TForm_Reestracya(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Реєстрація у web системі")),
      context_(TWebMainForm::Context())
{
    cssClass = QStringLiteral("kv-registration");
    RegionTop.cssClass = QStringLiteral("kv-toolbar kv-reg-top");
    PageChrome::SetUpHomeButton(IWImageButton1);
    PageChrome::SetUpExitLink(IWLink1);

    IWLabel2.caption = QStringLiteral("Процес реєстрації у web сервісі замовлення таксі");
    IWLabel2.cssClass = QStringLiteral("kv-reg-heading");
    IWText1.lines = QStringList{QStringLiteral("Реєстрація дає додаткові можливості перегляду і створення замовлень :"),
                                QString(),
                                QStringLiteral("+ перегляд списка активних замовлень"),
                                QStringLiteral("+ перегляд історії замовлень"),
                                QStringLiteral("+ швидке створення замовлення"),
                                QStringLiteral("+ створення замовлення з попереднім розрахунком"),
                                QStringLiteral("+ показ процесу створення і обробки створеного замовлення")}
                        .join(u'\n');
    IWText1.cssClass = QStringLiteral("kv-reg-explanation");
    IWLabel4.caption = QStringLiteral("Для можливості зареєструватися у системі у вас повинен бути діючий код клієнта");
    IWLabel4.cssClass = QStringLiteral("kv-reg-note");

    RegionForm.cssClass = QStringLiteral("kv-reg-form");
    IWLabel5.caption = QStringLiteral("Діючий код клієнта");
    IWLabel5.forControl = IWEdit1.name();
    IWLabel7.caption = QStringLiteral("вводити повний код, наприклад 00220");
    IWLabel6.caption = QStringLiteral("Ваш пароль для входу в систему");
    IWLabel6.forControl = IWEdit2.name();
    IWLabel8.caption = QStringLiteral("латинські букви і цифри, не більше 10 знаків");
    IWLabel3.caption = QStringLiteral("Головний контактний телефонний номер");
    IWLabel3.forControl = IWEdit3.name();
    IWLabel9.caption = QStringLiteral("без префікса країни, наприклад 0503332255");
    IWLabel7.cssClass = IWLabel8.cssClass = IWLabel9.cssClass = QStringLiteral("kv-reg-hint");
    IWLabel10.caption = QStringLiteral("Примітка (до 500 симв.)");
    IWLabel10.forControl = IWMemo1.name();
    IWEdit1.maxLength = kCodeLength;
    IWEdit2.maxLength = kPasswordLength;
    IWEdit3.maxLength = kTelephoneLength;
    IWEdit3.inputMode = IWEdit3.autocomplete = QStringLiteral("tel");
    IWMemo1.readOnly = false;
    IWMemo1.maxLength = kNoteLength;
    IWButton1.caption = QStringLiteral("Подати заявку на реєстрацію");
    IWButton1.onClick = [this] { IWButton1Click(); };
    PageChrome::SetUpFooterLabel(IWLabel1);
    IWAppFormCreate();
}

void TForm_Reestracya::IWAppFormCreate()
{
    IWEdit1.text.clear();
    IWEdit2.text.clear();
    IWEdit3.text.clear();
    IWMemo1.text.clear();
    TIWUserSession::Current().EntryAttempts = 0;
}

QStringList TForm_Reestracya::missingFields() const
{
    QStringList errors;
    if (IWEdit1.text.isEmpty())
        errors << QStringLiteral("<Не задано код клієнта>");
    if (IWEdit2.text.isEmpty())
        errors << QStringLiteral("<Не задано ваш пароль>");
    if (IWEdit3.text.isEmpty())
        errors << QStringLiteral("<Не задано телефонний номер>");
    else if (IWEdit3.text.size() < 5)
        errors << QStringLiteral("<Телефонний номер закороткий, повинно бути >=5 символів>");
    else if (!IsTelephoneText(IWEdit3.text))
        errors << QStringLiteral("<Телефонний номер може містити тільки цифри, пробіли, +, - і круглі дужки>");
    return errors;
}

QStringList TForm_Reestracya::existingRecords()
{
    TDANI &d = context_.danni;
    const QString code = IWEdit1.text;
    QStringList errors;
    // The code as typed, matched literally inside the client's record.
    if (!AnyClientWithPiece(d, u'[' + code + u']'))
        errors << QStringLiteral("<Вказаний код не існує у базі диспетчерської служби>");
    if (anyRow(d.GPRS_RIZNE, QStringLiteral("SELECT TABLE_KLIENT_NP FROM TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"),
               code))
        errors << QStringLiteral("<Вказаний код був вже попередньо створений у системі web сервіса>");
    if (anyRow(d.GPRS_RIZNE,
               QStringLiteral("SELECT TABLE_ZAYAVKA_NP FROM TABLE_ZAYAVKA\nWHERE (TABLE_ZAYAVKA_KOD = ?)"), code))
        errors << QStringLiteral("<На вказаний код існує заявка, зачекайте закінчення обробки заявки модератором>");
    return errors;
}

QString TForm_Reestracya::submittedData() const
{
    return QStringLiteral("<код клієнта : ") + LogValue(IWEdit1.text) + QStringLiteral(">/<заданий пароль : ")
        + LogValue(IWEdit2.text) + QStringLiteral(">/<конт. телефон.: ") + LogValue(IWEdit3.text) + u'>';
}

void TForm_Reestracya::IWButton1Click()
{
    QStringList errors = missingFields();
    if (errors.isEmpty()) {
        // The checks and the insert in one span, so that two applications for one code
        // cannot both pass the checks.
        ServiceLockGuard lock(ServiceLock());
        // One address filing applications for every code would shut their owners out.
        if (context_.budgets.applicationRefused(ClientChannel::Web, TIWUserSession::Current().ClientIP)) {
            session().showMessage(QStringLiteral("З вашої адреси подано забагато заявок, повторіть спробу пізніше !"));
            return;
        }
        errors = existingRecords();
        if (errors.isEmpty()) {
            submit();
            return;
        }
    }
    refuse(errors);
}

void TForm_Reestracya::refuse(const QStringList &errors)
{
    TIWUserSession &user = TIWUserSession::Current();
    if (++user.EntryAttempts > kAttemptLimit) {
        context_.webLog.event(QStringLiteral("] Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних "
                                             "клієнта (підбір телефона і/або кода) ! IP : ")
                              + user.ClientIP);
        session().terminate(
            QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта !"));
    }
    session().showMessage(QStringLiteral("Немає можливості подати заявку, можливі помилки : ") + CR
                          + errors.join(QString(CR) + u'/')
                          + QStringLiteral(". Після виправлення помилок повторіть спробу !"));
}

void TForm_Reestracya::submit()
{
    TDANI &d = context_.danni;
    try {
        TDANI::Execute(d.GPRS_RIZNE,
                       QStringLiteral("INSERT INTO TABLE_ZAYAVKA\n"
                                      "(TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_DATA, TABLE_ZAYAVKA_KOD, TABLE_ZAYAVKA_PASS, "
                                      "TABLE_ZAYAVKA_TELEF, TABLE_ZAYAVKA_PRIM)\n"
                                      "VALUES (%1, \n       ?, \n       ?, \n       ?, \n       ?, \n       ?) ")
                           .arg(NextRowNumber(QStringLiteral("TABLE_ZAYAVKA"), QStringLiteral("TABLE_ZAYAVKA_NP"))),
                       {QDate::currentDate(), IWEdit1.text.left(kCodeLength), IWEdit2.text.left(kPasswordLength),
                        IWEdit3.text.left(kTelephoneLength), IWMemo1.text.left(kNoteLength)});
    } catch (const fb::Error &) {
        context_.webLog.event(QStringLiteral("] помилка під час створення заявки на вхід у web сервіс. Дані для "
                                             "подання : ")
                              + submittedData() + QStringLiteral("  IP : ") + TIWUserSession::Current().ClientIP);
        session().showMessage(QStringLiteral("Помилка під час створення заявки. Після виправлення помилок повторіть "
                                             "спробу !"));
        return;
    }
    context_.budgets.applicationFiled(TIWUserSession::Current().ClientIP);
    release();
    session().showMessage(QStringLiteral("Успішна подача заявки на вхід у систему web сервіса. Можливий вхід у систему "
                                         "замовлення таксі тільки після обробки заявки модератором !"));
    context_.webLog.event(QStringLiteral("] успішна подача заявки на кодований вхід у web сервіс. Подані дані : ")
                          + submittedData());
    // The operator's list of requests shows the new one; the client, whose application is
    // stored, hears nothing of a refresh that failed.
    try {
        d.RefreshGrid(TDANI::Grid::Zayavki);
    } catch (const fb::Error &error) {
        context_.webLog.event(QStringLiteral("]: ") + error.text());
    }
}
