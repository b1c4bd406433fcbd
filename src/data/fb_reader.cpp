// The shared read-only transaction of an attachment and its prepared statements.

#include "data/fb_internal.h"

#include <utility>

using namespace Firebird;

namespace fb {

using namespace detail;

namespace detail {

namespace {

// More distinct texts than this means statements built from varying texts: start over
// rather than grow without bound.
constexpr qsizetype kMaxKeptStatements = 64;

void freeQuietly(IStatement *statement)
{
    Status status;
    try {
        statement->free(status.get());  // releases the interface on success
    } catch (const FbException &) {
        statement->release();
    }
}

}  // namespace

IStatement *StatementCache::take(const QString &sql)
{
    std::lock_guard lock(mutex_);
    return statements_.take(sql);
}

void StatementCache::put(const QString &sql, IStatement *statement)
{
    std::vector<IStatement *> dropped;
    {
        std::lock_guard lock(mutex_);
        if (statements_.contains(sql)) {
            dropped.push_back(statement);
        } else {
            if (statements_.size() >= kMaxKeptStatements) {
                for (IStatement *kept : std::as_const(statements_))
                    dropped.push_back(kept);
                statements_.clear();
            }
            statements_.insert(sql, statement);
        }
    }
    for (IStatement *s : dropped)
        freeQuietly(s);
}

void StatementCache::clear()
{
    QHash<QString, IStatement *> statements;
    {
        std::lock_guard lock(mutex_);
        statements.swap(statements_);
    }
    for (IStatement *s : std::as_const(statements))
        freeQuietly(s);
}

}  // namespace detail

ITransaction *Attachment::Impl::ensureReader()
{
    IAttachment *att = require();
    {
        std::lock_guard lock(readerMutex);
        if (reader)
            return reader;
    }
    // Started outside the mutex: a lost connection ends the reader on the way.
    ITransaction *started = guarded(nullptr, nullptr, [&](ThrowStatusWrapper *st) {
        Owned<IXpbBuilder> tpb(util()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(st, isc_tpb_read_committed);
        tpb->insertTag(st, isc_tpb_rec_version);
        tpb->insertTag(st, isc_tpb_read);
        tpb->insertTag(st, isc_tpb_wait);
        return att->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
    });
    ITransaction *first = nullptr;
    {
        std::lock_guard lock(readerMutex);
        if (!reader)
            reader = started;
        first = reader;
    }
    if (first != started) {
        Status status;  // another thread was first
        try {
            started->commit(status.get());
        } catch (const FbException &) {
            started->release();
        }
    }
    return first;
}

void Attachment::Impl::endReader()
{
    ITransaction *t = nullptr;
    {
        std::lock_guard lock(readerMutex);
        std::swap(t, reader);
    }
    if (!t)
        return;
    Status status;
    try {
        t->commit(status.get());  // releases the interface on success
    } catch (const FbException &) {
        t->release();
    }
}

}  // namespace fb
