#include "web/main_web.h"

#include "adverts/advert_rotation.h"
#include "common/log_text.h"
#include "common/service_lock.h"
#include "shell/service_context.h"
#include "web/form_kodovane_zamov.h"
#include "web/form_reestracya.h"
#include "web/framework/html_text.h"
#include "web/page_chrome.h"
#include "web/speed_order.h"
#include "web/user_session.h"
#include "web/web_data_firma.h"
#include "web/web_news.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace {

ServiceContext *serviceContext = nullptr;
RouteEngine *routeEngine = nullptr;

const QString kEnter = QStringLiteral("В х і д ...");

}  // namespace

void TWebMainForm::SetContext(ServiceContext *context) { serviceContext = context; }

ServiceContext &TWebMainForm::Context()
{
    if (!serviceContext)
        throw std::logic_error("the web pages have no service context");
    return *serviceContext;
}

void TWebMainForm::SetRouteEngine(RouteEngine *routes) { routeEngine = routes; }

RouteEngine &TWebMainForm::Routes()
{
    if (!routeEngine)
        throw std::logic_error("the web pages have no route engine");
    return *routeEngine;
}

QString AdvertPictureUrl(const QString &urlImg)
{
    static const QRegularExpression fileName(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9_.-]*\\.(jpe?g|png|gif|bmp)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString url = urlImg.trimmed();
    return fileName.match(url).hasMatch() ? QStringLiteral("/files/") + url : url;
}

TWebMainForm::TWebMainForm(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Головна сторінка")), context_(Context())
{
    cssClass = QStringLiteral("kv-main");
    IWText1.cssClass = QStringLiteral("kv-greeting");
    RegionTools.cssClass = QStringLiteral("kv-toolbar");
    IWImageButton2.imageUrl = QStringLiteral("/files/newspaper.bmp");
    IWImageButton2.hint = QStringLiteral("Перехід на панель новин");
    IWImageButton2.onClick = [this] { IWImageButton2Click(); };
    IWImageButton6.imageUrl = QStringLiteral("/files/information.bmp");
    IWImageButton6.hint = QStringLiteral("Перегляд додаткових даних диспетчерської служби");
    IWImageButton6.onClick = [this] { IWImageButton6Click(); };
    PageChrome::SetUpExitLink(IWLink1);

    RegionQuick.cssClass = RegionCoded.cssClass = RegionRegistration.cssClass = QStringLiteral("kv-section");
    IWText2.lines = QStringLiteral("Швидке замовлення. Створення нового замовлення без прорахунку і можливості "
                                   "додаткових функцій. Клієнт повинен мати хоча би одну виконану поїздку.");
    IWButton1.caption = kEnter;
    IWButton1.hint = QStringLiteral("Перехід у форму створення нового швидкого замовлення");
    // The spelt-out caption reads as the word, and each of the three says where it leads.
    IWButton1.accessibleName = QStringLiteral("Вхід у швидке замовлення");
    IWButton1.onClick = [this] { IWButton1Click(); };

    IWText3.lines = QStringLiteral("Кодоване замовлення. Додаткова можливість перегляду даних і стану замовлення. "
                                   "Обмін повідомленнями.");
    IWLabel2.caption = QStringLiteral("Код клієнта");
    IWLabel3.caption = QStringLiteral("Пароль");
    // The columns of TABLE_KLIENT hold ten characters.
    IWEdit1.maxLength = IWEdit2.maxLength = 10;
    IWEdit1.enterClicks = IWEdit2.enterClicks = IWButton2.name();
    // Masked, and offered to password managers as the login it is.
    IWEdit2.password = true;
    IWEdit1.autocomplete = QStringLiteral("username");
    IWEdit2.autocomplete = QStringLiteral("current-password");
    IWEdit1.accessibleName = IWLabel2.caption;
    IWEdit2.accessibleName = IWLabel3.caption;
    IWButton2.caption = kEnter;
    IWButton2.accessibleName = QStringLiteral("Вхід у кодоване замовлення");
    IWButton2.onClick = [this] { IWButton2Click(); };

    IWText4.lines = QStringLiteral("Реєстрація у web системі замовлень. Дає можливість входу у форму кодованого "
                                   "замовлення.");
    IWButton3.caption = kEnter;
    IWButton3.accessibleName = QStringLiteral("Вхід у реєстрацію");
    IWButton3.onClick = [this] { IWButton3Click(); };

    RegionAdvert.cssClass = QStringLiteral("kv-advert");
    IWImageFile1.width = 194;
    IWImageFile1.height = 120;
    IWImageFile1.onAsyncClick = [this] { IWImageFile1Click(); };
    IWLabel4.caption = QStringLiteral("НА ПРАВАХ РЕКЛАМИ");
    IWImageFile1.accessibleName = IWMemo1.accessibleName = IWLabel4.caption;
    IWMemo1.borderless = true;
    IWText5.cssClass = QStringLiteral("kv-bottom");
    PageChrome::SetUpFooterLabel(IWLabel1);
    IWAppFormCreate();
}

void TWebMainForm::IWAppFormCreate()
{
    TIWUserSession::Current().ResetEntry();
    IWEdit1.text.clear();
    IWEdit2.text.clear();
    IWMemo1.text.clear();

    ServiceLockGuard lock(ServiceLock());
    const ServerSettings &s = context_.settings;
    IWText1.lines = s.POVIDOML_PRI_ZAPUSKU;
    if (s.OPEN_OBROBKA_REKLAMA)
        AdvanceAdvert(context_);
    const bool advert = !s.TEXT_REKLAMA.isEmpty();
    // An advert without a picture (none given, not allowed, or no such file of ours) shows
    // its text alone, never a broken image.
    const QString picture = AdvertPictureUrl(s.URL_IMG);
    const QString ours = QStringLiteral("/files/");
    const bool hasPicture = !html::safeUrl(picture).isEmpty()
        && (!picture.startsWith(ours) || QFile::exists(QDir(context_.folder).filePath(QStringLiteral("Files/") + picture.mid(ours.size()))));
    IWMemo1.visible = advert;
    IWImageFile1.visible = advert && hasPicture;
    if (advert) {
        IWImageFile1.url = picture;
        IWImageFile1.statusText = s.URL_SAIT;
        IWMemo1.text = s.TEXT_REKLAMA;
    }
    IWText5.lines = s.TEXT_ZNIZU_REKLAMY;
}

void TWebMainForm::log(const QString &rest) { context_.webLog.event(rest); }

void TWebMainForm::IWImageButton2Click() { session().openPage<TWebNews>(); }
void TWebMainForm::IWImageButton6Click() { session().openPage<TWebDataFirma>(); }

void TWebMainForm::IWImageFile1Click()
{
    if (!IWImageFile1.statusText.isEmpty())
        session().openNewWindow(IWImageFile1.statusText);
}

void TWebMainForm::IWButton1Click()
{
    bool blocked;
    {
        ServiceLockGuard lock(ServiceLock());
        blocked = context_.settings.BLOK_SHVIDK_ZAMOV;
    }
    if (blocked) {
        session().showMessage(QStringLiteral("У даний час можливість швидкого замовлення заблоковано адміністратором !"));
        return;
    }
    log(QStringLiteral("] вхід у форму швидкого замовлення клієнта з  IP : ") + TIWUserSession::Current().ClientIP);
    session().openPage<TSpeedOrder>();
}

void TWebMainForm::IWButton3Click()
{
    bool blocked;
    {
        ServiceLockGuard lock(ServiceLock());
        blocked = context_.settings.BLOK_REESTRACIYA;
    }
    if (blocked) {
        session().showMessage(QStringLiteral("У даний час реєстрація користувачів системи заблоковано адміністратором !"));
        return;
    }
    log(QStringLiteral("] вхід у форму реєстрації у web системі клієнта з  IP : ") + TIWUserSession::Current().ClientIP);
    session().openPage<TForm_Reestracya>();
}

void TWebMainForm::IWButton2Click()
{
    TIWUserSession &user = TIWUserSession::Current();
    ServiceLockGuard lock(ServiceLock());
    if (context_.settings.BLOK_KODOVAN_ZAMOV) {
        session().showMessage(QStringLiteral("У даний час можливість кодованого замовлення заблоковано адміністратором !"));
        return;
    }
    const QString code = IWEdit1.text;
    const QString password = IWEdit2.text;
    if (code.isEmpty() || password.isEmpty())
        return;
    // Past the limits the session ends without the password being checked.
    const QString limitText = QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних "
                                             "клієнта (підбір кода і пароля) !");
    if (++user.EntryAttempts > 5) {
        context_.budgets.logCoalesced(ClientChannel::Web, QStringLiteral("login limit"), user.ClientIP,
                                      QStringLiteral("] ") + limitText + QStringLiteral(" IP : ") + user.ClientIP);
        session().terminate(limitText);
        return;
    }
    if (context_.budgets.loginRefused(ClientChannel::Web, user.ClientIP)) {
        session().terminate(limitText);
        return;
    }

    TDANI &d = context_.danni;
    fb::Query &query = d.GPRS_RIZNE;
    TDANI::Select(query,
                  QStringLiteral("SELECT * FROM TABLE_KLIENT\n"
                                 "WHERE (TABLE_KLIENT_KOD = ?) and (TABLE_KLIENT_PASS = ?)"),
                  {code, password});
    struct Closer {
        fb::Query &query;
        ~Closer() { query.close(); }
    } closer{query};
    IWEdit2.text.clear();
    IWEdit1.text.clear();
    if (query.recordCount() != 1) {
        context_.budgets.loginFailed(user.ClientIP, code);
        session().showMessage(QStringLiteral("Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена "
                                             "модератором у випадку попередньої подачи заявки !"));
        return;
    }
    query.last();
    if (query.field(QStringLiteral("TABLE_KLIENT_BAN")).asText() == QLatin1String("+")) {
        session().showMessage(QStringLiteral("Ви немаєте можливості увійти в систему web сервіса, так як ви "
                                             "заблоковані до [")
                              + query.field(QStringLiteral("TABLE_KLIENT_DATBAN")).asText() + u' '
                              + query.field(QStringLiteral("TABLE_KLIENT_TIMEBAN")).asText() + u']');
        log(QStringLiteral("] спроба входа блокованого клієнта з кодом [") + LogValue(code) + QStringLiteral("]. IP : ")
            + user.ClientIP);
        return;
    }
    bool decimal = false;
    const int number = code.trimmed().toInt(&decimal, 10);
    if (!decimal)
        throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(code).toStdString());
    user.ClientPhone = query.field(QStringLiteral("TABLE_KLIENT_TELEF")).asText();
    user.ClientCode = number;
    user.ClientCodeText = code;
    user.ClientPassword = password;
    if (user.ClientCode != 0) {
        log(QStringLiteral("] вхід у форму кодованого замовлення клієнта кодом [") + LogValue(code) + QStringLiteral("] з  IP : ")
            + user.ClientIP);
        session().openPage<TForm_KodovaneZamov>();
    }
}
