#pragma once

#include "web/framework/web_page.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

class WebApplication;
class WebSession;

// Marks the calling thread as serving a session for the span of a request.
class RequestScope {
public:
    explicit RequestScope(WebSession &session);
    ~RequestScope();
    RequestScope(const RequestScope &) = delete;
    RequestScope &operator=(const RequestScope &) = delete;

private:
    WebSession *previous_;
};

// What the application keeps for each session (its user object).
class SessionData {
public:
    virtual ~SessionData() = default;
};

// One browser's session: its identifier (the session address), the IP address that
// opened it, the user object, its pages and what the next answer must carry.
// Requests of one session run one at a time; handlers of different sessions run at
// the same time.
class WebSession {
public:
    using Clock = std::chrono::steady_clock;

    WebSession(WebApplication &application, QString id, QString ip);
    ~WebSession();

    const QString &id() const { return id_; }   // the application identifier
    const QString &ip() const { return ip_; }
    WebApplication &application() { return application_; }

    // The session of the request the calling thread is serving; null outside requests.
    static WebSession *current();

    std::unique_ptr<SessionData> data;
    template <class T> T *dataAs() { return dynamic_cast<T *>(data.get()); }
    template <class T> const T *dataAs() const { return dynamic_cast<const T *>(data.get()); }

    // Pages: one of each kind, the last shown on top.
    WebPage *findPage(const QString &name) const;
    template <class P> P &openPage()
    {
        if (auto *page = dynamic_cast<P *>(findPage(QString::fromUtf8(P::kName)))) {
            showPage(page);
            return *page;
        }
        auto page = std::make_unique<P>(*this);
        P &ref = *page;
        addPage(std::move(page));
        return ref;
    }
    void addPage(std::unique_ptr<WebPage> page);  // shown on top
    void showPage(WebPage *page);
    void releasePage(WebPage *page);
    WebPage *topPage() const;

    // "Show a message": an alert box on the browser's next page.
    void showMessage(const QString &text);
    // "Open a new window" with the address on the browser's next answer.
    void openNewWindow(const QString &url);
    // Ends the session when the current request finishes; the browser receives only `message`.
    void terminate(const QString &message);
    bool terminated() const { return terminated_; }
    QString terminationMessage();

    bool ended() const { return ended_; }
    // The token every full page of this session carries; see WebApplication.
    const QString &pageToken() const { return token_; }
    Clock::time_point lastAccess() const { return Clock::time_point(Clock::duration(lastAccess_.load())); }

private:
    friend class WebApplication;
    void touch(Clock::time_point now) { lastAccess_ = now.time_since_epoch().count(); }
    QStringList takeMessages();
    QStringList takeWindows();
    void destroyReleasedPages();

    WebApplication &application_;
    const QString id_;
    const QString ip_;
    std::vector<std::unique_ptr<WebPage>> pages_;     // show order, top last
    std::vector<std::unique_ptr<WebPage>> released_;  // freed after the request
    QStringList messages_;
    QStringList windows_;
    std::mutex noticeMutex_;  // messages may come from the expiry timer's thread
    std::atomic<bool> terminated_ = false;  // read by the expiry timer's and the idle sweep's threads
    QString terminationMessage_;            // under noticeMutex_
    std::atomic<bool> ended_ = false;
    std::atomic<Clock::rep> lastAccess_;
    std::atomic<Clock::rep> leftAt_{0};  // its page said it was left; 0: it was not
    std::mutex requestMutex_;
    // Under requestMutex_: the token of the page on screen, and the number of the last
    // full page served (a reload serves the same token anew, under a new number).
    QString token_;
    quint64 view_ = 0;
};
