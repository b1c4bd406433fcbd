#pragma once

// Internals shared by the fb*.cpp files; not part of the public API of data/fb.h.

#include "data/fb.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <mutex>
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

}  // namespace detail

struct Attachment::Impl {
    Firebird::IAttachment *attachment = nullptr;
    QString database;

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

    Firebird::IAttachment *require() const;  // Error when not open
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

    Firebird::ITransaction *ensureStarted();
    Firebird::IAttachment *requireAttachment() const;
    void closeQueries();
    void rollbackQuietly();  // ends an active transaction without throwing
};

}  // namespace fb
