#include "web/form_remontni_roboty.h"

#include "web/framework/web_application.h"
#include "web/page_chrome.h"

namespace {

// The placement runs where the window's size is known, on every resize too:
// left = round((W - 650) / 2) + 50, top = round((H - 610) / 2) + 10, halves to even.
const char *const kPlacePicture = R"(
(function(){var p=document.getElementById('IWImage1');if(!p)return;
function half(x){var r=Math.round(x);return (Math.abs(x%1)===0.5&&r%2!==0)?r-1:r;}
function place(){p.style.left=(half((window.innerWidth-650)/2)+50)+'px';p.style.top=(half((window.innerHeight-610)/2)+10)+'px';}
place();window.addEventListener('resize',place);})();)";

}  // namespace

TForm_remontni_roboty::TForm_remontni_roboty(WebSession &session)
    : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Сайт на реконструкції ..."))
{
    cssClass = QStringLiteral("kv-maintenance");
    PageChrome::SetUpFooterLabel(IWLabel1);
    RegionSide.cssClass = QStringLiteral("kv-side");
    PageChrome::SetUpExitLink(IWLink1);
    IWImage1.url = session.application().resourceUrl(QString::fromLatin1(kPicture));
    IWImage1.width = IWImage1.height = 600;
    script = QString::fromUtf8(kPlacePicture);
}
