#include "web/web_data_firma.h"

#include "common/service_lock.h"
#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/page_chrome.h"
#include "web/telephone_text.h"

TWebDataFirma::TWebDataFirma(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Дані диспетчерської служби"))
{
    cssClass = QStringLiteral("kv-company");
    RegionTools.cssClass = QStringLiteral("kv-toolbar");
    PageChrome::SetUpHomeButton(IWImageButton1);
    PageChrome::SetUpExitLink(IWLink1);
    IWLabel2.caption = QStringLiteral("Назва підприємства :");
    IWLabel3.caption = QStringLiteral("Адреса підприємства");
    IWLabel4.caption = QStringLiteral("Контактні телефони :");
    IWLabel2.cssClass = IWLabel3.cssClass = IWLabel4.cssClass = QStringLiteral("kv-caption");
    RowName.cssClass = RowAddress.cssClass = RowPhones.cssClass = QStringLiteral("kv-row");
    PageChrome::SetUpFooterLabel(IWLabel1);
    IWAppFormCreate();
}

void TWebDataFirma::IWAppFormCreate()
{
    ServiceContext &context = TWebMainForm::Context();
    ServiceLockGuard lock(ServiceLock());
    IWLabel5.caption = context.settings.NAME_FIRMA;
    IWLabel6.caption = context.settings.ADRESS_FIRMA;
    IWLabel7.caption = context.settings.TELEFON_FIRMA;
    IWLabel7.telephones = TelephoneNumbersIn(IWLabel7.caption);
}
