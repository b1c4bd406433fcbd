// Client library start-up, status/error conversion, Attachment and createDatabase.

#include "data/fb_internal.h"

#include "common/win1251.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <cstdlib>
#include <iterator>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

using namespace Firebird;

namespace fb {
namespace detail {

namespace {

// Where the Linux engine keeps its lock table, event and monitoring shared memory
// unless FIREBIRD_LOCK says otherwise.
constexpr const char *kDefaultLockDir = "/tmp/firebird";

bool usableDirectory(const char *path)
{
    struct stat st {};
    if (::stat(path, &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && ::access(path, R_OK | W_OK | X_OK) == 0;
}

}  // namespace

void prepareEnvironment()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The embedded engine (a plain path as database) needs a lock folder this
        // process may write. The packaged default /tmp/firebird belongs to the
        // "firebird" user (mode 0770): a process outside that group gets "operating
        // system directive access failed" on its first attachment. Use a private
        // folder then. The engine opens a database file exclusively (ServerMode
        // Super), so a private lock folder does not let two engines share a file.
        if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
            return;
        struct stat st {};
        if (::stat(kDefaultLockDir, &st) == 0) {
            if (usableDirectory(kDefaultLockDir))
                return;
        } else if (usableDirectory("/tmp")) {
            return;  // the engine creates it
        }
        const QString dir = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::getuid());
        const QByteArray path = QFile::encodeName(dir);
        ::mkdir(path.constData(), 0700);
        if (usableDirectory(path.constData()))
            ::setenv("FIREBIRD_LOCK", path.constData(), 0);
    });
}

IMaster *master()
{
    static IMaster *instance = [] {
        prepareEnvironment();
        return fb_get_master_interface();
    }();
    return instance;
}

IUtil *util() { return master()->getUtilInterface(); }

}  // namespace detail

void ShutdownClient()
{
    using namespace detail;
    try {
        call([](ThrowStatusWrapper *st) {
            Ref<IProvider> provider(master()->getDispatcher());
            provider->shutdown(st, 0, fb_shutrsn_app_stopped);
            return 0;
        });
    } catch (const Error &) {
        // Nothing is left to tell at the very end of the process.
    }
}

namespace detail {

QString decodeMessage(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return win1251::toUnicode(bytes);
}

QString statusText(const IStatus *status)
{
    if (!status)
        return QStringLiteral("Firebird: unknown error");
    QByteArray buffer(16 * 1024, '\0');
    const unsigned length =
        util()->formatStatus(buffer.data(), unsigned(buffer.size()), const_cast<IStatus *>(status));
    buffer.truncate(int(qMin<unsigned>(length, unsigned(buffer.size()))));
    const int nul = buffer.indexOf('\0');
    if (nul >= 0)
        buffer.truncate(nul);
    QString text = decodeMessage(buffer).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Firebird: unknown error");
    return text;
}

bool isConnectionLoss(const IStatus *status)
{
    if (!status)
        return false;
    static const ISC_STATUS kLoss[] = {isc_network_error, isc_net_connect_err, isc_net_read_err,
                                       isc_net_write_err, isc_lost_db_connection, isc_conn_lost,
                                       isc_att_shutdown,  isc_shutdown,        isc_bad_db_handle,
                                       isc_unavailable};
    const ISC_STATUS *vector = status->getErrors();
    // Clusters of (argument type, value); a string with its length takes one more.
    for (int i = 0; vector && vector[i] != isc_arg_end;) {
        const ISC_STATUS type = vector[i];
        if (type == isc_arg_gds && std::find(std::begin(kLoss), std::end(kLoss), vector[i + 1]) != std::end(kLoss))
            return true;
        i += type == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

void throwStatus(const IStatus *status)
{
    if (isConnectionLoss(status))
        throw ConnectionLost(statusText(status), true);
    throw Error(statusText(status));
}

}  // namespace detail

using namespace detail;

std::mutex &registryMutex()
{
    static std::mutex mutex;
    return mutex;
}

namespace {

bool isEmbeddedPath(const QString &database)
{
    // "host:/path", "host/port:/path", "inet://host/path"... go through the server; a
    // path without a host part is opened by the engine inside this process.
    if (database.startsWith(u'/'))
        return true;
    if (database.contains(u':'))
        return false;
    return true;  // relative path or alias without host
}

// DPB shared by attach and create.
Owned<IXpbBuilder> connectionBlock(ThrowStatusWrapper *st, const ConnectParams &params)
{
    Owned<IXpbBuilder> dpb(util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0));
    if (!params.user.isEmpty())
        dpb->insertString(st, isc_dpb_user_name, params.user.toUtf8().constData());
    if (!params.password.isEmpty())
        dpb->insertString(st, isc_dpb_password, params.password.toUtf8().constData());
    dpb->insertString(st, isc_dpb_lc_ctype, "WIN1251");
    dpb->insertInt(st, isc_dpb_sql_dialect, 3);
    if (isEmbeddedPath(params.database)) {
        // A plain path means the engine in this process, never a server found through
        // the Loopback provider (which would also turn "file not found" into a
        // confusing network error).
        dpb->insertString(st, isc_dpb_config, "Providers = Engine12");
    } else if (params.connectTimeout > 0) {
        dpb->insertInt(st, isc_dpb_connect_timeout, params.connectTimeout);
    }
    return dpb;
}

}  // namespace

namespace detail {

IAttachment *attachNow(const ConnectParams &params)
{
    const QByteArray database = params.database.toUtf8();
    return call([&](ThrowStatusWrapper *st) {
        Owned<IXpbBuilder> dpb = connectionBlock(st, params);
        Ref<IProvider> provider(master()->getDispatcher());
        return provider->attachDatabase(st, database.constData(), dpb->getBufferLength(st),
                                        dpb->getBuffer(st));
    });
}

// One connect try on a thread of its own, and whether anybody still waits for it.
struct ConnectTry {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool awaited = true;
    IAttachment *made = nullptr;
    std::exception_ptr failure;
};

QString silenceText(std::chrono::milliseconds limit)
{
    return QStringLiteral("сервер бази даних не відповідає %1 с").arg(double(limit.count()) / 1000.0);
}

IAttachment *attach(const ConnectParams &params)
{
    if (params.callLimit.count() <= 0 || isEmbeddedPath(params.database))
        return attachNow(params);
    auto attempt = std::make_shared<ConnectTry>();
    std::thread([attempt, params] {
        IAttachment *made = nullptr;
        std::exception_ptr failure;
        try {
            made = attachNow(params);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(attempt->mutex);
        if (!attempt->awaited) {
            if (made)
                letGo(made);
            return;
        }
        attempt->made = made;
        attempt->failure = failure;
        attempt->done = true;
        attempt->finished.notify_all();
    }).detach();
    std::unique_lock lock(attempt->mutex);
    if (!attempt->finished.wait_for(lock, params.callLimit, [&] { return attempt->done; })) {
        attempt->awaited = false;
        throw ConnectionLost(QStringLiteral("Немає зв'язку з базою даних [%1]: %2")
                                 .arg(params.database, silenceText(params.callLimit)),
                             false);
    }
    if (attempt->failure)
        std::rethrow_exception(attempt->failure);
    return attempt->made;
}

void letGo(IAttachment *attachment)
{
    CallWatch::forget(attachment);
    Status status;
    try {
        attachment->detach(status.get());  // releases the interface on success
    } catch (const FbException &) {
        attachment->release();
    }
}

}  // namespace detail

Attachment::Attachment() : impl_(std::make_unique<Impl>()) {}

Attachment::~Attachment()
{
    try {
        close();
    } catch (...) {
    }
    // Whatever still refers to this object must not reach it any more.
    std::lock_guard lock(registryMutex());
    for (Transaction::Impl *t : impl_->transactions)
        t->attachment = nullptr;
    impl_->transactions.clear();
}

Attachment::Impl &Attachment::impl() { return *impl_; }

bool Attachment::isOpen() const { return impl_->open; }

const ConnectParams &Attachment::params() const { return impl_->params; }

void Attachment::open(const ConnectParams &params)
{
    close();
    impl_->attachment = attach(params);
    impl_->database = params.database;
    impl_->params = params;
    impl_->open = true;
    if (impl_->counters)
        impl_->counters->connected.set(1);
}

void Attachment::close()
{
    if (!impl_->open)
        return;
    impl_->open = false;
    impl_->reconnector.reset();
    if (impl_->counters)
        impl_->counters->connected.set(0);
    // Ending the work of a connection whose network went silent may not wait without end
    // either: past the limit, the rest fails at once.
    CallWatch watch(impl_->attachment, impl_->params.callLimit);

    std::vector<EventListener::Impl *> listeners;
    std::vector<Transaction::Impl *> transactions;
    {
        std::lock_guard lock(registryMutex());
        listeners.swap(impl_->listeners);
        transactions = impl_->transactions;
    }
    for (EventListener::Impl *listener : listeners)
        shutdownListener(listener);
    for (Transaction::Impl *t : transactions) {
        t->closeQueries();
        t->rollbackQuietly();
    }
    impl_->statements.clear();
    impl_->endReader();

    IAttachment *attachment = impl_->attachment;
    impl_->attachment = nullptr;
    impl_->database.clear();
    if (!attachment)
        return;  // lost: nothing is left to detach
    CallWatch::forget(attachment);
    call([&](ThrowStatusWrapper *st) {
        try {
            attachment->detach(st);  // releases the interface on success
        } catch (...) {
            attachment->release();
            throw;
        }
    });
}

void Attachment::createDatabase(const ConnectParams &params, int pageSize, const QString &defaultCharset)
{
    const QByteArray database = params.database.toUtf8();
    const QByteArray charset = defaultCharset.trimmed().toUpper().toLatin1();
    call([&](ThrowStatusWrapper *st) {
        Owned<IXpbBuilder> dpb = connectionBlock(st, params);
        if (pageSize > 0)
            dpb->insertInt(st, isc_dpb_page_size, pageSize);
        if (!charset.isEmpty())
            dpb->insertString(st, isc_dpb_set_db_charset, charset.constData());
        Ref<IProvider> provider(master()->getDispatcher());
        Ref<IAttachment> attachment(provider->createDatabase(
            st, database.constData(), dpb->getBufferLength(st), dpb->getBuffer(st)));
        attachment->detach(st);
        attachment.release();  // detach released it
    });
}

}  // namespace fb
