#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

class RouteEngine;
class ServiceContext;

// The main page ("Головна сторінка"): greeting, news and company buttons, quick
// order, coded login, registration, the advert space and the footer.
class TWebMainForm : public WebPage {
public:
    static constexpr const char *kName = "MainWEB";
    explicit TWebMainForm(WebSession &session);

    // The service the pages belong to; set once before the web server starts.
    static void SetContext(ServiceContext *context);
    static ServiceContext &Context();
    // The route and fare engine the order pages use; set with the context.
    static void SetRouteEngine(RouteEngine *routes);
    static RouteEngine &Routes();

    void IWAppFormCreate();
    void IWImageButton2Click();
    void IWImageButton6Click();
    void IWImageFile1Click();
    void IWButton1Click();
    void IWButton2Click();
    void IWButton3Click();

    WebText IWText1{*this, QStringLiteral("IWText1")};
    WebRegion RegionTools{*this, QStringLiteral("RegionTools")};
    WebImageButton IWImageButton2{*this, QStringLiteral("IWImageButton2"), &RegionTools};
    WebImageButton IWImageButton6{*this, QStringLiteral("IWImageButton6"), &RegionTools};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTools};
    WebRegion RegionQuick{*this, QStringLiteral("RegionQuick")};
    WebText IWText2{*this, QStringLiteral("IWText2"), &RegionQuick};
    WebButton IWButton1{*this, QStringLiteral("IWButton1"), &RegionQuick};
    WebRegion RegionCoded{*this, QStringLiteral("RegionCoded")};
    WebText IWText3{*this, QStringLiteral("IWText3"), &RegionCoded};
    WebLabel IWLabel2{*this, QStringLiteral("IWLabel2"), &RegionCoded};
    WebEdit IWEdit1{*this, QStringLiteral("IWEdit1"), &RegionCoded};
    WebLabel IWLabel3{*this, QStringLiteral("IWLabel3"), &RegionCoded};
    WebEdit IWEdit2{*this, QStringLiteral("IWEdit2"), &RegionCoded};
    WebButton IWButton2{*this, QStringLiteral("IWButton2"), &RegionCoded};
    WebRegion RegionRegistration{*this, QStringLiteral("RegionRegistration")};
    WebText IWText4{*this, QStringLiteral("IWText4"), &RegionRegistration};
    WebButton IWButton3{*this, QStringLiteral("IWButton3"), &RegionRegistration};
    WebRegion RegionAdvert{*this, QStringLiteral("RegionAdvert")};
    WebImage IWImageFile1{*this, QStringLiteral("IWImageFile1"), &RegionAdvert};
    WebLabel IWLabel4{*this, QStringLiteral("IWLabel4"), &RegionAdvert};
    WebMemo IWMemo1{*this, QStringLiteral("IWMemo1"), &RegionAdvert};
    WebText IWText5{*this, QStringLiteral("IWText5")};
    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};

private:
    void log(const QString &rest);
    ServiceContext &context_;
};

// The address of the advert picture: a bare file name is a picture of the files folder.
QString AdvertPictureUrl(const QString &urlImg);
