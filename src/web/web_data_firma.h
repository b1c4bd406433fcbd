#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

// The company information page: name, address and telephones of the dispatch
// service as they were when the page was created.
class TWebDataFirma : public WebPage {
public:
    static constexpr const char *kName = "WebDataFirma";
    explicit TWebDataFirma(WebSession &session);

    void IWAppFormCreate();

    WebRegion RegionTools{*this, QStringLiteral("RegionTools")};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &RegionTools};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTools};
    WebRegion RegionData{*this, QStringLiteral("RegionData")};
    WebRegion RowName{*this, QStringLiteral("RowName"), &RegionData};
    WebLabel IWLabel2{*this, QStringLiteral("IWLabel2"), &RowName};
    WebLabel IWLabel5{*this, QStringLiteral("IWLabel5"), &RowName};
    WebRegion RowAddress{*this, QStringLiteral("RowAddress"), &RegionData};
    WebLabel IWLabel3{*this, QStringLiteral("IWLabel3"), &RowAddress};
    WebLabel IWLabel6{*this, QStringLiteral("IWLabel6"), &RowAddress};
    WebRegion RowPhones{*this, QStringLiteral("RowPhones"), &RegionData};
    WebLabel IWLabel4{*this, QStringLiteral("IWLabel4"), &RowPhones};
    WebLabel IWLabel7{*this, QStringLiteral("IWLabel7"), &RowPhones};
    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};
};
