#include "web/framework/web_page.h"

#include "web/framework/controls.h"
#include "web/framework/web_session.h"

WebPage::WebPage(WebSession &session, QString componentName, QString title_)
    : title(std::move(title_)), session_(session), name_(std::move(componentName))
{
}

WebPage::~WebPage() = default;

void WebPage::release() { session_.releasePage(this); }
void WebPage::show() { session_.showPage(this); }

WebControl *WebPage::control(const QString &name) const
{
    for (WebControl *c : all_)
        if (c->name() == name)
            return c;
    return nullptr;
}

void WebPage::registerControl(WebControl *control, bool topLevel)
{
    all_.push_back(control);
    if (topLevel)
        topLevel_.push_back(control);
}
