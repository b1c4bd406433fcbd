#include "web/framework/web_application.h"

#include "common/metrics.h"
#include "web/framework/browser_check.h"
#include "web/framework/controls.h"
#include "web/framework/form_data.h"
#include "web/framework/page_renderer.h"
#include "web/framework/page_updates.h"
#include "web/framework/session_id.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <httplib.h>

namespace {

constexpr size_t kMaxEndedNotices = 10000;

void setBody(httplib::Response &response, const QByteArray &body, const char *contentType, int status = 200)
{
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_header("X-Frame-Options", "DENY");
    // Page addresses carry the session: an advert's site must not learn them.
    response.set_header("Referrer-Policy", "no-referrer");
    response.set_content(body.toStdString(), contentType);
}

void setJson(httplib::Response &response, const QJsonObject &object)
{
    setBody(response, QJsonDocument(object).toJson(QJsonDocument::Compact), "application/json; charset=utf-8");
}

QString header(const httplib::Request &request, const char *name)
{
    return QString::fromStdString(request.get_header_value(name));
}

const char *contentTypeOf(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return "text/html; charset=windows-1251";
    if (suffix == QLatin1String("css"))
        return "text/css";
    if (suffix == QLatin1String("js"))
        return "text/javascript";
    if (suffix == QLatin1String("bmp"))
        return "image/bmp";
    if (suffix == QLatin1String("png"))
        return "image/png";
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "image/jpeg";
    if (suffix == QLatin1String("ico"))
        return "image/x-icon";
    return "application/octet-stream";
}

}  // namespace

WebApplication::LockedList::LockedList(WebApplication &application) : guard_(application.lock_)
{
    sessions_.reserve(application.sessions_.size());
    for (const auto &entry : application.sessions_)
        sessions_.push_back(entry.second);
}

WebApplication::WebApplication(std::recursive_mutex &sessionListLock, Config config)
    : lock_(sessionListLock), config_(std::move(config))
{
    sweeper_ = std::thread([this] { sweepLoop(); });
}

WebApplication::~WebApplication()
{
    {
        std::lock_guard guard(sweepMutex_);
        stopping_ = true;
    }
    sweepWake_.notify_all();
    sweeper_.join();
}

void WebApplication::sweepLoop()
{
    std::unique_lock guard(sweepMutex_);
    while (!sweepWake_.wait_for(guard, std::chrono::seconds(1), [this] { return stopping_; })) {
        guard.unlock();
        expireIdleSessions(WebSession::Clock::now());
        guard.lock();
    }
}

QString WebApplication::homeAddress() const { return u'/' + config_.commandPath; }

QString WebApplication::sessionAddress(const QString &id) const
{
    return QStringLiteral("/%1/%2").arg(config_.commandPath, id);
}

QString WebApplication::resourceUrl(const QString &name) const
{
    return QStringLiteral("/%1/res/%2").arg(config_.commandPath, name);
}

void WebApplication::addResource(const QString &name, const QByteArray &contentType, const QByteArray &bytes)
{
    std::lock_guard guard(resourcesMutex_);
    resources_[name] = {contentType, bytes};
}

void WebApplication::installRoutes(httplib::Server &server)
{
    const std::string base = "/" + config_.commandPath.toStdString();
    server.Get("/", [base](const httplib::Request &, httplib::Response &response) { response.set_redirect(base); });
    server.Get(base + "/?", [this](const httplib::Request &request, httplib::Response &response) {
        // Link checkers and previews ask with HEAD: that opens no session.
        if (request.method == "HEAD") {
            setBody(response, {}, PageRenderer::kContentType);
            return;
        }
        newSession(request, response);
    });
    server.Get(base + "/res/([A-Za-z0-9_.-]+)", [this](const httplib::Request &request, httplib::Response &response) {
        std::lock_guard guard(resourcesMutex_);
        const auto it = resources_.find(QString::fromStdString(request.matches[1]));
        if (it == resources_.end()) {
            response.status = 404;
            return;
        }
        response.set_header("Cache-Control", "max-age=3600");
        response.set_content(it->second.bytes.toStdString(), it->second.contentType.toStdString());
    });
    server.Get("/files/([A-Za-z0-9_-][A-Za-z0-9_.-]*)", [this](const httplib::Request &request, httplib::Response &response) {
        serveFile(QString::fromStdString(request.matches[1]), response);
    });
    auto session = [this](bool async) {
        return [this, async](const httplib::Request &request, httplib::Response &response) {
            sessionRequest(QString::fromStdString(request.matches[1]), request, response, async);
        };
    };
    server.Get(base + "/([^/]+)/?", session(false));
    server.Post(base + "/([^/]+)/?", session(false));
    server.Post(base + "/([^/]+)/async", session(true));
    server.Post(base + "/([^/]+)/leave", [this](const httplib::Request &request, httplib::Response &response) {
        pageLeft(QString::fromStdString(request.matches[1]), request);
        response.status = 204;
    });
}

QString WebApplication::clientAddress(const httplib::Request &request) const
{
    const QString peer = QString::fromStdString(request.remote_addr);
    if (!trustedProxies_.contains(peer)) {
        if (onUntrustedForward && request.has_header("X-Forwarded-For"))
            onUntrustedForward(peer);
        return peer;
    }
    // Each proxy appends the address it got the request from: the first one from the
    // right that is no trusted proxy is the client.
    // An entry that is no address names no client: taking the proxy instead would make
    // every client behind a proxy on this host a local one.
    const QStringList chain = header(request, "X-Forwarded-For").split(u',', Qt::SkipEmptyParts);
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        const QHostAddress address = ForwardedAddress(*it);
        if (address.isNull())
            return {};
        if (!trustedProxies_.contains(address.toString()))
            return address.toString();
    }
    return peer;
}

QHostAddress WebApplication::ForwardedAddress(const QString &entry)
{
    // Some proxies append the client's port: "192.0.2.7:51234", "[2001:db8::7]:51234".
    QString text = entry.trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype end = text.indexOf(u']');
        const QString rest = end < 0 ? QString() : text.mid(end + 1);
        if (end < 0 || !(rest.isEmpty() || rest.startsWith(u':')))
            return {};
        text = text.mid(1, end - 1);
    } else if (text.count(u':') == 1) {
        text.truncate(text.indexOf(u':'));
    }
    return QHostAddress(text);
}

void WebApplication::newSession(const httplib::Request &request, httplib::Response &response)
{
    if (!SupportedBrowser(header(request, "User-Agent"))) {
        setBody(response,
                PageRenderer::message(QStringLiteral("Браузер не підтримується"),
                                      QStringLiteral("Ваш браузер не підтримується. Відкрийте сторінку у Chrome, "
                                                     "Firefox, Opera, Safari, Edge або Internet Explorer."),
                                      config_.styleSheet),
                PageRenderer::kContentType, 406);
        return;
    }
    const QString ip = clientAddress(request);
    std::shared_ptr<WebSession> session;
    {
        CountedLockGuard guard(lock_);
        if (sessions_.size() >= config_.maxSessions) {
            metrics::Counted().refused(metrics::SessionRefusal::Limit).add();
            setBody(response,
                    PageRenderer::message(QStringLiteral("Сервер зайнятий"),
                                          QStringLiteral("Сервер зайнятий. Повторіть спробу пізніше."),
                                          config_.styleSheet),
                    PageRenderer::kContentType, 503);
            return;
        }
        QString id;
        do {
            id = NewSessionId();
        } while (sessions_.count(id) || ended_.count(id));
        session = std::make_shared<WebSession>(*this, id, ip);
        sessions_.emplace(id, session);
        sessionsLive_.store(int(sessions_.size()), std::memory_order_relaxed);
        RequestScope scope(*session);
        try {
            if (onNewSession)
                onNewSession(*session);
        } catch (const std::exception &error) {
            session->terminate(QString::fromUtf8(error.what()));
        }
    }
    // Nobody knows the new address yet: the start page is made without the list lock.
    std::unique_lock requestGuard(session->requestMutex_);
    RequestScope scope(*session);
    if (!session->terminated() && createStartPage) {
        try {
            createStartPage(*session);
        } catch (const std::exception &error) {
            // A session without its page would hold a connection slot to no use.
            session->terminate(QString::fromUtf8(error.what()));
        }
    }
    if (session->terminated()) {
        setBody(response,
                PageRenderer::message(QString(), session->terminationMessage(), config_.styleSheet, homeAddress()),
                PageRenderer::kContentType);
        requestGuard.unlock();
        removeSession(session->id());
        return;
    }
    response.set_header("Cache-Control", "no-store");
    response.set_redirect(sessionAddress(session->id()).toStdString(), 303);
}

std::shared_ptr<WebSession> WebApplication::find(const QString &id, const QString &ip)
{
    CountedLockGuard guard(lock_);
    const auto it = sessions_.find(id);
    if (it == sessions_.end())
        return nullptr;
    if (config_.bindToAddress && it->second->ip() != ip)
        return nullptr;
    return it->second;
}

void WebApplication::sessionRequest(const QString &id, const httplib::Request &request,
                                    httplib::Response &response, bool async)
{
    const metrics::Timed timed(metrics::Counted().webEvents);
    const QString ip = clientAddress(request);
    std::shared_ptr<WebSession> session = LooksLikeSessionId(id) ? find(id, ip) : nullptr;
    if (!session) {
        answerGone(id, ip, response, async);
        return;
    }
    std::unique_lock requestGuard(session->requestMutex_);
    if (session->ended()) {
        requestGuard.unlock();
        answerGone(id, ip, response, async);
        return;
    }
    session->touch(WebSession::Clock::now());
    session->leftAt_ = 0;
    const bool post = request.method == "POST";
    const FormData form(post ? request.body : std::string());
    const QString token = form.value(QStringLiteral("__token"));
    // A full event runs for the page on screen only, once: its token is then spent and
    // the page carries a new one. A post of any other token (a double click) runs
    // nothing. Timer ticks and asynchronous clicks need the current token and leave it,
    // so a click is never refused because a tick came just before it.
    QJsonArray updates;
    bool reload = false;
    {
        RequestScope scope(*session);
        if (post && async) {
            if (token == session->token_)
                reload = !runAsyncEvent(*session, form, updates);
            else
                reload = true;  // the page on screen is not the session's current one
        } else if (post && token == session->token_) {
            session->token_ = NewSessionId();
            runEvent(*session, form);
        }
        session->destroyReleasedPages();
    }
    if (session->terminated()) {
        // The page the browser is sent to says why, once.
        session->takeMessages();
        {
            CountedLockGuard guard(lock_);
            rememberEnded(id, {ip, session->terminationMessage(), WebSession::Clock::now() + config_.idleTimeOut});
        }
        if (async)
            setJson(response, QJsonObject{{QStringLiteral("reload"), true}});
        else
            redirectToPage(id, response);
        requestGuard.unlock();
        removeSession(id);
        return;
    }
    if (post && !async) {
        // Post/redirect/get: Back, Forward and a refresh show the page, never post again;
        // what the event told is shown once by the page the redirect leads to.
        redirectToPage(id, response);
        return;
    }
    if (async) {
        // A page that is gone or covered is shown by a reload, with its messages.
        if (reload) {
            setJson(response, QJsonObject{{QStringLiteral("reload"), true}});
            return;
        }
        setJson(response, QJsonObject{{QStringLiteral("updates"), updates},
                                      {QStringLiteral("alerts"), QJsonArray::fromStringList(session->takeMessages())},
                                      {QStringLiteral("open"), QJsonArray::fromStringList(session->takeWindows())}});
        return;
    }
    answerPage(*session, response, session->takeMessages(), session->takeWindows());
}

void WebApplication::pageLeft(const QString &id, const httplib::Request &request)
{
    // The page's beacon on leaving: the tab was closed, the browser went elsewhere, or the
    // visitor moved on within the service, whose next request then keeps the session.
    const std::shared_ptr<WebSession> session = LooksLikeSessionId(id) ? find(id, clientAddress(request)) : nullptr;
    if (!session)
        return;
    // A request of the session under way is no leaving, nor is the beacon of a page the
    // session has served again since (a reload, Back: the old page goes after the new one came).
    std::unique_lock requestGuard(session->requestMutex_, std::try_to_lock);
    const FormData beacon(request.body);
    if (!requestGuard.owns_lock() || beacon.value(QStringLiteral("__token")) != session->token_
        || beacon.value(QStringLiteral("__view")) != QString::number(session->view_))
        return;
    if (!mayEndWhenLeft || mayEndWhenLeft(*session))
        session->leftAt_ = WebSession::Clock::now().time_since_epoch().count();
}

void WebApplication::redirectToPage(const QString &id, httplib::Response &response) const
{
    response.set_header("Cache-Control", "no-store");
    response.set_redirect(sessionAddress(id).toStdString(), 303);
}

WebControl::Handler WebApplication::eventHandler(WebPage &page, const FormData &form, bool async)
{
    // A form of a page that is no longer on top (the browser's Back button) changes nothing.
    if (form.value(QStringLiteral("__page")) != page.name())
        return {};
    // A value longer than its field was never typed into the page: nothing of it is taken
    // (a cut "100" cars would place ten orders).
    for (WebControl *control : page.allControls())
        if (control->postsValue() && form.has(control->name()) && !control->fits(form.value(control->name())))
            return [&page] {
                page.session().showMessage(QStringLiteral("Невірні дані форми. Оновіть сторінку і повторіть спробу !"));
            };
    for (WebControl *control : page.allControls())
        if (control->postsValue() && form.has(control->name()))
            control->readValue(form.value(control->name()));

    const auto source = [&](const char *kind) -> WebControl * {
        const QString name = form.value(QString::fromLatin1(kind));
        WebControl *control = name.isEmpty() ? nullptr : page.control(name);
        return control && control->acceptsEvents() ? control : nullptr;
    };
    if (async) {
        if (WebControl *control = source("__async"))
            return control->onAsyncClick;
        if (auto *timer = dynamic_cast<WebTimer *>(source("__timer")); timer && timer->enabled)
            return timer->onTimer;
        return {};
    }
    // A button that works in place is pressed the same way by a full post (a browser
    // without the page's script).
    if (WebControl *control = source("__click"))
        return control->onClick ? control->onClick : control->onAsyncClick;
    if (WebControl *control = source("__change"))
        return control->onChange;
    return {};
}

void WebApplication::runHandler(WebSession &session, const WebControl::Handler &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        // Errors no handler catches reach the browser as an alert box.
        session.showMessage(QString::fromUtf8(error.what()));
    }
}

void WebApplication::runEvent(WebSession &session, const FormData &form)
{
    WebPage *page = session.topPage();
    if (!page)
        return;
    if (const WebControl::Handler handler = eventHandler(*page, form, false))
        runHandler(session, handler);
}

bool WebApplication::runAsyncEvent(WebSession &session, const FormData &form, QJsonArray &updates)
{
    WebPage *page = session.topPage();
    if (!page || form.value(QStringLiteral("__page")) != page->name())
        return false;
    const WebControl::Handler handler = eventHandler(*page, form, true);
    // What the browser posted is what it shows: only the handler's changes go back.
    const PageUpdates before(*page);
    if (handler)
        runHandler(session, handler);
    if (session.topPage() != page)
        return false;
    for (const auto &[name, html] : before.changes())
        updates.append(QJsonArray{name, html});
    return true;
}

void WebApplication::answerPage(WebSession &session, httplib::Response &response, const QStringList &messages,
                                const QStringList &windows)
{
    WebPage *page = session.topPage();
    if (!page) {
        setBody(response, PageRenderer::message(QString(), messages.join(u'\n'), config_.styleSheet, homeAddress()),
                PageRenderer::kContentType);
        return;
    }
    setBody(response,
            PageRenderer::page(*page, sessionAddress(session.id()), session.pageToken(), ++session.view_, messages,
                               windows, config_.styleSheet),
            PageRenderer::kContentType);
}

void WebApplication::answerGone(const QString &id, const QString &ip, httplib::Response &response, bool async)
{
    if (async) {
        // The page's own address then shows why the session is gone.
        setJson(response, QJsonObject{{QStringLiteral("reload"), true}});
        return;
    }
    QString message;
    {
        CountedLockGuard guard(lock_);
        const auto it = ended_.find(id);
        if (it != ended_.end() && it->second.ip == ip && it->second.until > WebSession::Clock::now()) {
            message = it->second.message;
            ended_.erase(it);
        }
    }
    if (!message.isEmpty())
        setBody(response, PageRenderer::message(QString(), message, config_.styleSheet, homeAddress()),
                PageRenderer::kContentType);
    else
        timeOutPage(response);
}

void WebApplication::removeSession(const QString &id)
{
    CountedLockGuard guard(lock_);
    const auto it = sessions_.find(id);
    if (it == sessions_.end())
        return;
    const std::shared_ptr<WebSession> session = it->second;
    sessions_.erase(it);
    sessionsLive_.store(int(sessions_.size()), std::memory_order_relaxed);
    session->ended_ = true;
    const QStringList unseen = session->takeMessages();
    if (!unseen.isEmpty() && !session->terminated()) {
        rememberEnded(id, {session->ip(), unseen.join(u'\n'), WebSession::Clock::now() + config_.idleTimeOut});
    }
    if (onCloseSession) {
        try {
            onCloseSession(*session);
        } catch (const std::exception &error) {
            qWarning("web session %s: close handler failed: %s", qPrintable(id), error.what());
        }
    }
}

void WebApplication::rememberEnded(const QString &id, Ended ended)
{
    if (ended_.size() >= kMaxEndedNotices && !ended_.count(id))
        ended_.erase(std::min_element(ended_.begin(), ended_.end(),
                                      [](const auto &a, const auto &b) { return a.second.until < b.second.until; }));
    ended_[id] = std::move(ended);
}

bool WebApplication::removeIfUnused(const QString &id, const std::function<bool(const WebSession &)> &unused)
{
    CountedLockGuard guard(lock_);
    const auto it = sessions_.find(id);
    if (it == sessions_.end())
        return false;
    const std::shared_ptr<WebSession> session = it->second;
    // Never waited for: a request holds it while it waits for the list's lock.
    const std::unique_lock request(session->requestMutex_, std::try_to_lock);
    if (!request.owns_lock() || !unused(*session))
        return false;
    removeSession(id);
    return true;
}

void WebApplication::removeAllSessions()
{
    CountedLockGuard guard(lock_);
    QStringList ids;
    for (const auto &entry : sessions_)
        ids << entry.first;
    for (const QString &id : ids)
        removeSession(id);
    ended_.clear();
}


void WebApplication::expireIdleSessions(WebSession::Clock::time_point now)
{
    CountedLockGuard guard(lock_);
    const WebSession::Clock::rep graceOver = (now - kLeaveGrace).time_since_epoch().count();
    const auto idle = [&](const WebSession &session) {
        const WebSession::Clock::rep left = session.leftAt_.load();
        return session.lastAccess() + config_.idleTimeOut <= now || (left != 0 && left <= graceOver);
    };
    QStringList ids;
    for (const auto &entry : sessions_)
        if (idle(*entry.second))
            ids << entry.first;
    // A request that came meanwhile makes the session no longer idle.
    for (const QString &id : ids)
        removeIfUnused(id, idle);
    for (auto it = ended_.begin(); it != ended_.end();)
        it = it->second.until <= now ? ended_.erase(it) : std::next(it);
}

void WebApplication::serveFile(const QString &name, httplib::Response &response)
{
    QFile file(QDir(config_.filesFolder).filePath(name));
    if (config_.filesFolder.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        response.status = 404;
        return;
    }
    response.set_header("Cache-Control", "max-age=3600");
    response.set_content(file.readAll().toStdString(), contentTypeOf(name));
}

void WebApplication::timeOutPage(httplib::Response &response)
{
    QFile file(QDir(config_.filesFolder).filePath(config_.timeOutPage));
    if (!config_.filesFolder.isEmpty() && file.open(QIODevice::ReadOnly)) {
        setBody(response, file.readAll(), PageRenderer::kContentType);
        return;
    }
    setBody(response,
            PageRenderer::message(QStringLiteral("Сесія завершена"),
                                  QStringLiteral("Час сесії вичерпано. Відкрийте головну сторінку знову."),
                                  config_.styleSheet),
            PageRenderer::kContentType);
}
