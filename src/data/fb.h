#pragma once

// A thin RAII layer over the Firebird client library. Values always travel as
// bound parameters; texts cross the wire as Windows-1251 and appear here as QString.

#include "common/metrics.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <variant>
#include <vector>

namespace fb {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message);
    QString text() const { return QString::fromUtf8(what()); }
};

// The connection to the database is gone (the server stopped or restarted, the network
// failed) or has not come back yet. The statement did not change anything, unless
// outcomeUnknown(): it was on its way when the connection went, and may have.
class ConnectionLost : public Error {
public:
    ConnectionLost(const QString &message, bool outcomeUnknown);
    bool outcomeUnknown() const { return outcomeUnknown_; }

private:
    bool outcomeUnknown_;
};

// std::monostate is SQL NULL.
using Value = std::variant<std::monostate, qint64, double, QString, QDate, QTime, QDateTime>;

class Param {
public:
    Param(std::nullptr_t) {}
    Param(int v) : value_(qint64(v)) {}
    Param(qint64 v) : value_(v) {}
    Param(double v) : value_(v) {}
    Param(const QString &v) : value_(v) {}
    Param(const char *utf8) : value_(QString::fromUtf8(utf8)) {}
    Param(const QDate &v) : value_(v) {}
    Param(const QTime &v) : value_(v) {}
    Param(const QDateTime &v) : value_(v) {}
    const Value &value() const { return value_; }

private:
    Value value_;
};
using Params = std::vector<Param>;

struct ConnectParams {
    QString database;  // "host:/path/X.FDB", or a plain path for the embedded engine
    QString user;
    QString password;
    int connectTimeout = 0;  // seconds to wait for a server; 0: the client library's own
    // The longest one call into the client library may wait on this connection (connect,
    // prepare, execute, each fetch, commit, rollback); 0: no limit. A call that passes it
    // has its connection aborted from another thread and fails as ConnectionLost: across
    // a network that went silent TCP reports nothing, and the call would wait for hours.
    std::chrono::milliseconds callLimit{0};
    int lockTimeout = 0;  // seconds a statement waits for a row another transaction holds; 0: waits
};

// Stops the client library and the embedded engine; call once at the end of the
// process, after every attachment is closed. Left to the exit handlers, the engine's
// threads may outlive its unloaded plugin and crash the exit.
void ShutdownClient();

// Text of a value as the operator window shows it (see RegionalFormat); "" for NULL.
QString valueText(const Value &value);

// How often a lost connection is sought again.
inline constexpr std::chrono::seconds kReconnectInterval{2};

// A connection that outlives its server's restarts and silent networks. The statement
// that meets a lost connection (or passes the call limit) fails with ConnectionLost; the
// old connection is aborted, so nothing still queued on it can land later, and a new one
// is sought in the background at once and then every kReconnectInterval. Statements
// meanwhile fail at once, without waiting on the network, until a new connection has
// been made; the next statement takes it. What was begun on the old connection is gone:
// its prepared statements, transactions and event listeners. A transaction that had
// written and was neither committed nor rolled back says so at its next commit or
// statement, so that no caller takes half a change for a whole one.
class Attachment {
public:
    // Told when the connection is lost and when a new one has been taken, on the thread
    // whose statement noticed.
    using Watcher = std::function<void(bool connected, const QString &reason)>;

    Attachment();
    ~Attachment();
    Attachment(const Attachment &) = delete;
    Attachment &operator=(const Attachment &) = delete;

    // Dialect 3, lc_ctype WIN1251.
    void open(const ConnectParams &params);
    void close();
    // Opened and not closed again, whether or not the connection is lost meanwhile.
    bool isOpen() const;

    // What the connection was opened with.
    const ConnectParams &params() const;

    void setWatcher(Watcher watcher);
    // Where the connection's state, its reconnections and its calls aborted at the call
    // limit are counted for the service's figures; none by default.
    void setCounters(metrics::DatabaseCounters *counters);
    // Called on the background thread as soon as a new connection is ready to be taken.
    void setReconnectNotice(std::function<void()> notice);
    // Takes a new connection found in the background, when there is one; true when the
    // connection is usable now. Never waits on the network.
    bool restore();

    // Creates the database file and detaches from it again.
    static void createDatabase(const ConnectParams &params, int pageSize, const QString &defaultCharset);

    struct Impl;
    Impl &impl();

private:
    std::unique_ptr<Impl> impl_;
};

namespace detail {
class CallWatch;
}

// Bounds a piece of work on one connection as a whole, beside the limit of each call:
// past `limit` the connection is aborted and whatever call waits fails as ConnectionLost.
class WorkLimit {
public:
    WorkLimit(Attachment &attachment, std::chrono::milliseconds limit);
    ~WorkLimit();
    WorkLimit(const WorkLimit &) = delete;
    WorkLimit &operator=(const WorkLimit &) = delete;

private:
    std::unique_ptr<detail::CallWatch> watch_;
};

class Query;

// Snapshot transaction, started by the first statement run under it and ended only
// by an explicit commit. Committing closes every query open under it; destruction
// rolls back what was never committed.
class Transaction {
public:
    explicit Transaction(Attachment &attachment);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool active() const;
    void commit();
    void commitIfActive() { if (active()) commit(); }
    void rollback();

    Attachment &attachment() { return attachment_; }

    struct Impl;
    Impl &impl();

private:
    friend class Query;
    Attachment &attachment_;
    std::unique_ptr<Impl> impl_;
    std::vector<Query *> queries_;
};

class Field {
public:
    Field() = default;
    Field(QString name, Value value) : name_(std::move(name)), value_(std::move(value)) {}
    const QString &name() const { return name_; }
    const Value &value() const { return value_; }
    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    QString asText() const { return valueText(value_); }
    qint64 asInt() const;      // 0 for NULL; texts are converted, non-numbers throw Error
    double asDouble() const;   // same
    QDate asDate() const;
    QTime asTime() const;
    QDateTime asDateTime() const;

private:
    QString name_;
    Value value_;
};

// A statement run under a transaction. A SELECT fetches its rows into memory, like
// the buffered datasets the operator grids are bound to: the cursor moves freely.
class Query {
public:
    explicit Query(Transaction &transaction);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Transaction &transaction() { return transaction_; }

    void open(const QString &sql, const Params &params = {});
    // A plain SELECT in the connection's shared read-only read-committed transaction,
    // prepared once per text: it sees every commit made before it and neither starts
    // nor ends a transaction, so it writes nothing to the database file. The query still
    // belongs to its own transaction: a commit there closes it as usual.
    void openReadOnly(const QString &sql, const Params &params = {});
    int execute(const QString &sql, const Params &params = {});  // rows affected
    void close();
    bool isOpen() const { return open_; }

    int recordCount() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const;
    bool bof() const;
    int recNo() const { return position_ + 1; }  // 1-based; 0 when empty

    int fieldCount() const { return int(names_.size()); }
    const QStringList &fieldNames() const { return names_; }
    Field field(const QString &name) const;  // current row; Error for an unknown name
    Field field(int index) const;
    const std::vector<std::vector<Value>> &rows() const { return rows_; }

private:
    void setResult(QStringList names, std::vector<std::vector<Value>> rows);

    Transaction &transaction_;
    bool open_ = false;
    QStringList names_;
    std::vector<std::vector<Value>> rows_;
    int position_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

// Firebird event notification. The handler runs on a delivery thread of the listener
// with the event's name and how often it was posted since the last delivery.
class EventListener {
public:
    using Handler = std::function<void(const QString &event, unsigned count)>;
    EventListener(Attachment &attachment, const QStringList &events, Handler handler);
    ~EventListener();
    EventListener(const EventListener &) = delete;
    EventListener &operator=(const EventListener &) = delete;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace fb
