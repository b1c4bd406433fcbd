#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_session.h"

#include "common/service_lock.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class FormData;
class QJsonArray;

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

// The application side of the web server: the live sessions under their
// identifiers, the session-list lock, the idle time-out and the answers to the
// browsers' requests. Knows no page of its own: the start page and the new- and
// close-session handlers are given.
class WebApplication {
public:
    struct Config {
        QString commandPath = QStringLiteral("zakaz");  // sessions live under /zakaz/<id>
        QString filesFolder;                             // served under /files/
        QString timeOutPage = QStringLiteral("TimeOut.html");
        std::chrono::milliseconds idleTimeOut = std::chrono::minutes(10);
        bool bindToAddress = true;       // a session answers only to the IP that opened it
        size_t maxSessions = 5000;       // beyond this no session is created at all
        QString styleSheet;              // the pages' own CSS
    };

    // `sessionListLock` is the process-wide recursive lock that handlers also take.
    WebApplication(std::recursive_mutex &sessionListLock, Config config);
    ~WebApplication();
    WebApplication(const WebApplication &) = delete;
    WebApplication &operator=(const WebApplication &) = delete;

    // Run with the session-list lock held. The new-session handler may terminate
    // the session; otherwise the start page is created for it.
    std::function<void(WebSession &)> onNewSession;
    std::function<void(WebSession &)> onCloseSession;
    std::function<void(WebSession &)> createStartPage;
    // A peer that is no trusted proxy sent X-Forwarded-For (it is not believed): a proxy
    // missing from the list would make every client behind it one address. Any thread.
    std::function<void(const QString &peer)> onUntrustedForward;
    // Whether a session whose page was left may end (not while a client is logged in or an
    // order is followed). Runs with the session's request lock held.
    std::function<bool(WebSession &)> mayEndWhenLeft;

    // A left page gives its session up when nothing of the session follows within this.
    static constexpr std::chrono::seconds kLeaveGrace{5};

    void installRoutes(httplib::Server &server);

    // Proxies whose X-Forwarded-For names the client; set before the server listens.
    void setTrustedProxies(const QStringList &proxies) { trustedProxies_ = proxies; }
    // The client's address: the connection's, or the forwarded one behind a trusted proxy
    // (empty when the proxy forwards something that is no address).
    QString clientAddress(const httplib::Request &request) const;
    // One entry of X-Forwarded-For, with or without the client's port; null when none.
    static QHostAddress ForwardedAddress(const QString &entry);

    // "Lock the session list": the lock and a snapshot of the live sessions, until
    // the object goes ("unlock the session list").
    class LockedList {
    public:
        explicit LockedList(WebApplication &application);
        const std::vector<std::shared_ptr<WebSession>> &sessions() const { return sessions_; }

    private:
        CountedLockGuard guard_;
        std::vector<std::shared_ptr<WebSession>> sessions_;
    };
    LockedList lockSessionList() { return LockedList(*this); }

    // Destroys the session: its close handler runs. Messages it was shown and has not
    // seen yet are given to its browser's next request instead of the time-out page.
    void removeSession(const QString &id);
    // removeSession() for a session nobody uses: only when no request of it is running
    // (one may be waiting for the lock its caller holds) and `unused`, asked once that is
    // sure, agrees. False when the session stays.
    bool removeIfUnused(const QString &id, const std::function<bool(const WebSession &)> &unused);
    void removeAllSessions();
    // Without the lock: a scrape of the figures must never wait behind a page.
    int sessionCount() const { return sessionsLive_.load(std::memory_order_relaxed); }

    // The idle time-out: ends the sessions that made no request since `now` minus the
    // time-out. Runs every second on a thread of its own; tests call it directly.
    void expireIdleSessions(WebSession::Clock::time_point now);

    // A file kept in memory and served under /<commandPath>/res/<name>.
    void addResource(const QString &name, const QByteArray &contentType, const QByteArray &bytes);
    QString resourceUrl(const QString &name) const;

    const Config &config() const { return config_; }

private:
    struct Ended {
        QString ip;
        QString message;
        WebSession::Clock::time_point until;
    };
    struct Resource {
        QByteArray contentType;
        QByteArray bytes;
    };

    void newSession(const httplib::Request &request, httplib::Response &response);
    void sessionRequest(const QString &id, const httplib::Request &request, httplib::Response &response, bool async);
    std::shared_ptr<WebSession> find(const QString &id, const QString &ip);
    void answerGone(const QString &id, const QString &ip, httplib::Response &response, bool async);
    // Keeps what an ended session's browser is still to be shown; under the list lock.
    // Bounded: past the bound the notice nearest its end goes.
    void rememberEnded(const QString &id, Ended ended);
    void pageLeft(const QString &id, const httplib::Request &request);
    // The bare address, where a visitor starts again.
    QString homeAddress() const;
    // 303 to a GET of the session's page.
    void redirectToPage(const QString &id, httplib::Response &response) const;
    // Reads the posted values into the page and finds the handler of the event.
    static WebControl::Handler eventHandler(WebPage &page, const FormData &form, bool async);
    static void runHandler(WebSession &session, const WebControl::Handler &handler);
    void runEvent(WebSession &session, const FormData &form);
    // False when the page the browser shows is no longer on top: it must reload.
    bool runAsyncEvent(WebSession &session, const FormData &form, QJsonArray &updates);
    void answerPage(WebSession &session, httplib::Response &response, const QStringList &messages,
                    const QStringList &windows);
    void serveFile(const QString &name, httplib::Response &response);
    void timeOutPage(httplib::Response &response);
    QString sessionAddress(const QString &id) const;
    void sweepLoop();

    std::recursive_mutex &lock_;
    const Config config_;
    QStringList trustedProxies_;
    std::map<QString, std::shared_ptr<WebSession>> sessions_;
    std::atomic<int> sessionsLive_{0};  // sessions_.size()
    std::map<QString, Ended> ended_;
    std::mutex resourcesMutex_;
    std::map<QString, Resource> resources_;

    std::mutex sweepMutex_;
    std::condition_variable sweepWake_;
    bool stopping_ = false;
    std::thread sweeper_;
};
