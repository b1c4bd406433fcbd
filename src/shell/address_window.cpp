#include "shell/address_window.h"

#include <QHostAddress>

AddressWindow::AddressWindow(std::chrono::seconds window, size_t capacity) : window_(window), events_(capacity) {}

QString AddressWindow::keyOf(const QString &address)
{
    const QHostAddress host(address);
    if (host.protocol() != QAbstractSocket::IPv6Protocol)
        return address;
    bool mapped = false;
    const quint32 v4 = host.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(v4).toString();
    Q_IPV6ADDR bytes = host.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        bytes[i] = 0;
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

void AddressWindow::forgetOld(Events &events, Clock::time_point now) const
{
    while (!events.empty() && events.front() <= now - window_)
        events.pop_front();
}

int AddressWindow::count(const QString &address, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    Events *events = events_.find(keyOf(address));
    if (!events)
        return 0;
    forgetOld(*events, now);
    return int(events->size());
}

int AddressWindow::add(const QString &address, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    Events &events = events_.get(keyOf(address));
    forgetOld(events, now);
    if (events.size() >= kMaxEvents)
        events.pop_front();
    events.push_back(now);
    return int(events.size());
}
