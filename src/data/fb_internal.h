#pragma once

// Internals shared by the fb*.cpp files; not part of the public API of data/fb.h.

#include "data/fb.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fb::detail {

// The client library's master interface. The first call prepares the process
// environment the embedded engine needs (see prepareEnvironment) before the library
// initialises itself.
Firebird::IMaster *master();
Firebird::IUtil *util();

// Sets FIREBIRD_LOCK to a private folder when it is unset and the engine's default lock
// folder (/tmp/firebird) cannot be used by this process. Idempotent.
void prepareEnvironment();

// Text of a status vector (IUtil::formatStatus), decoded as UTF-8 when valid and as
// Windows-1251 otherwise (messages may quote texts from the database).
QString statusText(const Firebird::IStatus *status);
QString decodeMessage(const QByteArray &bytes);
// Whether the status says the connection to the database is gone or cannot be made.
bool isConnectionLoss(const Firebird::IStatus *status);
// Error, or ConnectionLost (outcome unknown) when the connection is what failed.
[[noreturn]] void throwStatus(const Firebird::IStatus *status);

// A ThrowStatusWrapper over a fresh IStatus, disposed with this object.
class Status {
public:
    Status() : wrapper_(master()->getStatus()) {}
    ~Status() { wrapper_.dispose(); }
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;
    Firebird::ThrowStatusWrapper *get() { return &wrapper_; }

private:
    Firebird::ThrowStatusWrapper wrapper_;
};

// Runs f(ThrowStatusWrapper*) and turns a Firebird failure into fb::Error.
template <class F>
auto call(F &&f) -> decltype(f(static_cast<Firebird::ThrowStatusWrapper *>(nullptr)))
{
    Status status;
    try {
        return f(status.get());
    } catch (const Firebird::FbException &e) {
        throwStatus(e.getStatus());
    }
}

// Owning pointers for reference counted and disposable Firebird interfaces.
struct Releaser {
    template <class T>
    void operator()(T *p) const { p->release(); }
};
struct Disposer {
    template <class T>
    void operator()(T *p) const { p->dispose(); }
};
template <class T>
using Ref = std::unique_ptr<T, Releaser>;
template <class T>
using Owned = std::unique_ptr<T, Disposer>;

// --- SQL text --------------------------------------------------------------------

// Offsets of the parameter markers ('?') of a statement, skipping string literals
// (also q'{...}' and introducer/hex forms), quoted identifiers and comments.
std::vector<int> parameterMarkers(const QString &sql);

// Whether the statement is EXECUTE BLOCK (whose input parameter declarations take bare
// markers only).
bool isExecuteBlock(const QString &sql);

// Rewrites marker i into CAST(? AS VARCHAR(n)) with n = widths[i] when widths[i] > 0;
// markers with widths[i] <= 0 (or beyond widths) stay as they are.
QString castTextMarkers(const QString &sql, const std::vector<int> &widths);

// --- Event parameter blocks (isc_event_block / isc_event_counts equivalents) -----

QByteArray eventBlock(const std::vector<QByteArray> &names);  // counts 0
// Counts of an event block by name, in block order.
std::vector<std::pair<QByteArray, quint32>> eventCounts(const unsigned char *block, unsigned length);

}  // namespace fb::detail

namespace fb {

namespace detail {

// Prepared statements of one attachment by their SQL text, so a statement run again
// and again (every phone's status poll) is prepared once. A statement is taken out
// while it runs and put back after it, so two threads never run the same one.
class StatementCache {
public:
    StatementCache() = default;
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // The kept statement of this text, now the caller's; null when there is none.
    Firebird::IStatement *take(const QString &sql);
    // Keeps the statement for the next take of its text, or frees it when one is kept.
    void put(const QString &sql, Firebird::IStatement *statement);
    // Frees every kept statement (before the attachment detaches).
    void clear();

private:
    std::mutex mutex_;
    QHash<QString, Firebird::IStatement *> statements_;
};

// A new attachment for a lost one, sought in the background: a try at once, then a new
// one every kReconnectInterval, each on a thread of its own, so that a try that waits out
// its connect time-out on a silent network does not hold back the next one (at most
// kMaxTriesUnderWay at a time). The first attachment made waits to be taken; any made
// after it, or after the reconnector has gone, is let go.
class Reconnector {
public:
    Reconnector(ConnectParams params, std::function<void()> notice);
    ~Reconnector();  // stops; an attachment never taken is let go
    Reconnector(const Reconnector &) = delete;
    Reconnector &operator=(const Reconnector &) = delete;

    // The new attachment, now the caller's; null while there is none yet.
    Firebird::IAttachment *take();
    QString lastError();

    static constexpr int kMaxTriesUnderWay = 8;

private:
    struct State;  // shared with the tries still under way
    void run();
    void launchTry();

    const ConnectParams params_;
    const std::function<void()> notice_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

// A new attachment with the connection parameters, made on the calling thread; throws
// Error or ConnectionLost.
Firebird::IAttachment *attachNow(const ConnectParams &params);
// The same, waited for at most the call limit when there is one: with a call limit, the attachment is made on a thread of its own and waited for at most that
// long: a link that goes silent in the middle of the handshake then holds only that
// thread, which lets go of whatever it makes once it is no longer awaited.
Firebird::IAttachment *attach(const ConnectParams &params);

// Why a connection was given up: no answer within the limit.
QString silenceText(std::chrono::milliseconds limit);
// Detaches, or only lets the interface go when the connection cannot be told.
void letGo(Firebird::IAttachment *attachment);
// Closes the connection's socket at once (the client library's abort): every call waiting
// on it fails, and nothing queued on it reaches the server any more.
void abortConnection(Firebird::IAttachment *attachment);

// A call into the client library that may not wait longer than its limit: past it, the
// watchdog thread aborts the connection (abortConnection), and the waiting call fails as
// a lost connection. A plain cancel would travel the same dead link and free nothing.
// Watches nest; a limit of zero or no attachment watches nothing.
class CallWatch {
public:
    CallWatch(Firebird::IAttachment *attachment, std::chrono::milliseconds limit);
    ~CallWatch();
    CallWatch(const CallWatch &) = delete;
    CallWatch &operator=(const CallWatch &) = delete;

    // Whether the limit was passed and the connection aborted.
    bool expired() const { return expired_.load(); }
    std::chrono::milliseconds limit() const { return limit_; }

    // Rows keep arriving: the limit of this thread's innermost watch (the call's own)
    // starts again, so a long read that never stalls is not cut.
    static void progress();
    // The attachment is about to be let go: no watch may abort it any more.
    static void forget(Firebird::IAttachment *attachment);

private:
    friend class Watchdog;
    Firebird::IAttachment *attachment_;
    const std::chrono::milliseconds limit_;
    const bool registered_;
    std::atomic<std::int64_t> due_{0};  // steady clock, nanoseconds
    std::atomic<bool> expired_{false};
    CallWatch *outer_ = nullptr;  // the watch this thread had before
};

}  // namespace detail

struct Attachment::Impl {
    Firebird::IAttachment *attachment = nullptr;  // null while the connection is lost
    QString database;
    bool open = false;
    ConnectParams params;  // of the open connection, for making it again
    QString lostReason;
    Watcher watcher;
    metrics::DatabaseCounters *counters = nullptr;
    std::function<void()> reconnectNotice;
    std::unique_ptr<detail::Reconnector> reconnector;  // while the connection is lost

    // The read-only read-committed transaction of Query::openReadOnly: started by its
    // first use and kept open until the attachment closes. Such a transaction holds no
    // garbage collection back and sees every commit made before each statement.
    Firebird::ITransaction *reader = nullptr;
    std::mutex readerMutex;
    Firebird::ITransaction *ensureReader();
    void endReader();  // quietly
    detail::StatementCache statements;  // prepared SELECTs of openReadOnly

    // Transactions and listeners created over this attachment, so closing it can end
    // them first (an attachment with an active transaction cannot be detached, and
    // queued events must be cancelled before it goes away). Guarded by registryMutex().
    std::vector<Transaction::Impl *> transactions;
    std::vector<EventListener::Impl *> listeners;

    // The live attachment; takes a new one found meanwhile. Error when not open,
    // ConnectionLost while the connection is lost.
    Firebird::IAttachment *require();
    bool restore();
    // The connection is gone: everything begun on it is let go (quietly, it answers no
    // more), the transactions that had written are marked, and a new connection is
    // sought. `failing` is the transaction whose statement noticed: its caller hears.
    void lose(const QString &reason, Transaction::Impl *failing);
    // Why a call that passed the call limit failed.
    QString silentReason() const;
    // Runs f(status) over this attachment: a lost connection is noticed and rethrown
    // as ConnectionLost, its outcome unknown when `*sent` was set.
    template <class F>
    auto guarded(Transaction::Impl *transaction, const bool *sent, F &&f) -> decltype(detail::call(f));
};

// Guards the links between attachments, transactions and listeners.
std::mutex &registryMutex();

// Cancels a listener's queued request for good (Attachment::close, which has already
// taken the listener off its list).
void shutdownListener(EventListener::Impl *listener);

struct Transaction::Impl {
    Transaction *owner = nullptr;
    Attachment::Impl *attachment = nullptr;  // null once the attachment object is gone
    Firebird::ITransaction *transaction = nullptr;
    bool wrote = false;      // a statement that may write ran since the start
    bool lostWrites = false; // it had written when its connection was lost

    Firebird::ITransaction *ensureStarted();
    Firebird::IAttachment *requireAttachment() const;
    void closeQueries();
    void rollbackQuietly();  // ends an active transaction without throwing
};

template <class F>
auto Attachment::Impl::guarded(Transaction::Impl *transaction, const bool *sent, F &&f) -> decltype(detail::call(f))
{
    QString reason;
    {
        detail::CallWatch watch(attachment, params.callLimit);
        try {
            return detail::call(f);
        } catch (const ConnectionLost &lost) {
            reason = watch.expired() ? silentReason() : lost.text();
            if (watch.expired() && counters)
                counters->callsAborted.add();
        }
    }
    lose(reason, transaction);
    throw ConnectionLost(reason, sent && *sent);
}

}  // namespace fb
