#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

// The news page: the news the service holds; every creation counts an entry.
class TWebNews : public WebPage {
public:
    static constexpr const char *kName = "WebNews";
    explicit TWebNews(WebSession &session);

    void IWAppFormCreate();

    WebRegion RegionTools{*this, QStringLiteral("RegionTools")};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &RegionTools};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTools};
    WebMemo IWMemo1{*this, QStringLiteral("IWMemo1")};
    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};
};
