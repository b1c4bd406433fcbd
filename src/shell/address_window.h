#pragma once

#include "shell/bounded_map.h"

#include <QString>

#include <chrono>
#include <deque>
#include <mutex>

// How often something happened per client address within a sliding window of time. An
// IPv6 address counts by its /64 (one subscriber's network), an IPv4-mapped one as IPv4.
// At most `capacity` addresses are kept, and at most kMaxEvents events each, so a flood
// from many addresses cannot grow the table. Safe from any thread.
class AddressWindow {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kDefaultCapacity = 10000;
    static constexpr size_t kMaxEvents = 1000;

    explicit AddressWindow(std::chrono::seconds window, size_t capacity = kDefaultCapacity);

    // The events of the address within the window before `now`.
    int count(const QString &address, Clock::time_point now);
    // One more event now; returns the count with it.
    int add(const QString &address, Clock::time_point now);


    // The key an address counts under.
    static QString keyOf(const QString &address);

private:
    using Events = std::deque<Clock::time_point>;
    void forgetOld(Events &events, Clock::time_point now) const;

    const std::chrono::seconds window_;
    std::mutex mutex_;
    BoundedMap<Events> events_;
};
