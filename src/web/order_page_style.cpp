#include "web/order_page_style.h"

QString OrderPagesStyle()
{
    return QStringLiteral(R"(
.kv-speed-order{background:#bfe3f7}
.kv-speed-order form{background:#e8f5fc}
.kv-top-bar{background:#1f5fa8;border-radius:6px;padding:4px 8px}
.kv-top-bar .kv-exit{color:#fff}
.kv-instructions{white-space:normal;margin:8px 0 4px;color:#1d2733}
.kv-progress{height:410px;overflow-y:auto;font-size:10pt;font-family:"Consolas","DejaVu Sans Mono",monospace;background:#000;color:#ffeb3b;padding:8px 10px;border-radius:4px}
.kv-heading{font-weight:700;display:block;margin-bottom:6px}
.kv-address{display:grid;grid-template-columns:9em 1fr;gap:6px 10px;align-items:center}
.kv-address>.kv-heading{grid-column:1 / span 2}
.kv-address .kv-edit,.kv-address .kv-combo{width:16em;max-width:100%;box-sizing:border-box;margin:0}
.kv-address .kv-image-button{justify-self:start;margin:0}
.kv-address select[size]{width:100%;min-height:10em;grid-column:1 / span 2;font:inherit}
.kv-address .kv-memo{grid-column:1 / span 2;min-height:3.5em}
.kv-options .kv-check{display:block;margin:3px 0}
.kv-options .kv-edit{margin-left:1.6em}
.kv-options .kv-date{width:7em}
.kv-options .kv-time{width:2.5em;margin-left:4px}
.kv-notice{display:block;font-size:13px;color:#5a6775;margin:2px 0 6px}
.kv-tariff{font-weight:700}
.kv-contact .kv-label{display:inline-block;min-width:13em}
.kv-contact .kv-notice{margin-left:13.4em}
.kv-contact .kv-button{display:block;margin-top:10px}
.kv-edit[disabled]{background:#eef1f5;color:#8a96a3}
)");
}
