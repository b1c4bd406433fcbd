#include "web/framework/page_renderer.h"

#include "common/win1251.h"
#include "web/framework/controls.h"
#include "web/framework/html_text.h"
#include "web/framework/web_page.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char *const kBaseStyle = R"(
body{margin:0;background:#eef1f5;color:#1d2733;font:15px/1.45 "Segoe UI",Arial,Helvetica,sans-serif}
form{max-width:920px;margin:0 auto;padding:16px 20px 24px;background:#fff;min-height:100vh;box-sizing:border-box}
.kv-region{margin:12px 0;padding:12px 14px;border:1px solid #d5dbe3;border-radius:6px;background:#fafbfc}
.kv-text{margin:6px 0}
.kv-label{margin:0 6px 0 0}
a.kv-label{color:#1f5fa8;text-decoration:underline;cursor:pointer}
.kv-edit{font:inherit;padding:4px 6px;border:1px solid #aab4c0;border-radius:4px;margin:2px 10px 2px 0;width:11em}
.kv-memo{font:inherit;width:100%;box-sizing:border-box;min-height:6em;padding:6px;border:1px solid #aab4c0;border-radius:4px;resize:vertical}
.kv-memo.kv-borderless{border:none;background:transparent;resize:none}
.kv-button{font:inherit;padding:5px 16px;margin:4px 0;border:1px solid #2d6bb3;border-radius:4px;background:#3b7dd0;color:#fff;cursor:pointer}
.kv-button:hover{background:#2d6bb3}
.kv-button[disabled]{background:#9fb3c8;border-color:#9fb3c8;cursor:default}
.kv-image-button{padding:2px;margin:2px 6px 2px 0;border:1px solid transparent;border-radius:4px;background:none;cursor:pointer;vertical-align:middle}
.kv-image-button:hover{border-color:#aab4c0}
.kv-link{font:inherit;padding:0;margin:0 0 0 8px;border:none;background:none;color:#1f5fa8;text-decoration:underline;cursor:pointer;vertical-align:middle}
.kv-image{display:inline-block}
.kv-sr{position:absolute;width:1px;height:1px;margin:-1px;padding:0;border:0;overflow:hidden;clip:rect(0 0 0 0);white-space:nowrap}
.kv-tab-heads{display:flex;gap:2px;border-bottom:1px solid #b8c2cf}
.kv-tab-head{border:1px solid #b8c2cf;border-bottom:none;border-radius:5px 5px 0 0;background:#e7ecf2;padding:5px 12px;cursor:pointer;font:inherit}
.kv-tab-head.kv-tab-active{background:#fff;font-weight:bold}
.kv-tab-page{padding:10px 4px}
.kv-grid{max-width:100%;overflow-x:auto}
.kv-grid table{border-collapse:collapse;width:100%}
.kv-grid th,.kv-grid td{border:1px solid #d5dbe3;padding:3px 6px;text-align:left}
.kv-grid th{background:#e7ecf2}
.kv-grid tr[data-row]{cursor:pointer}
.kv-grid tr.kv-selected td{background:#dbe8f7}
.kv-message{max-width:640px;margin:60px auto 12px;padding:20px 24px;background:#fff;border:1px solid #d5dbe3;border-radius:6px;font-size:17px}
.kv-message-home{max-width:640px;margin:0 auto;padding:0 24px}
@media (max-width:1023.98px){
body{overflow-wrap:anywhere}
form{padding:10px 12px 20px}
.kv-edit,.kv-combo,.kv-memo{font-size:16px}
.kv-edit,.kv-combo{display:block;width:100%;max-width:100%;min-height:44px;box-sizing:border-box;margin:4px 0}
.kv-button,.kv-link,.kv-tab-head{min-height:44px}
.kv-button,.kv-link{min-width:44px}
.kv-image-button{min-width:44px;min-height:44px}
.kv-check label,a.kv-label{display:inline-flex;align-items:center;gap:6px;min-height:44px}
.kv-check input{width:20px;height:20px;margin:0}
.kv-grid{overflow-wrap:normal}
.kv-tab-heads{flex-wrap:wrap}
.kv-tab-head{flex:1 1 auto}
.kv-message{margin:24px 12px 12px;padding:16px}
.kv-message-home{padding:0 12px}
.kv-message-home a{display:inline-flex;align-items:center;min-height:44px}
}
)";

const char *const kScript = R"(<script>
(function(){
var f=document.getElementById('kv-form'),leaving=false;
// One full submit at a time: a second click while the page is leaving does nothing.
function leave(){leaving=true;setTimeout(function(){leaving=false;},8000);}
window.addEventListener('pageshow',function(){leaving=false;});
// A page left for good (tab closed, another site) gives its session back at once; the
// service's own next page keeps it (see the server's grace), and so does the page served
// anew by a reload or Back, which comes before this one leaves (the view number).
window.addEventListener('pagehide',function(){if(leaving||!navigator.sendBeacon)return;
var b=new URLSearchParams();b.set('__token',f.elements['__token'].value);b.set('__view',f.dataset.view);navigator.sendBeacon(f.action+'/leave',b);});
f.addEventListener('submit',function(k){if(leaving)k.preventDefault();else leave();});
function post(kind,source){if(leaving)return;leave();var i=document.createElement('input');i.type='hidden';i.name=kind;i.value=source;f.appendChild(i);f.submit();}
function notices(open,alerts){open.forEach(function(u){window.open(u,'_blank','noopener,noreferrer');});alerts.forEach(function(m){alert(m);});}
function each(root,selector,bind){if(root.matches(selector))bind(root);root.querySelectorAll(selector).forEach(bind);}
// A log shows its newest line.
function follow(root){each(root,'[data-log]',function(e){e.scrollTop=e.scrollHeight;});}
// Changed controls are replaced in place; the field being typed in keeps focus and caret.
// A log that grew gets only its new lines, which screen readers then announce.
function apply(updates){var a=document.activeElement,id=a&&a.id,s=null,e=null;try{s=a.selectionStart;e=a.selectionEnd;}catch(x){}
updates.forEach(function(u){var o=document.getElementById(u[0]);if(!o)return;var t=document.createElement('template');t.innerHTML=u[1];
var n=t.content.firstElementChild;if(!n)return;
if(o.hasAttribute('data-log')&&n.hasAttribute('data-log')&&n.innerHTML.indexOf(o.innerHTML)===0){
o.insertAdjacentHTML('beforeend',n.innerHTML.slice(o.innerHTML.length));o.className=n.className;follow(o);return;}
o.replaceWith(n);bind(n);follow(n);});
if(id&&document.activeElement!==a){var n=document.getElementById(id);if(n){n.focus();try{if(s!==null)n.setSelectionRange(s,e);}catch(x){}}}}
function async(kind,source){if(leaving)return Promise.resolve();var b=new URLSearchParams(new FormData(f));b.set(kind,source);
return fetch(f.action+'/async',{method:'POST',body:b}).then(function(r){return r.json();}).then(function(a){
if(a.updates)apply(a.updates);notices(a.open||[],a.alerts||[]);if(a.reload){leaving=true;location.href=f.action;}else timers();});}
function timers(){document.querySelectorAll('[data-timer]').forEach(function(e){if(e.kvTimer)return;
e.kvTimer=setTimeout(function(){if(!document.contains(e))return;async('__timer',e.dataset.timer).catch(function(){}).then(function(){e.kvTimer=null;if(document.contains(e))timers();});},+e.dataset.interval);});}
function bind(root){
each(root,'[data-change]',function(e){e.addEventListener('change',function(){post('__change',e.dataset.change);});});
// Enter in a field presses its button: a search button that does not reload searches in place.
each(root,'[data-enter]',function(e){e.addEventListener('keydown',function(k){if(k.key==='Enter'){k.preventDefault();
var b=document.getElementById(e.dataset.enter);if(b&&b.dataset.async)async('__async',e.dataset.enter);else post('__click',e.dataset.enter);}});});
each(root,'[data-tab]',function(b){b.addEventListener('click',function(){var t=b.closest('.kv-tabs');t.querySelector('input').value=b.dataset.tab;
t.querySelectorAll('.kv-tab-head').forEach(function(h){h.classList.toggle('kv-tab-active',h===b);});
t.querySelectorAll('.kv-tab-page').forEach(function(p){p.hidden=p.dataset.page!==b.dataset.tab;});});});
each(root,'tr[data-row]',function(r){r.addEventListener('click',function(){var g=r.closest('.kv-grid');g.querySelector('input').value=r.dataset.row;post('__click',g.id);});});
// Check boxes and lists tell their change; links and pictures their click.
each(root,'[data-async]',function(e){var field=e.matches('select,input,textarea,.kv-check');
e.addEventListener(field?'change':'click',function(k){if(!field)k.preventDefault();async('__async',e.dataset.async);});});}
bind(f);follow(f);timers();
var n=document.getElementById('kv-notices');
if(n)setTimeout(function(){notices(JSON.parse(n.dataset.open),JSON.parse(n.dataset.alerts));},0);
})();
</script>
)";

QString head(const QString &title, const QString &styleSheet)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"uk\"><head><meta charset=\"windows-1251\">"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                          "<meta name=\"referrer\" content=\"no-referrer\">"
                          "<title>%1</title><style>%2%3</style></head>\n")
        .arg(html::escape(title), QString::fromUtf8(kBaseStyle), styleSheet);
}

QString jsonArray(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

}  // namespace

namespace PageRenderer {

QByteArray page(const WebPage &page, const QString &action, const QString &token, quint64 view,
                const QStringList &messages, const QStringList &windows, const QString &styleSheet)
{
    QString html = head(page.title, styleSheet);
    html += QStringLiteral("<body class=\"kv-page %1\">\n<main><form id=\"kv-form\" method=\"post\" action=\"%2\" "
                           "accept-charset=\"UTF-8\" data-view=\"%5\">\n<input type=\"hidden\" name=\"__page\" value=\"%3\">"
                           "<input type=\"hidden\" name=\"__token\" value=\"%4\">"
                           // Enter in a field without a button of its own submits nothing.
                           "<button type=\"submit\" name=\"__click\" value=\"\" hidden tabindex=\"-1\"></button>\n")
                .arg(html::escape(page.cssClass), html::escape(action), html::escape(page.name()), html::escape(token),
                     QString::number(view));
    for (const WebControl *control : page.topLevelControls())
        html += control->render();
    html += QStringLiteral("</form></main>\n");
    if (!messages.isEmpty() || !windows.isEmpty())
        html += QStringLiteral("<div id=\"kv-notices\" hidden data-alerts=\"%1\" data-open=\"%2\"></div>\n")
                    .arg(html::escape(jsonArray(messages)), html::escape(jsonArray(windows)));
    html += QString::fromUtf8(kScript);
    if (!page.script.isEmpty())
        html += QStringLiteral("<script>\n") + page.script + QStringLiteral("\n</script>\n");
    html += QStringLiteral("</body></html>\n");
    return win1251::fromUnicode(html);
}

QByteArray message(const QString &title, const QString &text, const QString &styleSheet, const QString &home)
{
    QString back;
    if (!home.isEmpty())
        back = QStringLiteral("<p class=\"kv-message-home\"><a href=\"%1\">Повернутися на головну сторінку</a></p>")
                   .arg(html::escape(home));
    return win1251::fromUnicode(head(title, styleSheet)
                                + QStringLiteral("<body><main><p class=\"kv-message\">%1</p>%2</main></body></html>\n")
                                      .arg(html::escapeLines(text), back));
}

}  // namespace PageRenderer
