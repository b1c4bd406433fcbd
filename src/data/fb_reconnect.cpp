// A lost connection and the search for a new one.

#include "data/fb_internal.h"

using namespace Firebird;

namespace fb {

using namespace detail;

namespace detail {

struct Reconnector::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    int underWay = 0;
    IAttachment *made = nullptr;
    QString lastError;
};

Reconnector::Reconnector(ConnectParams params, std::function<void()> notice)
    : params_(std::move(params)), notice_(std::move(notice)), state_(std::make_shared<State>()),
      thread_([this] { run(); })
{
}

Reconnector::~Reconnector()
{
    IAttachment *made = nullptr;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        made = std::exchange(state_->made, nullptr);
    }
    state_->changed.notify_all();
    thread_.join();
    if (made)
        letGo(made);
}

void Reconnector::launchTry()
{
    std::thread([state = state_, params = params_] {
        IAttachment *made = nullptr;
        QString error;
        try {
            made = attachNow(params);
        } catch (const Error &failure) {
            error = failure.text();
        }
        IAttachment *unwanted = nullptr;
        {
            std::lock_guard lock(state->mutex);
            --state->underWay;
            if (made && (state->stopping || state->made))
                unwanted = made;
            else if (made)
                state->made = made;
            else
                state->lastError = error;
        }
        state->changed.notify_all();
        if (unwanted)
            letGo(unwanted);
    }).detach();
}

void Reconnector::run()
{
    std::unique_lock lock(state_->mutex);
    for (;;) {
        if (state_->stopping)
            return;
        if (state_->made)
            break;
        if (state_->underWay < kMaxTriesUnderWay) {
            ++state_->underWay;
            launchTry();
        }
        state_->changed.wait_for(lock, kReconnectInterval, [this] { return state_->stopping || state_->made; });
    }
    lock.unlock();
    if (notice_)
        notice_();
}

IAttachment *Reconnector::take()
{
    std::lock_guard lock(state_->mutex);
    return std::exchange(state_->made, nullptr);
}

QString Reconnector::lastError()
{
    std::lock_guard lock(state_->mutex);
    return state_->lastError;
}

}  // namespace detail

IAttachment *Attachment::Impl::require()
{
    if (attachment)
        return attachment;
    if (!open)
        throw Error(QStringLiteral("The database connection is not open"));
    // Only what the background has already made: a statement never waits on the network
    // for a connection (it may hold the service lock).
    if (restore())
        return attachment;
    const QString latest = reconnector ? reconnector->lastError() : QString();
    throw ConnectionLost(QStringLiteral("Немає зв'язку з базою даних [%1]: %2")
                             .arg(database, latest.isEmpty() ? lostReason : latest),
                         false);
}

bool Attachment::Impl::restore()
{
    if (attachment)
        return true;
    IAttachment *made = reconnector ? reconnector->take() : nullptr;
    if (!made)
        return false;
    reconnector.reset();
    attachment = made;
    lostReason.clear();
    if (counters) {
        counters->reconnects.add();
        counters->connected.set(1);
    }
    if (watcher)
        watcher(true, {});
    return true;
}

QString Attachment::Impl::silentReason() const { return silenceText(params.callLimit); }

void Attachment::Impl::lose(const QString &reason, Transaction::Impl *failing)
{
    if (!attachment)
        return;
    // First of all: a commit still queued on the old connection must never land after the
    // caller has been told it failed, and nothing below may wait on a dead link.
    abortConnection(attachment);
    std::vector<EventListener::Impl *> queued;
    std::vector<Transaction::Impl *> begun;
    {
        std::lock_guard lock(registryMutex());
        queued.swap(listeners);
        begun = transactions;
    }
    for (EventListener::Impl *listener : queued)
        shutdownListener(listener);
    for (Transaction::Impl *t : begun) {
        // The caller of the failing statement hears of it; the others learn at their end.
        const bool wrote = t->wrote && t != failing;
        t->rollbackQuietly();
        t->lostWrites = wrote;
    }
    statements.clear();
    endReader();
    letGo(std::exchange(attachment, nullptr));
    lostReason = reason;
    reconnector = std::make_unique<Reconnector>(params, reconnectNotice);
    if (counters)
        counters->connected.set(0);
    if (watcher)
        watcher(false, reason);
}

void Attachment::setWatcher(Watcher watcher) { impl_->watcher = std::move(watcher); }

void Attachment::setCounters(metrics::DatabaseCounters *counters) { impl_->counters = counters; }

void Attachment::setReconnectNotice(std::function<void()> notice) { impl_->reconnectNotice = std::move(notice); }

bool Attachment::restore() { return impl_->open && impl_->restore(); }

}  // namespace fb
