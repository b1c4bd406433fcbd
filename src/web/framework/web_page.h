#pragma once

#include <QString>

#include <vector>

class WebControl;
class WebSession;

// A page form of a session. Subclasses hold their controls as members and set
// them up in their constructor (their "on create"). A session keeps one page of
// each kind, under its component name.
class WebPage {
public:
    WebPage(WebSession &session, QString componentName, QString title);
    virtual ~WebPage();
    WebPage(const WebPage &) = delete;
    WebPage &operator=(const WebPage &) = delete;

    const QString &name() const { return name_; }
    WebSession &session() { return session_; }

    QString title;
    // Extra class of the page's body, for the page's own layout rules.
    QString cssClass;
    // The page's own lines of script, run after the page has loaded (never client text).
    QString script;

    // Closes the page once the current request is done; the page beneath shows again.
    void release();
    void show();

    WebControl *control(const QString &name) const;
    const std::vector<WebControl *> &topLevelControls() const { return topLevel_; }
    const std::vector<WebControl *> &allControls() const { return all_; }

private:
    friend class WebControl;
    void registerControl(WebControl *control, bool topLevel);

    WebSession &session_;
    QString name_;
    std::vector<WebControl *> all_;
    std::vector<WebControl *> topLevel_;
};
