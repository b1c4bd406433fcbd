#pragma once

#include <QString>

#include <unordered_map>
#include <utility>
#include <vector>

class WebControl;
class WebPage;

// What an asynchronous event changed on a page: the page's controls are rendered
// before the handler runs and compared afterwards. Only the controls whose HTML
// changed are sent, the smallest that hold the change, so the browser keeps focus,
// caret, open lists and typed text everywhere else.
class PageUpdates {
public:
    explicit PageUpdates(const WebPage &page);

    // (control name, new HTML) for each changed control, in page order.
    std::vector<std::pair<QString, QString>> changes() const;

private:
    struct Render {
        QString whole;
        QString frame;
    };
    void remember(const WebControl *control);
    void collect(const WebControl *control, std::vector<std::pair<QString, QString>> &out) const;

    const WebPage &page_;
    std::unordered_map<const WebControl *, Render> before_;
};
