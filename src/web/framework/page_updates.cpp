#include "web/framework/page_updates.h"

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

PageUpdates::PageUpdates(const WebPage &page) : page_(page)
{
    for (const WebControl *control : page_.topLevelControls())
        remember(control);
}

void PageUpdates::remember(const WebControl *control)
{
    before_[control] = {control->render(), control->renderFrame()};
    if (const auto *inside = control->children())
        for (const WebControl *child : *inside)
            remember(child);
}

std::vector<std::pair<QString, QString>> PageUpdates::changes() const
{
    std::vector<std::pair<QString, QString>> out;
    for (const WebControl *control : page_.topLevelControls())
        collect(control, out);
    return out;
}

void PageUpdates::collect(const WebControl *control, std::vector<std::pair<QString, QString>> &out) const
{
    const auto it = before_.find(control);
    const QString now = control->render();
    if (it != before_.end() && it->second.whole == now)
        return;
    // A container whose own frame stayed the same hands the change down to what it holds.
    const auto *inside = control->children();
    if (it != before_.end() && inside && it->second.frame == control->renderFrame()) {
        for (const WebControl *child : *inside)
            collect(child, out);
        return;
    }
    out.emplace_back(control->name(), now);
}
