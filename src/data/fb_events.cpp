// fb::EventListener: POST_EVENT notifications through IAttachment::queEvents.
//
// The client library calls IEventCallback::eventCallbackFunction on its own thread
// (the engine's event watcher, or the remote client's event thread) once per queued
// request. That callback only hands the updated event block to the listener's
// delivery thread, which compares the counts (isc_event_counts), queues the request
// again and calls the handler. Re-queuing from inside the library's callback is not
// something the library promises to support, and a thread of our own lets the
// destructor know for certain that no handler call is running or will follow.

#include "data/fb_internal.h"

#include "common/win1251.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <thread>
#include <utility>

using namespace Firebird;

namespace fb {

using namespace detail;

namespace detail {

QByteArray eventBlock(const std::vector<QByteArray> &names)
{
    QByteArray block;
    block.append(char(1));  // EPB_version1
    for (const QByteArray &name : names) {
        block.append(char(quint8(name.size())));
        block.append(name);
        block.append(4, '\0');  // count, little-endian (vax) 32 bit
    }
    return block;
}

std::vector<std::pair<QByteArray, quint32>> eventCounts(const unsigned char *block, unsigned length)
{
    std::vector<std::pair<QByteArray, quint32>> counts;
    if (!block || length < 1)
        return counts;
    unsigned at = 1;  // version byte
    while (at < length) {
        const unsigned nameLength = block[at++];
        if (at + nameLength + 4 > length)
            break;
        QByteArray name(reinterpret_cast<const char *>(block + at), qsizetype(nameLength));
        at += nameLength;
        const quint32 count = quint32(block[at]) | quint32(block[at + 1]) << 8 | quint32(block[at + 2]) << 16 |
                              quint32(block[at + 3]) << 24;
        at += 4;
        counts.emplace_back(std::move(name), count);
    }
    return counts;
}

}  // namespace detail

namespace {

// What the library's thread and the delivery thread share.
struct Mailbox {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool delivered = false;
    QByteArray block;  // the latest updated event block
};

// Reference counted as the library expects: it keeps the callback while a request is
// queued, so the object may outlive the listener; it then only drops deliveries.
class Callback final : public IEventCallbackImpl<Callback, ThrowStatusWrapper> {
public:
    explicit Callback(std::shared_ptr<Mailbox> mailbox) : mailbox_(std::move(mailbox)) {}

    void addRef() override { ++references_; }
    int release() override
    {
        if (--references_ == 0) {
            delete this;
            return 0;
        }
        return 1;
    }

    void eventCallbackFunction(unsigned length, const unsigned char *events) override
    {
        std::lock_guard lock(mailbox_->mutex);
        if (mailbox_->stopping)
            return;
        // A zero length comes when a request ends without events (cancelled, or the
        // connection went away): nothing to report, and nothing to queue again.
        if (!events || length == 0)
            return;
        mailbox_->block = QByteArray(reinterpret_cast<const char *>(events), qsizetype(length));
        mailbox_->delivered = true;
        mailbox_->wake.notify_one();
    }

private:
    std::shared_ptr<Mailbox> mailbox_;
    std::atomic<int> references_{1};
};

}  // namespace

struct EventListener::Impl {
    Attachment::Impl *owner = nullptr;  // guarded by registryMutex(); null once detached
    IAttachment *attachment = nullptr;  // own reference
    std::chrono::milliseconds callLimit{0};
    Handler handler;
    std::vector<QByteArray> names;
    QByteArray block;  // our event block: the counts we last saw
    bool primed = false;

    std::shared_ptr<Mailbox> mailbox = std::make_shared<Mailbox>();
    Callback *callback = nullptr;  // own reference
    IEvents *events = nullptr;     // the queued request; guarded by mailbox->mutex
    std::thread worker;
    bool shutDown = false;

    void queue();  // throws Error
    void run();
    // Returns true when the listener was shut down meanwhile (possibly destroyed by
    // the handler itself: then nothing of *this may be touched any more).
    bool deliver(const QByteArray &updated);
    void shutdown();
};

void EventListener::Impl::queue()
{
    // The delivered request is let go before the next one is queued: the remote client
    // cancels a request on the server when its interface goes, and the server may have
    // given the new request the same identifier.
    IEvents *previous = nullptr;
    {
        std::lock_guard lock(mailbox->mutex);
        previous = std::exchange(events, nullptr);
    }
    if (previous)
        previous->release();
    CallWatch watch(attachment, callLimit);
    IEvents *queued = call([&](ThrowStatusWrapper *st) {
        return attachment->queEvents(st, callback, unsigned(block.size()),
                                     reinterpret_cast<const unsigned char *>(block.constData()));
    });
    std::lock_guard lock(mailbox->mutex);
    events = queued;
}

void EventListener::Impl::run()
{
    for (;;) {
        QByteArray updated;
        {
            std::unique_lock lock(mailbox->mutex);
            mailbox->wake.wait(lock, [&] { return mailbox->stopping || mailbox->delivered; });
            if (mailbox->stopping)
                return;
            mailbox->delivered = false;
            updated = mailbox->block;
        }
        if (deliver(updated))
            return;
    }
}

bool EventListener::Impl::deliver(const QByteArray &updated)
{
    // isc_event_counts: how much each count grew since our block; then our block takes
    // the new counts and is queued again.
    const auto before = eventCounts(reinterpret_cast<const unsigned char *>(block.constData()), unsigned(block.size()));
    const auto after = eventCounts(reinterpret_cast<const unsigned char *>(updated.constData()), unsigned(updated.size()));
    std::map<QByteArray, quint32> newCounts(after.begin(), after.end());

    std::vector<std::pair<QString, unsigned>> fired;
    for (const auto &[name, oldCount] : before) {
        quint32 count = oldCount;
        auto found = newCounts.find(name);
        if (found != newCounts.end())
            count = found->second;
        if (count > oldCount)
            fired.emplace_back(win1251::toUnicode(name), unsigned(count - oldCount));
        newCounts[name] = std::max(count, oldCount);
    }
    QByteArray next;
    next.append(char(1));
    for (const auto &[name, oldCount] : before) {
        const quint32 count = newCounts[name];
        next.append(char(quint8(name.size())));
        next.append(name);
        for (int shift = 0; shift < 32; shift += 8)
            next.append(char((count >> shift) & 0xff));
    }
    block = next;

    try {
        queue();
    } catch (const Error &) {
        // The connection is gone or closing: no more deliveries.
    }

    // The first delivery after queuing only tells the current counts.
    if (!primed) {
        primed = true;
        return false;
    }
    // Only locals from here on: a handler may end (even destroy) the listener.
    const std::shared_ptr<Mailbox> box = mailbox;
    const Handler handle = handler;
    auto stopping = [&box] {
        std::lock_guard lock(box->mutex);
        return box->stopping;
    };
    for (const auto &[name, count] : fired) {
        if (stopping())
            return true;
        try {
            handle(name, count);
        } catch (...) {
            // An exception must not end the delivery thread.
        }
    }
    return stopping();
}

void EventListener::Impl::shutdown()
{
    if (shutDown)
        return;
    shutDown = true;
    {
        std::lock_guard lock(mailbox->mutex);
        mailbox->stopping = true;
        mailbox->wake.notify_all();
    }
    if (worker.joinable()) {
        if (worker.get_id() == std::this_thread::get_id())
            worker.detach();  // destroyed from its own handler
        else
            worker.join();
    }
    IEvents *queued = nullptr;
    {
        std::lock_guard lock(mailbox->mutex);
        queued = events;
        events = nullptr;
    }
    if (queued) {
        CallWatch watch(attachment, callLimit);
        Status status;
        try {
            queued->cancel(status.get());  // releases the interface on success
        } catch (const FbException &) {
            queued->release();
        }
    }
    if (callback) {
        callback->release();
        callback = nullptr;
    }
    if (attachment) {
        attachment->release();
        attachment = nullptr;
    }
}

void shutdownListener(EventListener::Impl *listener)
{
    listener->shutdown();
    std::lock_guard lock(registryMutex());
    listener->owner = nullptr;
}

EventListener::EventListener(Attachment &attachment, const QStringList &events, Handler handler)
    : impl_(std::make_unique<Impl>())
{
    Impl &impl = *impl_;
    impl.handler = std::move(handler);
    for (const QString &event : events) {
        QByteArray name = win1251::fromUnicode(event.trimmed());
        if (name.isEmpty())
            continue;
        if (name.size() > 255)
            throw Error(QStringLiteral("Event name too long: %1").arg(event));
        if (std::find(impl.names.begin(), impl.names.end(), name) == impl.names.end())
            impl.names.push_back(name);
    }
    if (impl.names.empty())
        throw Error(QStringLiteral("EventListener: no event names"));

    Attachment::Impl &owner = attachment.impl();
    impl.attachment = owner.require();
    impl.attachment->addRef();
    impl.callLimit = owner.params.callLimit;
    impl.block = eventBlock(impl.names);
    impl.callback = new Callback(impl.mailbox);
    try {
        impl.queue();
        impl.worker = std::thread([&impl] { impl.run(); });
    } catch (...) {
        impl.shutdown();
        throw;
    }

    std::lock_guard lock(registryMutex());
    impl.owner = &owner;
    owner.listeners.push_back(&impl);
}

EventListener::~EventListener()
{
    Attachment::Impl *owner = nullptr;
    {
        std::lock_guard lock(registryMutex());
        owner = impl_->owner;
        if (owner) {
            auto &list = owner->listeners;
            list.erase(std::remove(list.begin(), list.end(), impl_.get()), list.end());
            impl_->owner = nullptr;
        }
    }
    impl_->shutdown();
}

}  // namespace fb
