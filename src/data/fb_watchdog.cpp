// The time limit of calls into the client library: one thread watches every call under
// way and aborts the connection of a call that has waited past its limit.

#include "data/fb_internal.h"

#include <algorithm>

using namespace Firebird;

namespace fb::detail {

namespace {

using Clock = std::chrono::steady_clock;

// How often the watchdog looks while calls are under way: the limits are seconds, so a
// tenth of a second late is on time.
constexpr auto kLookInterval = std::chrono::milliseconds(100);

thread_local CallWatch *innermost = nullptr;

std::int64_t dueAfter(std::chrono::milliseconds limit)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>((Clock::now() + limit).time_since_epoch()).count();
}

}  // namespace

void abortConnection(IAttachment *attachment)
{
    if (!attachment)
        return;
    Status status;
    try {
        attachment->cancelOperation(status.get(), fb_cancel_abort);
    } catch (const FbException &) {
        // An embedded or already broken connection has no socket to close.
    }
}

class Watchdog {
public:
    static Watchdog &instance()
    {
        static Watchdog watchdog;
        return watchdog;
    }

    void add(CallWatch *watch)
    {
        std::lock_guard lock(mutex_);
        watches_.push_back(watch);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        wake_.notify_all();
    }

    void remove(CallWatch *watch)
    {
        std::lock_guard lock(mutex_);
        watches_.erase(std::remove(watches_.begin(), watches_.end(), watch), watches_.end());
    }

    void forget(IAttachment *attachment)
    {
        std::lock_guard lock(mutex_);
        for (CallWatch *watch : watches_)
            if (watch->attachment_ == attachment)
                watch->attachment_ = nullptr;
    }

private:
    Watchdog() = default;
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    void run()
    {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (watches_.empty()) {
                wake_.wait(lock);
                continue;
            }
            const std::int64_t now = dueAfter(std::chrono::milliseconds(0));
            for (CallWatch *watch : watches_) {
                if (!watch->attachment_ || watch->expired_ || now < watch->due_.load())
                    continue;
                // Under the mutex: forget() cannot let the attachment go meanwhile. The abort
                // only closes a socket; it does not wait on the network.
                watch->expired_ = true;
                IAttachment *attachment = std::exchange(watch->attachment_, nullptr);
                abortConnection(attachment);
                forgetLocked(attachment);
            }
            wake_.wait_for(lock, kLookInterval);
        }
    }

    // One abort is enough for every call waiting on that connection.
    void forgetLocked(IAttachment *attachment)
    {
        for (CallWatch *watch : watches_)
            if (watch->attachment_ == attachment) {
                watch->attachment_ = nullptr;
                watch->expired_ = true;
            }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<CallWatch *> watches_;
    bool stopping_ = false;
    std::thread thread_;
};

CallWatch::CallWatch(IAttachment *attachment, std::chrono::milliseconds limit)
    : attachment_(limit.count() > 0 ? attachment : nullptr), limit_(limit), registered_(attachment_ != nullptr)
{
    if (!registered_)
        return;
    due_ = dueAfter(limit_);
    outer_ = innermost;
    innermost = this;
    Watchdog::instance().add(this);
}

CallWatch::~CallWatch()
{
    if (!registered_)
        return;
    Watchdog::instance().remove(this);
    innermost = outer_;
}

void CallWatch::progress()
{
    if (innermost)
        innermost->due_ = dueAfter(innermost->limit_);
}

void CallWatch::forget(IAttachment *attachment)
{
    if (attachment)
        Watchdog::instance().forget(attachment);
}

}  // namespace fb::detail

namespace fb {

WorkLimit::WorkLimit(Attachment &attachment, std::chrono::milliseconds limit)
    : watch_(std::make_unique<detail::CallWatch>(attachment.impl().attachment, limit))
{
}

WorkLimit::~WorkLimit() = default;

}  // namespace fb
