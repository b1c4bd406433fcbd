#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

// Where a coded client lands after logging in. Until the coded order page is built
// it says only who logged in.
class TForm_KodovaneZamov : public WebPage {
public:
    static constexpr const char *kName = "Form_KodovaneZamov";
    explicit TForm_KodovaneZamov(WebSession &session);

    WebRegion RegionTools{*this, QStringLiteral("RegionTools")};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &RegionTools};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTools};
    WebText IWText1{*this, QStringLiteral("IWText1")};
    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};
};
