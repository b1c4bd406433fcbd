#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

// The maintenance page, the start page of every new session while the operator has
// the service under maintenance: the footer at the top, "Вихід" along the left edge
// and the 600 × 600 picture centred in a 650 × 610 frame moved 50 right and 10 down.
class TForm_remontni_roboty : public WebPage {
public:
    static constexpr const char *kName = "Form_remontni_roboty";
    // The picture's address among the server's resources.
    static constexpr const char *kPicture = "remontni_roboty.jpg";
    explicit TForm_remontni_roboty(WebSession &session);

    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};
    WebRegion RegionSide{*this, QStringLiteral("RegionSide")};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionSide};
    WebImage IWImage1{*this, QStringLiteral("IWImage1")};
};
