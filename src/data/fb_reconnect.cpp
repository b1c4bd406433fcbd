// A lost connection and the search for a new one.

#include "data/fb_internal.h"

using namespace Firebird;

namespace fb {

using namespace detail;

namespace detail {

namespace {

void letGo(IAttachment *attachment)
{
    Status status;
    try {
        attachment->detach(status.get());  // releases the interface on success
    } catch (const FbException &) {
        attachment->release();
    }
}

}  // namespace

Reconnector::Reconnector(ConnectParams params, std::function<void()> notice)
    : params_(std::move(params)), notice_(std::move(notice)), thread_([this] { run(); })
{
}

Reconnector::~Reconnector()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (made_)
        letGo(made_);
}

void Reconnector::run()
{
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            trying_ = true;
            wanted_ = false;
        }
        IAttachment *made = nullptr;
        QString error;
        try {
            made = attach(params_);
        } catch (const Error &failure) {
            error = failure.text();
        }
        std::unique_lock lock(mutex_);
        ++tries_;
        trying_ = false;
        if (made) {
            made_ = made;
            changed_.notify_all();
            lock.unlock();
            if (notice_)
                notice_();
            return;
        }
        lastError_ = error;
        changed_.notify_all();
        if (changed_.wait_for(lock, kReconnectInterval, [this] { return stopping_ || wanted_; }) && stopping_)
            return;
    }
}

IAttachment *Reconnector::take()
{
    std::lock_guard lock(mutex_);
    return std::exchange(made_, nullptr);
}

void Reconnector::awaitTry(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    // A try under way is not waited for, except the first after the loss: while the
    // server's host is unreachable a try lasts the whole connect time-out, and statements
    // rather fail at once than hold up everybody behind the service lock.
    if (made_ || (trying_ && tries_ > 0))
        return;
    const int until = tries_ + 1;
    wanted_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, limit, [&] { return tries_ >= until || made_ || stopping_; });
}

QString Reconnector::lastError()
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

}  // namespace detail

IAttachment *Attachment::Impl::require()
{
    if (attachment)
        return attachment;
    if (!open)
        throw Error(QStringLiteral("The database connection is not open"));
    // Sought now rather than at the next interval: a server that is back serves this
    // statement already.
    if (reconnector)
        reconnector->awaitTry(kReconnectWait);
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
    if (watcher)
        watcher(true, {});
    return true;
}

void Attachment::Impl::lose(const QString &reason, Transaction::Impl *failing)
{
    if (!attachment)
        return;
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
    if (watcher)
        watcher(false, reason);
}

void Attachment::setWatcher(Watcher watcher) { impl_->watcher = std::move(watcher); }

void Attachment::setReconnectNotice(std::function<void()> notice) { impl_->reconnectNotice = std::move(notice); }

bool Attachment::restore() { return impl_->open && impl_->restore(); }

}  // namespace fb
