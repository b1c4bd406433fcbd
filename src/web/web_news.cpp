#include "web/web_news.h"

#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/page_chrome.h"

TWebNews::TWebNews(WebSession &session) : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Новини"))
{
    cssClass = QStringLiteral("kv-news-page");
    RegionTools.cssClass = QStringLiteral("kv-toolbar");
    PageChrome::SetUpHomeButton(IWImageButton1);
    PageChrome::SetUpExitLink(IWLink1);
    IWMemo1.borderless = true;
    IWMemo1.accessibleName = title;
    PageChrome::SetUpFooterLabel(IWLabel1);
    IWAppFormCreate();
}

void TWebNews::IWAppFormCreate()
{
    ServiceContext &context = TWebMainForm::Context();
    // The counter reads "не задано" until the first start and then stays put.
    context.accounts.addNewsEntry();
    IWMemo1.text = context.news.text();
}
