#include "web/framework/web_session.h"

#include "web/framework/html_text.h"
#include "web/framework/session_id.h"

#include <algorithm>

namespace {
thread_local WebSession *currentSession = nullptr;
}

WebSession *WebSession::current() { return currentSession; }

RequestScope::RequestScope(WebSession &session) : previous_(currentSession) { currentSession = &session; }
RequestScope::~RequestScope() { currentSession = previous_; }

WebSession::WebSession(WebApplication &application, QString id, QString ip)
    : application_(application), id_(std::move(id)), ip_(std::move(ip)),
      lastAccess_(Clock::now().time_since_epoch().count()), token_(NewSessionId())
{
}

WebSession::~WebSession()
{
    // Pages go before the user object their handlers may use.
    released_.clear();
    pages_.clear();
}

WebPage *WebSession::findPage(const QString &name) const
{
    for (const auto &page : pages_)
        if (page->name() == name)
            return page.get();
    return nullptr;
}

void WebSession::addPage(std::unique_ptr<WebPage> page)
{
    if (WebPage *old = findPage(page->name()))
        releasePage(old);
    pages_.push_back(std::move(page));
}

void WebSession::showPage(WebPage *page)
{
    auto it = std::find_if(pages_.begin(), pages_.end(), [page](const auto &p) { return p.get() == page; });
    if (it == pages_.end())
        return;
    auto owned = std::move(*it);
    pages_.erase(it);
    pages_.push_back(std::move(owned));
}

void WebSession::releasePage(WebPage *page)
{
    // The page's own handler may be running: it is freed after the request.
    auto it = std::find_if(pages_.begin(), pages_.end(), [page](const auto &p) { return p.get() == page; });
    if (it == pages_.end())
        return;
    released_.push_back(std::move(*it));
    pages_.erase(it);
}

WebPage *WebSession::topPage() const { return pages_.empty() ? nullptr : pages_.back().get(); }

void WebSession::showMessage(const QString &text)
{
    std::lock_guard guard(noticeMutex_);
    messages_ << text;
}

void WebSession::openNewWindow(const QString &url)
{
    const QString safe = html::safeUrl(url);
    std::lock_guard guard(noticeMutex_);
    if (!safe.isEmpty())
        windows_ << safe;
}

QString WebSession::terminationMessage()
{
    std::lock_guard lock(noticeMutex_);
    return terminationMessage_;
}

void WebSession::terminate(const QString &message)
{
    {
        std::lock_guard lock(noticeMutex_);
        terminationMessage_ = message;
    }
    terminated_ = true;
}

QStringList WebSession::takeMessages()
{
    std::lock_guard guard(noticeMutex_);
    return std::exchange(messages_, {});
}

QStringList WebSession::takeWindows()
{
    std::lock_guard guard(noticeMutex_);
    return std::exchange(windows_, {});
}
void WebSession::destroyReleasedPages() { released_.clear(); }
