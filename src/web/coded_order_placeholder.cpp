#include "web/coded_order_placeholder.h"

#include "web/page_chrome.h"
#include "web/user_session.h"

TForm_KodovaneZamov::TForm_KodovaneZamov(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Кодоване замовлення"))
{
    RegionTools.cssClass = QStringLiteral("kv-toolbar");
    PageChrome::SetUpHomeButton(IWImageButton1);
    PageChrome::SetUpExitLink(IWLink1);
    const TIWUserSession &user = TIWUserSession::Current();
    IWText1.cssClass = QStringLiteral("kv-greeting");
    IWText1.lines = QStringLiteral("Ви увійшли як клієнт з кодом [%1], тел. [%2].").arg(user.ClientCodeText, user.ClientPhone);
    PageChrome::SetUpFooterLabel(IWLabel1);
}
