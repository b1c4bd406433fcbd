#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

// The numbers an administrator's Prometheus scrapes from /metrics. Each is an atomic
// that the request path only adds to: no lock, no allocation. The set is fixed here;
// values known only at the scrape (live sessions, the client list) are read then.
namespace metrics {

class Counter {
public:
    void add(std::uint64_t n = 1) { value_.fetch_add(n, std::memory_order_relaxed); }
    std::uint64_t value() const { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> value_{0};
};

class Gauge {
public:
    void set(std::int64_t value) { value_.store(value, std::memory_order_relaxed); }
    std::int64_t value() const { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::int64_t> value_{0};
};

// Durations in fixed buckets from 100 µs to 30 s.
class Histogram {
public:
    static constexpr std::array<double, 17> kBounds{0.0001, 0.00025, 0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05,
                                                    0.1,    0.25,    0.5,    1,     2.5,    5,     10,   30};

    void observe(std::chrono::steady_clock::duration took);

    struct Snapshot {
        std::array<std::uint64_t, kBounds.size() + 1> cumulative{};  // the last is +Inf: the count
        double sumSeconds = 0;
    };
    Snapshot snapshot() const;

private:
    std::array<std::atomic<std::uint64_t>, kBounds.size() + 1> buckets_{};  // each on its own, not cumulative
    std::atomic<std::uint64_t> sumNanoseconds_{0};
};

// Observes the time from its making to its end.
class Timed {
public:
    explicit Timed(Histogram &into) : into_(into), started_(std::chrono::steady_clock::now()) {}
    ~Timed() { into_.observe(std::chrono::steady_clock::now() - started_); }
    Timed(const Timed &) = delete;
    Timed &operator=(const Timed &) = delete;

private:
    Histogram &into_;
    const std::chrono::steady_clock::time_point started_;
};

enum class OrderSource { QuickPage, CodedPage, MobileQuick, MobileCoded };
enum class OrderOutcome { Placed, Failed, Unknown };
enum class SessionRefusal { Limit, AddressShare };

struct DatabaseCounters {
    Gauge connected;
    Counter reconnects;
    Counter callsAborted;  // at the call limit: the link went silent
};

struct Service {
    Counter webSessionsOpened;
    std::array<Counter, 2> webSessionsRefused;  // by SessionRefusal
    Gauge mobileConnections;
    Counter mobileConnectionsRefused;
    std::array<std::array<Counter, 3>, 4> orders;  // [OrderSource][OrderOutcome], one per inserted row
    Histogram webEvents;
    Histogram mobileCommands;
    Histogram serviceLockWait;
    DatabaseCounters dispatchDatabase;
    DatabaseCounters serviceDatabase;

    Counter &order(OrderSource source, OrderOutcome outcome) { return orders[int(source)][int(outcome)]; }
    Counter &refused(SessionRefusal reason) { return webSessionsRefused[int(reason)]; }
};

// The process's one set.
Service &Counted();

// Writes the Prometheus text format, one family at a time.
class Exposition {
public:
    void family(const char *name, const char *type, const char *help);
    // `labels` is empty or `a="x",b="y"`.
    void sample(const char *name, const std::string &labels, double value);
    void histogram(const char *name, const char *help, const Histogram &histogram);

    const std::string &text() const { return text_; }

private:
    std::string text_;
};

}  // namespace metrics
