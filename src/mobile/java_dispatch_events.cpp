// The dispatchers' database events as the mobile clients see them.

#include "common/extract_between.h"
#include "common/service_lock.h"
#include "data/order_texts.h"
#include "mobile/java_framing.h"
#include "mobile/mobile_server.h"
#include "route/route_engine.h"
#include "shell/service_context.h"

#include <QTcpSocket>

#include <exception>

namespace {

const QByteArray kUpdateZam = "<UpdateZam>@";

}  // namespace

void MobileServer::IBEvents1_BAZA_TAXIEventAlert(const QString &name)
{
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    try {
        if (name == QStringLiteral("EV_UpdateZAMOVLENNIA")) {
            if (!context_.running() || !isActive())
                return;
            d.TRANZ_FOR_EVENTS.commitIfActive();
            // A copy: a failed write may close a connection on the way.
            const std::vector<Connection> connections = connections_;
            for (const Connection &connection : connections) {
                if (!isOpen(connection.socket))
                    continue;
                const TTableJavaClient *slot = table_.find(connection.address);
                if (slot && orderViewStale(*slot))
                    connection.socket->write(kUpdateZam);
            }
            d.RIZNE_EVENTS.close();
        }
        if (name == QStringLiteral("EV_INSERT_BUDINKA")) {
            if (!context_.running() || !context_.settings.DOZVIL_POCHATK_ROZR_SUMA || !routes_)
                return;
            d.TRANZ_FOR_EVENTS.commitIfActive();
            routes_->AppendMapPoints();
        }
    } catch (const std::exception &) {
        // The next event tries again; clients also poll on their own.
    }
}

// Whether the client's last answer about its orders may no longer hold: a client
// that is not logged in always asks again; a logged-in one when its count of active
// orders or the callsign of the order it follows has changed since its last status.
bool MobileServer::orderViewStale(const TTableJavaClient &slot)
{
    if (!slot.Coded)
        return true;
    if (TrimJavaText(slot.CodClient).isEmpty())
        return false;
    // Read-only reads: an order change is examined for every logged-in connection, and a
    // transaction of its own per read would each wait for the disk.
    fb::Query &q = context_.danni.RIZNE_EVENTS;
    if (slot.NumZam == 0) {
        const std::optional<qint32> count =
            ReadJavaNumber(TDANI::ScalarTextReadOnly(q,
                                                     QStringLiteral("SELECT COUNT(ZAMOVL_NUMBER) FROM ZAMOVLENNIA\n"
                                                                    "WHERE (ZAMOVL_NOMER_KLIENT = ?) and (ZAMOVL_STATUS_ZAMOVL = 0)"),
                                                     {slot.clientNumber()}));
        return count && *count != slot.CountActiveZam;
    }
    TDANI::SelectReadOnly(q, QStringLiteral("SELECT  ZAMOVL_POZIVNIY  FROM ZAMOVLENNIA\nWHERE (ZAMOVL_NUMBER = ?)"),
                          {slot.NumZam});
    // The status block shows the callsign as a number, "0" for none: the column is read
    // the same way, or an order still waiting for its car would be told at every change.
    const bool stale = q.isEmpty()
        || CallsignNumber(q.field(0).asText())
            != TrimJavaText(ExtractBetween(slot.StatusZam, QStringLiteral("<Pozivn>"), QStringLiteral("</Pozivn>")));
    q.close();
    return stale;
}
