// Connections that hold sockets and slots for nothing.

#include "mobile/mobile_server.h"

#include "common/regional_format.h"
#include "shell/service_context.h"

#include <QTcpSocket>

void MobileServer::closeIdleConnections()
{
    const QDateTime now = clock_();
    std::vector<Connection> idle;
    for (const Connection &connection : connections_)
        if (!connection.served && connection.lastRequest.secsTo(now) >= kIdleSeconds)
            idle.push_back(connection);
    for (const Connection &connection : idle) {
        context_.budgets.logCoalesced(ClientChannel::Mobile, QStringLiteral("idle"), connection.address,
                                      QStringLiteral("] клієнт з IP:[%1] не надіслав жодного запиту за %2 с після "
                                                     "підключення. Зєднання закрито.")
                                          .arg(connection.address)
                                          .arg(kIdleSeconds));
        closeConnection(connection.socket);
    }
}

bool MobileServer::closeLongestSilent()
{
    const QDateTime now = clock_();
    const Connection *longest = nullptr;
    for (const Connection &connection : connections_) {
        if (connection.lastRequest.secsTo(now) < kIdleSeconds)
            continue;
        const TTableJavaClient *slot = table_.find(connection.address);
        if (slot && slot->loggedIn())
            continue;
        if (!longest || connection.lastRequest < longest->lastRequest)
            longest = &connection;
    }
    if (!longest)
        return false;
    logEvent(QStringLiteral("] зєднання клієнта з IP:[%1], який не увійшов у систему і мовчить з %2, закрито: "
                            "його місце потрібне новому клієнту.")
                 .arg(longest->address, RegionalFormat::dateTimeText(longest->lastRequest)));
    closeConnection(longest->socket);
    return true;
}
