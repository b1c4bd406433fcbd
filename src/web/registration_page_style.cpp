#include "web/registration_page_style.h"

QString RegistrationPageStyle()
{
    return QStringLiteral(R"(
.kv-registration{background:#dcefe1}
.kv-registration form{background:#f4fbf6}
.kv-reg-top{background:#2e7d4f;border-radius:6px;padding:4px 8px}
.kv-reg-top .kv-exit{color:#fff}
.kv-reg-heading{display:block;font-size:20px;font-weight:700;color:#1e5534;margin:10px 0 4px}
.kv-reg-explanation{color:#1d2733}
.kv-reg-note{display:block;font-weight:600;color:#8a3b12;margin:8px 0}
.kv-reg-form{display:grid;grid-template-columns:minmax(12em,auto) 12em 1fr;gap:6px 10px;align-items:center}
.kv-reg-form .kv-edit{width:100%;box-sizing:border-box;margin:0}
.kv-reg-hint{font-size:13px;color:#5a6775}
.kv-reg-form .kv-memo{grid-column:1 / -1;min-height:5em}
.kv-reg-form .kv-button{grid-column:1 / -1;justify-self:start;margin-top:6px}
@media (max-width:1023.98px){
.kv-reg-form{grid-template-columns:minmax(0,1fr);gap:2px}
.kv-reg-hint{margin:0 0 10px}
.kv-reg-form .kv-button{justify-self:stretch}
}
)");
}
