#include "mobile/mobile_server.h"

#include "common/metrics.h"
#include "common/regional_format.h"
#include "common/service_lock.h"
#include "mobile/java_account_commands.h"
#include "mobile/java_activ_rows.h"
#include "mobile/java_add_users.h"
#include "mobile/java_address_lists.h"
#include "mobile/java_framing.h"
#include "mobile/java_order_commands.h"
#include "mobile/java_order_state.h"
#include "mobile/java_settings_news.h"
#include "shell/service_context.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace {

constexpr int kRefreshIntervalMs = 10000;
constexpr int kDefaultUncodedMinutes = 10;
constexpr int kListenBacklog = 512;
constexpr int kActivWriteMs = 100;
// Answers a client has not taken yet: past this its requests wait (and, with Qt's read
// buffer full, so does the network), so a client that never reads costs a bounded
// buffer and writes a bounded log.
constexpr qint64 kUnsentCap = 256 * 1024;

bool paused(const QTcpSocket *socket) { return socket->bytesToWrite() > kUnsentCap; }

QString dottedAddress(const QTcpSocket *socket)
{
    bool isV4 = false;
    const quint32 v4 = socket->peerAddress().toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : socket->peerAddress().toString();
}

}  // namespace

MobileServer::MobileServer(ServiceContext &context, QObject *parent)
    : QObject(parent), context_(context), clock_([] { return QDateTime::currentDateTime(); })
{
    refreshTimer_.setInterval(kRefreshIntervalMs);
    connect(&server_, &JavaListener::newConnection, this, &MobileServer::acceptPending);
    // Out of descriptors, say: the listener rests a second between tries.
    connect(&server_, &JavaListener::stoppedAccepting, this, [this](const QString &reason) {
        logEvent(QStringLiteral("] ПОМИЛКА JAVA СЕРВЕРА: нові зєднання не приймаються (%1). Повторна спроба "
                                "щосекунди.")
                     .arg(reason));
    });
    connect(&server_, &JavaListener::acceptingAgain, this,
            [this] { logEvent(QStringLiteral("] JAVA СЕРВЕР знову приймає зєднання.")); });
    connect(&refreshTimer_, &QTimer::timeout, this, &MobileServer::TimerRefleshJavaClientTimer);
    activTimer_.setSingleShot(true);
    activTimer_.setInterval(kActivWriteMs);
    connect(&activTimer_, &QTimer::timeout, this, [this] {
        if (activChanges_.empty())
            return;
        writeActivChanges();
        activTimer_.start();
    });
    // The Firebird client raises events on its own thread; they are handled here.
    connect(&context_.danni, &TDANI::dispatchEvent, this,
            [this](const QString &name, unsigned) { IBEvents1_BAZA_TAXIEventAlert(name); }, Qt::QueuedConnection);
    connect(&worker_, &JavaRouteWorker::fetched, this, &MobileServer::complete);
}

MobileServer::~MobileServer()
{
    // Going away with the process: no disconnect handling, no database work.
    for (const Connection &connection : connections_) {
        connection.socket->disconnect(this);
        delete connection.socket;
    }
    metrics::Counted().mobileConnections.set(0);
}

void MobileServer::resetTable(int size) { table_.reset(size, clock_()); }

bool MobileServer::activate(quint16 port)
{
    deactivate();
    // A burst of phones connecting at once must not find the queue of connects full.
    if (!server_.listen(port, kListenBacklog))
        return false;
    context_.mobileLog.append(QStringLiteral("JAVASERVERListen ..."));
    refreshTimer_.start();
    return true;
}

void MobileServer::deactivate()
{
    closeAllConnections();
    // A stop does not wait for the route page: what was put aside is completed now, as a
    // trip the page could not measure, and its answer has nowhere to go.
    worker_.cancelAll();
    while (!deferred_.empty())
        complete(deferred_.begin()->first, 0);
    if (server_.isListening())
        server_.close();
    refreshTimer_.stop();
}

void MobileServer::closeAllConnections()
{
    while (!connections_.empty())
        closeConnection(connections_.front().socket);
    writeActivChanges();
}

QString MobileServer::nowText() const { return RegionalFormat::dateTimeText(clock_()); }

void MobileServer::logEvent(const QString &rest)
{
    context_.mobileLog.append(u'[' + nowText() + rest);
}

MobileServer::Connection *MobileServer::connectionOf(const QTcpSocket *socket)
{
    for (Connection &connection : connections_)
        if (connection.socket == socket)
            return &connection;
    return nullptr;
}

MobileServer::Connection *MobileServer::connectionWithId(quint64 id)
{
    for (Connection &connection : connections_)
        if (connection.id == id)
            return &connection;
    return nullptr;
}

bool MobileServer::isOpen(const QTcpSocket *socket) const
{
    return std::any_of(connections_.begin(), connections_.end(),
                       [socket](const Connection &c) { return c.socket == socket; });
}

QString MobileServer::addressOf(const QTcpSocket *socket) const
{
    for (const Connection &connection : connections_)
        if (connection.socket == socket)
            return connection.address;
    return {};
}

void MobileServer::acceptPending()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        // Qt stops reading from the network when this much waits unread, so a client
        // without a slot cannot pile bytes up in the server either.
        socket->setReadBufferSize(kJavaReadBufferCap);
        connections_.push_back({socket, dottedAddress(socket), ++lastConnectionId_, clock_()});
        metrics::Counted().mobileConnections.set(qint64(connections_.size()));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { JAVASERVERClientRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { resume(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { closeConnection(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
            // A peer that closes or resets its end is an ordinary disconnect.
            if (error != QAbstractSocket::RemoteHostClosedError)
                JAVASERVERClientError(socket, int(error));
        });

        JAVASERVERClientConnect(socket);
        JAVASERVERAccept(socket);
        // The socket is writable at once; on this platform that notice comes only now.
        if (isOpen(socket))
            JAVASERVERClientWrite(socket);
    }
}

void MobileServer::JAVASERVERClientConnect(QTcpSocket *socket)
{
    const QString address = addressOf(socket);
    logEvent(QStringLiteral("] спроба підключення клієнта з  IP:[") + address + u']');
    context_.accounts.addScan(context_.running());

    if (int(connections_.size()) > table_.size() && !closeLongestSilent()) {
        metrics::Counted().mobileConnectionsRefused.add();
        closeFirstFrom(address);
        return;
    }
    const TTableJavaClient *slot = table_.find(address);
    if (!slot)
        return;
    // The slot's address is read again at every comparison: once the earlier
    // connection is closed the slot is free and nothing else matches.
    const std::vector<Connection> open = connections_;
    for (const Connection &connection : open)
        if (isOpen(connection.socket) && !slot->IP.isEmpty() && connection.address == slot->IP)
            closeConnection(connection.socket);
}

void MobileServer::JAVASERVERAccept(QTcpSocket *socket)
{
    const QString address = addressOf(socket);
    logEvent(QStringLiteral("] процес добавлення в таблицю клієнта з  IP:[") + address
             + QStringLiteral("]. Установка попередніх налаштувань клієнта."));
    if (!address.isEmpty())
        TakeJavaSlot(address);
}

void MobileServer::JAVASERVERClientWrite(QTcpSocket *socket)
{
    const QString address = addressOf(socket);
    logEvent(QStringLiteral("] відправлення запрошення <OK!> щойно підключеному до роботи клієнту з  IP:[")
             + address + u']');
    SendJavaAnswer(address, "<OK!>");
}

void MobileServer::JAVASERVERClientRead(QTcpSocket *socket)
{
    const QString address = addressOf(socket);
    TTableJavaClient *slot = table_.find(address);
    if (!slot || paused(socket))
        return;  // the bytes stay unread and unanswered
    // Bytes that come when everything asked before is answered start a new series.
    if (Connection *connection = connectionOf(socket); !connection->waiting && !slot->ReadBuffer.contains("###"))
        connection->routeWaits = 0;
    slot->ReadBuffer += socket->readAll();
    serveBuffered(socket);
}

void MobileServer::resume(QTcpSocket *socket)
{
    const Connection *connection = connectionOf(socket);
    if (!connection || connection->waiting || paused(socket))
        return;
    serveBuffered(socket);
    if (isOpen(socket) && !paused(socket) && socket->bytesAvailable() > 0)
        JAVASERVERClientRead(socket);
}

void MobileServer::serveBuffered(QTcpSocket *socket)
{
    const QString address = addressOf(socket);
    TTableJavaClient *slot = table_.find(address);
    if (!slot)
        return;
    for (;;) {
        Connection *connection = connectionOf(socket);
        if (!connection || connection->waiting || paused(socket))
            break;
        std::optional<QByteArray> request = TakeJavaRequest(slot->ReadBuffer);
        if (!request)
            break;
        connection->served = true;
        connection->lastRequest = clock_();
        // A failed request ends without an answer; the requests after it are still served.
        DispatchJavaCommand(address, *request);
        if (slot->IP != address)
            return;
    }
    // Complete requests may wait behind unsent answers; only a request that never ends is cut off.
    if (slot->ReadBuffer.size() > kJavaReadBufferCap && isOpen(socket) && !paused(socket)) {
        logEvent(QStringLiteral("] клієнт з  IP:[") + address
                 + QStringLiteral("] передав понад %1 байт без закінчення запиту [###]. Зєднання закрито.")
                       .arg(kJavaReadBufferCap));
        closeConnection(socket);
    }
}

void MobileServer::JAVASERVERClientDisconnect(const QString &address)
{
    logEvent(QStringLiteral("] процес закриття клієнта з  IP:[") + address + u']');
    ReleaseJavaSlot(address);
}

void MobileServer::JAVASERVERClientError(QTcpSocket *socket, int errorCode)
{
    context_.mobileLog.append(QStringLiteral("ПОМИЛКА JAVA СЕРВЕРА. КОД ПОМИЛКИ =") + QString::number(errorCode));
    closeFirstFrom(addressOf(socket));
}

void MobileServer::closeConnection(QTcpSocket *socket)
{
    if (!isOpen(socket))
        return;
    socket->disconnect(this);
    JAVASERVERClientDisconnect(addressOf(socket));
    connections_.erase(std::find_if(connections_.begin(), connections_.end(),
                                    [socket](const Connection &c) { return c.socket == socket; }));
    metrics::Counted().mobileConnections.set(qint64(connections_.size()));
    socket->flush();
    socket->abort();
    socket->deleteLater();
}

void MobileServer::closeFirstFrom(const QString &address)
{
    for (const Connection &connection : connections_) {
        if (connection.address == address) {
            closeConnection(connection.socket);
            return;
        }
    }
}

void MobileServer::TakeJavaSlot(const QString &address)
{
    const int minutes =
        context_.numbers.read("DOSTUP_JAVA/MAX_CHAS_NEKODOVANOGO_ZEDN", context_.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN,
                              kDefaultUncodedMinutes);
    const TTableJavaClient *slot = table_.take(address, clock_(), minutes);
    if (!slot)
        return;  // no free slot: the connection stays, unread and without a time limit
    queueActivChange({true, address, slot->TimeVhid, slot->TimeVihid});
}

void MobileServer::ReleaseJavaSlot(const QString &address)
{
    if (TTableJavaClient *slot = table_.find(address)) {
        logEvent(QStringLiteral("] вихід із java системи  клієнта з   IP:[") + address
                 + QStringLiteral("]    код кл.:[") + slot->CodClient + QStringLiteral("]    вхід у[")
                 + RegionalFormat::dateTimeText(slot->TimeVhid) + QStringLiteral("]    плановий вихід[")
                 + RegionalFormat::dateTimeText(slot->TimeVihid) + u']');
        JavaClientTable::release(*slot, clock_());
    }
    queueActivChange({false, address, {}, {}});
}

void MobileServer::queueActivChange(JavaActivChange change)
{
    // The rows of a quiet moment are written at once; those of a burst of connects or
    // disconnects (one event each) together, at most every kActivWriteMs.
    activChanges_.push_back(std::move(change));
    if (!activTimer_.isActive()) {
        writeActivChanges();
        activTimer_.start();
    }
}

void MobileServer::writeActivChanges()
{
    std::vector<JavaActivChange> changes;
    changes.swap(activChanges_);
    try {
        ServiceLockGuard lock(ServiceLock());
        WriteJavaActivChanges(context_.danni, changes);
    } catch (const std::exception &error) {
        reportFailure(QString::fromUtf8(error.what()));
    }
}

void MobileServer::SendJavaAnswer(const QString &address, const QByteArray &text)
{
    for (const Connection &connection : connections_) {
        if (connection.address == address) {
            connection.socket->write(text + kJavaAnswerEnd);
            return;
        }
    }
}

void MobileServer::DispatchJavaCommand(const QString &address, const QByteArray &request)
{
    TTableJavaClient *slot = table_.find(address);
    if (!slot || request.isEmpty())
        return;
    const metrics::Timed timed(metrics::Counted().mobileCommands);
    try {
        ServiceLockGuard lock(ServiceLock());
        runCommand(address, *slot, request);
    } catch (const fb::ConnectionLost &) {
        // Told once in both logs when the connection went; not again at every request.
    } catch (const std::exception &error) {
        reportFailure(QString::fromUtf8(error.what()));
    }
}

void MobileServer::runCommand(const QString &address, TTableJavaClient &slot, const QByteArray &request)
{
    const JavaCommand command = RecogniseJavaCommand(request, slot.loggedIn());
    switch (command) {
    case JavaCommand::OpenSettingServer:
        SendJavaAnswer(address, SettingServerAnswer(context_.settings));
        logEvent(QStringLiteral("] Опитування клієнтом з IP:[") + address + QStringLiteral("] налаштувань сервера"));
        return;
    case JavaCommand::OpenNews:
        SendJavaAnswer(address, NewsAnswer(JavaNewsText(context_.news.text())));
        context_.accounts.addNewsEntry();
        logEvent(QStringLiteral("] Клієнт з IP:[") + address + QStringLiteral("] успішно зчитав текст новин."));
        return;
    case JavaCommand::AddUsers:
        SendJavaAnswer(address, AddUsersAnswer(context_, address, request, clock_()));
        return;
    case JavaCommand::OpenFormCodZam:
        SendJavaAnswer(address, LoginAnswer(context_, slot, address, request, clock_()));
        return;
    case JavaCommand::DateFormCodZam:
        SendJavaAnswer(address,
                       "<DateFormCodZam>" + BuildClientStatus(context_, slot).toLatin1() + "</DateFormCodZam>");
        return;
    case JavaCommand::CloseFormCodZam:
        Logout(context_, slot, address, clock_());
        return;
    case JavaCommand::ClearMsgFormCodZam:
        ClearPersonalMessage(context_, slot);
        return;
    case JavaCommand::SendMsgFormCodZam:
        SendMessageToService(context_, slot, request, clock_());
        return;
    case JavaCommand::ListVul:
        SendJavaAnswer(address, StreetListAnswer(context_.danni, request));
        return;
    case JavaCommand::ListObekt:
        SendJavaAnswer(address, ObjectListAnswer(context_.danni, request));
        return;
    case JavaCommand::PerevirkaActiveZam:
        SendJavaAnswer(address, OrderStateAnswer(context_, request));
        return;
    case JavaCommand::CreateZam:
        sendOrderAnswer(address, QuickOrderAnswer(context_, routes(), address, request, clock_()));
        return;
    case JavaCommand::CheckNumZamFormCodZam:
        ChooseFollowedOrder(slot, request);
        return;
    case JavaCommand::OpenListActivZamovl:
        SendJavaAnswer(address, ActiveOrdersAnswer(context_, slot));
        return;
    case JavaCommand::OpenListArhivZamovl:
        SendJavaAnswer(address, ArchiveOrdersAnswer(context_, slot));
        return;
    case JavaCommand::CreateZamCodForm:
    case JavaCommand::RozrahSuma: {
        const QDateTime now = clock_();
        try {
            sendRouteAnswer(address, command, routeAnswer(command, slot, request, now, OnlinePolicy{true, {}}));
        } catch (OnlineDistanceNeeded &needed) {
            // The answer would go to the first connection of the address: so does the wait.
            const auto asking = std::find_if(connections_.begin(), connections_.end(),
                                             [&address](const Connection &c) { return c.address == address; });
            if (asking != connections_.end() && asking->routeWaits >= kMaxRouteWaits) {
                const OnlineTrip unmeasured{needed.trip.start, needed.trip.destination, 0};
                sendRouteAnswer(address, command, routeAnswer(command, slot, request, now, OnlinePolicy{true, unmeasured}));
                return;
            }
            if (asking != connections_.end())
                ++asking->routeWaits;
            defer({asking == connections_.end() ? 0 : asking->id, address, command, request, now, slot, {}},
                  std::move(needed));
        }
        return;
    }
    case JavaCommand::None:
        return;
    }
}

QByteArray MobileServer::routeAnswer(JavaCommand command, TTableJavaClient &slot, const QByteArray &request,
                                     const QDateTime &now, const OnlinePolicy &online)
{
    if (command == JavaCommand::CreateZamCodForm)
        return CodedOrderAnswer(context_, routes(), slot, request, now, online);
    return FareEstimateAnswer(context_, routes(), request, online);
}

void MobileServer::sendRouteAnswer(const QString &address, JavaCommand command, const QByteArray &answer)
{
    if (command == JavaCommand::CreateZamCodForm)
        sendOrderAnswer(address, answer);
    else
        SendJavaAnswer(address, answer);
}

void MobileServer::defer(Deferred deferred, OnlineDistanceNeeded needed)
{
    deferred.trip = needed.trip;
    if (Connection *connection = connectionWithId(deferred.connection))
        connection->waiting = true;
    const quint64 ticket = worker_.fetch(std::move(needed.fetch));
    deferred_.emplace(ticket, std::move(deferred));
}

void MobileServer::complete(quint64 ticket, double kilometres)
{
    const auto found = deferred_.find(ticket);
    if (found == deferred_.end())
        return;
    Deferred deferred = std::move(found->second);
    deferred_.erase(found);
    Connection *connection = connectionWithId(deferred.connection);
    TTableJavaClient *live = connection ? table_.find(deferred.address) : nullptr;
    QByteArray answer;
    try {
        ServiceLockGuard lock(ServiceLock());
        const OnlineTrip trip{deferred.trip.start, deferred.trip.destination, kilometres};
        answer = routeAnswer(deferred.command, live ? *live : deferred.slot, deferred.request, deferred.now,
                             OnlinePolicy{true, trip});
    } catch (const OnlineDistanceNeeded &) {
        // Not expected: run again, a request asks for the same trip, whose distance it has now.
        reportFailure(QStringLiteral("Запит клієнта з IP:[%1] потребував відстані іншої поїздки.").arg(deferred.address));
    } catch (const std::exception &error) {
        reportFailure(QString::fromUtf8(error.what()));
    }
    if (connection) {
        connection->waiting = false;
        if (answer.isEmpty())
            return;  // as any failed request: the rest waits for the connection's next read
        sendRouteAnswer(deferred.address, deferred.command, answer);
        resume(connection->socket);
        return;
    }
    if (answer.isEmpty())
        return;
    if (deferred.command == JavaCommand::CreateZamCodForm)
        logEvent(OrderLogLine(answer, deferred.address));
    logEvent(QStringLiteral("] Зєднання клієнта з IP:[") + deferred.address
             + QStringLiteral("] закрилося до відповіді: запит виконано, відповідь не відправлена."));
}

void MobileServer::sendOrderAnswer(const QString &address, const QByteArray &answer)
{
    SendJavaAnswer(address, answer);
    // A placed order is always told; a flood of refused ones once a minute with a count.
    const QString line = OrderLogLine(answer, address);
    if (answer.contains("<NumZam>0</NumZam>"))
        context_.budgets.logCoalesced(ClientChannel::Mobile, QStringLiteral("order refused"), address, line);
    else
        logEvent(line);
}

RouteEngine &MobileServer::routes() const
{
    if (!routes_)
        throw std::logic_error("the mobile server has no route engine");
    return *routes_;
}

void MobileServer::reportFailure(const QString &text)
{
    // Shown after the socket event has been handled to its end, never inside it.
    QTimer::singleShot(0, this, [this, text] { context_.prompt.message(text); });
}

void MobileServer::TimerRefleshJavaClientTimer()
{
    closeIdleConnections();
    for (int i = 0; i < table_.size(); ++i) {
        const TTableJavaClient &slot = table_.at(i);
        if (!slot.IP.isEmpty() && slot.TimeVihid < clock_())
            closeFirstFrom(slot.IP);
    }
}
