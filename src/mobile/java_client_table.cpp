#include "mobile/java_client_table.h"

#include "mobile/java_framing.h"

#include <stdexcept>

#include <algorithm>

bool TTableJavaClient::loggedIn() const
{
    const QByteArray code = TrimJavaField(CodClient.toLatin1());
    return !code.isEmpty() && code != "0";
}

qint32 TTableJavaClient::clientNumber() const
{
    const std::optional<qint32> number = ReadJavaNumber(CodClient);
    if (!number)
        throw std::runtime_error("the client code of the connection is not a number");
    return *number;
}

void JavaClientTable::reset(int size, const QDateTime &now)
{
    TTableJavaClient fresh;
    fresh.TimeVhid = now;
    fresh.TimeVihid = now;
    slots_.assign(size_t(std::max(size, 0)), fresh);
}

TTableJavaClient *JavaClientTable::find(const QString &address)
{
    if (address.isEmpty())
        return nullptr;
    for (TTableJavaClient &slot : slots_)
        if (slot.IP == address)
            return &slot;
    return nullptr;
}

TTableJavaClient *JavaClientTable::take(const QString &address, const QDateTime &now, int minutes)
{
    for (TTableJavaClient &slot : slots_) {
        if (!slot.IP.isEmpty())
            continue;
        slot.IP = address;
        slot.CodClient = QStringLiteral("0");
        slot.ReadBuffer.clear();
        slot.TimeVhid = now;
        slot.TimeVihid = now.addSecs(qint64(minutes) * 60);
        slot.NumZam = 0;
        slot.Coded = false;
        return &slot;
    }
    return nullptr;
}

void JavaClientTable::release(TTableJavaClient &slot, const QDateTime &now)
{
    slot.IP.clear();
    slot.CodClient = QStringLiteral("0");
    slot.ReadBuffer.clear();
    slot.TimeVhid = now;
    slot.TimeVihid = now;
    slot.NumZam = 0;
    slot.CountInput = 0;
    slot.Coded = false;
    slot.StatusZam.clear();
}
