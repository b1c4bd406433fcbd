#include "web/page_chrome.h"

#include "common/service_lock.h"
#include "shell/service_context.h"
#include "web/main_web.h"

#include "web/framework/web_page.h"
#include "web/framework/web_session.h"

namespace PageChrome {

void SetUpHomeButton(WebImageButton &button)
{
    button.imageUrl = QStringLiteral("/files/home_page.bmp");
    button.hint = QStringLiteral("Перехід на головну панель");
    button.onClick = [&button] { button.page().release(); };
}

void SetUpExitLink(WebLink &link)
{
    link.caption = QStringLiteral("Вихід");
    link.cssClass = QStringLiteral("kv-exit");
    link.onClick = [&link] {
        link.page().session().terminate(QStringLiteral("Дякуємо за користування нашими послугами !"));
    };
}

void SetUpFooterLabel(WebLabel &label)
{
    label.caption = QStringLiteral("Web сервіс замовлення таксі \"Tesmora - TAXI\" ver 2.0  © Korvantis");
    label.cssClass = QStringLiteral("kv-footer");
    QUrl site;
    {
        ServiceLockGuard lock(ServiceLock());
        site = ProductSite(TWebMainForm::Context().settings);
    }
    if (!site.isEmpty())
        label.onAsyncClick = [&label, site] { label.page().session().openNewWindow(site.toString()); };
}

QString StyleSheet()
{
    return QStringLiteral(R"(
.kv-greeting{font-size:18px;font-weight:600;color:#23456e;margin:4px 0 10px}
.kv-toolbar{display:flex;align-items:center;gap:4px;margin:0 0 8px;padding:4px 0;border:none;background:none}
.kv-toolbar .kv-exit{margin-left:auto}
.kv-section .kv-text{margin:0 0 8px}
.kv-section .kv-label{display:inline-block;min-width:7em}
.kv-advert{display:grid;grid-template-columns:194px 1fr;grid-template-rows:auto 1fr;column-gap:14px;align-items:start}
.kv-advert .kv-image{grid-row:1 / span 2;width:194px;height:120px;padding:0;margin:0;border:0}
.kv-advert .kv-label{font-size:12px;font-weight:700;letter-spacing:1px;color:#6b7785}
.kv-advert .kv-memo{min-height:90px}
.kv-bottom{margin:14px 0 0;color:#4a5563}
.kv-footer{display:block;margin-top:40px;padding-top:8px;border-top:1px solid #d5dbe3;font-size:12px;color:#6b7785}
.kv-company .kv-row{margin:0;padding:4px 0;border:none;background:none}
.kv-company .kv-caption{min-width:14em;font-weight:600}
.kv-news-page .kv-memo{min-height:60vh;overflow-y:scroll}
.kv-maintenance form{max-width:none;background:#fff}
.kv-maintenance .kv-footer{margin-top:0;border-top:none;border-bottom:1px solid #d5dbe3;padding:0 0 8px}
.kv-maintenance .kv-side{position:absolute;left:0;top:40px;width:120px;border:none;background:none}
.kv-maintenance #IWImage1{position:absolute}
@media (max-width:1023.98px){
.kv-section .kv-label{display:block;min-width:0}
.kv-advert{grid-template-columns:minmax(0,1fr)}
.kv-advert .kv-image{grid-row:auto}
.kv-company .kv-caption{display:block;min-width:0}
.kv-maintenance .kv-side,.kv-maintenance #IWImage1{position:static;width:auto}
.kv-maintenance #IWImage1 img{max-width:100%;height:auto}
}
)");
}

}  // namespace PageChrome
