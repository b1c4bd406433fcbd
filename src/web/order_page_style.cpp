#include "web/order_page_style.h"

QString OrderPagesStyle()
{
    return QStringLiteral(R"(
.kv-speed-order{background:#bfe3f7}
.kv-speed-order form{background:#e8f5fc}
.kv-top-bar{background:#1f5fa8;border-radius:6px;padding:4px 8px}
.kv-top-bar .kv-exit{color:#fff}
.kv-instructions{white-space:normal;margin:8px 0 4px;color:#1d2733}
.kv-progress{height:410px;overflow-y:auto;white-space:pre-wrap;font-size:10pt;font-family:"Consolas","DejaVu Sans Mono",monospace;background:#000;color:#ffeb3b;padding:8px 10px;border-radius:4px}
.kv-heading{font-weight:700}
.kv-address{display:grid;grid-template-columns:10em minmax(0,1fr) auto;gap:6px 10px;align-items:center}
.kv-address .kv-edit,.kv-address .kv-combo{width:100%;box-sizing:border-box;margin:0}
.kv-address .kv-image-button{margin:0}
.kv-address .kv-heading,.kv-ap-list,.kv-ap-directions-label,.kv-ap-directions{grid-column:1 / -1}
.kv-ap-category,.kv-ap-houses,.kv-ap-free-house,.kv-ap-flat{grid-column:span 2}
.kv-address select.kv-ap-list{min-height:10em;font:inherit}
.kv-address .kv-memo{min-height:3.5em}
.kv-options .kv-check{display:block;margin:3px 0}
.kv-options .kv-edit{margin-left:1.6em}
.kv-options .kv-date{width:7em}
.kv-options .kv-time{width:2.5em;margin-left:4px}
.kv-notice{display:block;font-size:13px;color:#5a6775;margin:2px 0 6px}
.kv-tariff{font-weight:700}
.kv-contact{display:grid;grid-template-columns:auto 14em 1fr;gap:6px 10px;align-items:center}
.kv-contact .kv-edit{width:100%;box-sizing:border-box;margin:0}
.kv-contact .kv-notice{margin:0}
.kv-contact .kv-button{grid-column:1 / -1;justify-self:start;margin-top:6px}
.kv-edit[disabled]{background:#eef1f5;color:#8a96a3}
.kv-coded-order form{max-width:1100px}
.kv-coded-order .kv-top-bar{justify-content:flex-end}
.kv-client-panel{display:grid;grid-template-columns:auto 1fr auto 1fr;gap:4px 12px;align-items:baseline}
.kv-client-panel .kv-caption{color:#4a5563}
.kv-client-panel .kv-value,.kv-new-order .kv-value{font-weight:700}
.kv-coded-order .kv-greeting{background:#fff6d8;border:1px solid #e9d48b;border-radius:6px;padding:8px 12px}
.kv-workspace{display:flex;gap:12px;align-items:flex-start;padding:0;border:none;background:none}
.kv-side-menu{display:flex;flex-direction:column;align-items:center;gap:2px;margin:0;min-width:7.5em}
.kv-side-menu .kv-label{font-size:13px;margin:0 0 10px}
.kv-content{flex:1;min-width:0;margin:0;padding:0;border:none;background:none}
.kv-content .kv-panel{margin:0}
.kv-grid caption{text-align:left;font-weight:700;padding:0 0 6px}
.kv-new-order{display:grid;gap:6px 8px;align-items:center;margin:0 0 10px}
.kv-new-order .kv-image-button{margin:0}
.kv-new-order .kv-combo{width:100%}
@media (min-width:1024px){
.kv-new-order{grid-template-columns:11em minmax(0,1fr) auto auto minmax(0,14em) auto}
#IWLabel26,#IWLabel37{grid-column:1 / -1}
#IWLabel24,#IWLabel25,#IWLabel30,#IWLabel31{grid-column:1}
#IWLabel51,#IWLabel52,#IWLabel38,#IWLabel39{grid-column:2}
#IWImageButton11,#IWImageButton12,#IWImageButton9{grid-column:3}
#IWImageButton13,#IWImageButton8{grid-column:4}
#IWComboBox5,#IWComboBox6{grid-column:5}
#IWLabel41,#IWLabel53{grid-column:6}
#IWLabel26{grid-row:1}
#IWLabel24,#IWLabel51,#IWImageButton11,#IWComboBox5,#IWLabel41{grid-row:2}
#IWLabel25,#IWLabel52,#IWImageButton12,#IWImageButton13,#IWComboBox6,#IWLabel53{grid-row:3}
#IWLabel30,#IWLabel38{grid-row:4}
#IWLabel37{grid-row:5}
#IWLabel31,#IWLabel39,#IWImageButton9,#IWImageButton8{grid-row:6}
}
.kv-point{font-style:italic}
.kv-help{white-space:pre-wrap;font-size:14px}
.kv-messages .kv-label,.kv-messages .kv-memo{display:block}
.kv-messages .kv-button{margin-right:8px}
.kv-messages .kv-combo{margin:2px 0 8px}
@media (max-width:1023.98px){
.kv-progress{max-height:70vh}
.kv-address,.kv-contact{grid-template-columns:minmax(0,1fr) auto}
.kv-address>*,.kv-contact>*{grid-column:1 / -1}
.kv-address>.kv-ap-search{grid-column:1}
.kv-address>.kv-ap-find{grid-column:2}
.kv-contact .kv-button{width:100%}
.kv-options .kv-edit{margin-left:0}
.kv-options .kv-date,.kv-options .kv-time{display:inline-block;margin:4px 6px 4px 0}
.kv-options .kv-date{width:8.5em}
.kv-options .kv-time{width:4em}
.kv-client-panel{grid-template-columns:minmax(0,3fr) minmax(0,2fr)}
.kv-workspace{flex-direction:column;align-items:stretch}
.kv-side-menu{display:grid;grid-template-rows:auto auto;grid-auto-flow:column;grid-auto-columns:minmax(0,1fr);justify-items:center;min-width:0;padding:8px 4px}
.kv-side-menu .kv-label{margin:0;font-size:11px;white-space:nowrap}
.kv-new-order{grid-template-columns:minmax(0,1fr) auto auto}
.kv-new-order>*{grid-column:1 / -1}
#IWLabel51,#IWLabel52,#IWLabel39,#IWComboBox5,#IWComboBox6{grid-column:1}
#IWImageButton11,#IWImageButton12,#IWImageButton9{grid-column:2}
#IWImageButton13,#IWImageButton8{grid-column:3}
#IWLabel41,#IWLabel53{grid-column:2 / -1}
#IWLabel26{order:1}#IWLabel24{order:2}#IWLabel51,#IWImageButton11{order:3}#IWComboBox5,#IWLabel41{order:4}
#IWLabel25{order:5}#IWLabel52,#IWImageButton12,#IWImageButton13{order:6}#IWComboBox6,#IWLabel53{order:7}
#IWLabel30{order:8}#IWLabel38{order:9}#IWLabel37{order:10}#IWLabel31{order:11}#IWLabel39,#IWImageButton9{order:12}#IWImageButton8{order:13}
.kv-messages .kv-button{width:100%;margin:4px 0}
}
)");
}
