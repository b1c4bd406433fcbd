// fb::Transaction: a snapshot, read-write, waiting transaction started on demand.

#include "data/fb_internal.h"

#include <algorithm>

using namespace Firebird;

namespace fb {

using namespace detail;

IAttachment *Transaction::Impl::requireAttachment() const
{
    if (!attachment)
        throw Error(QStringLiteral("The database connection of this transaction no longer exists"));
    return attachment->require();
}

namespace {

const QString kLostWrites = QStringLiteral(
    "Зв'язок з базою даних було втрачено до підтвердження змін: зміни не збережено");

}  // namespace

ITransaction *Transaction::Impl::ensureStarted()
{
    // Nothing may follow writes that went with the connection as if they were there.
    if (lostWrites)
        throw ConnectionLost(kLostWrites, false);
    if (transaction)
        return transaction;
    IAttachment *att = requireAttachment();
    transaction = attachment->guarded(this, nullptr, [&](ThrowStatusWrapper *st) {
        Owned<IXpbBuilder> tpb(util()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(st, isc_tpb_concurrency);
        tpb->insertTag(st, isc_tpb_write);
        tpb->insertTag(st, isc_tpb_wait);
        // A row left locked by another program must not stop the service either.
        if (attachment->params.lockTimeout > 0)
            tpb->insertInt(st, isc_tpb_lock_timeout, attachment->params.lockTimeout);
        return att->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
    });
    return transaction;
}

void Transaction::Impl::closeQueries()
{
    if (!owner)
        return;
    // Query::close only clears the query's own state; it never touches the list.
    for (Query *query : owner->queries_)
        query->close();
}

void Transaction::Impl::rollbackQuietly()
{
    wrote = lostWrites = false;
    ITransaction *t = transaction;
    transaction = nullptr;
    if (!t)
        return;
    CallWatch watch(attachment ? attachment->attachment : nullptr,
                    attachment ? attachment->params.callLimit : std::chrono::milliseconds(0));
    Status status;
    try {
        t->rollback(status.get());  // releases the interface on success
    } catch (const FbException &) {
        t->release();
    }
}

Transaction::Transaction(Attachment &attachment) : attachment_(attachment), impl_(std::make_unique<Impl>())
{
    impl_->owner = this;
    impl_->attachment = &attachment.impl();
    std::lock_guard lock(registryMutex());
    impl_->attachment->transactions.push_back(impl_.get());
}

Transaction::~Transaction()
{
    impl_->closeQueries();
    impl_->rollbackQuietly();
    std::lock_guard lock(registryMutex());
    if (impl_->attachment) {
        auto &list = impl_->attachment->transactions;
        list.erase(std::remove(list.begin(), list.end(), impl_.get()), list.end());
    }
}

Transaction::Impl &Transaction::impl() { return *impl_; }

bool Transaction::active() const { return impl_->transaction != nullptr || impl_->lostWrites; }

void Transaction::commit()
{
    if (impl_->lostWrites) {
        impl_->closeQueries();
        impl_->lostWrites = false;
        throw ConnectionLost(kLostWrites, false);
    }
    if (!impl_->transaction)
        throw Error(QStringLiteral("Cannot commit: the transaction is not active"));
    impl_->closeQueries();
    ITransaction *t = impl_->transaction;
    // A commit that meets a lost connection may or may not have reached the server.
    const bool sent = impl_->wrote;
    Attachment::Impl *att = impl_->attachment;
    if (!att)
        throw Error(QStringLiteral("The database connection of this transaction no longer exists"));
    att->guarded(impl_.get(), &sent, [&](ThrowStatusWrapper *st) { t->commit(st); });  // releases it on success
    impl_->transaction = nullptr;
    impl_->wrote = false;
}

void Transaction::rollback()
{
    impl_->closeQueries();
    impl_->wrote = impl_->lostWrites = false;
    ITransaction *t = impl_->transaction;
    if (!t)
        return;
    impl_->transaction = nullptr;
    const auto undo = [&](ThrowStatusWrapper *st) {
        try {
            t->rollback(st);  // releases the interface on success
        } catch (...) {
            t->release();  // a transaction that cannot even roll back is gone
            throw;
        }
    };
    if (impl_->attachment)
        impl_->attachment->guarded(impl_.get(), nullptr, undo);
    else
        call(undo);
}

}  // namespace fb
