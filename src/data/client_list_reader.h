#pragma once

#include "data/client_list.h"
#include "data/fb.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The columns of KLIENT a ClientRecord holds, as a SELECT list, and the record of a row
// read with them.
inline constexpr const char *kClientColumns =
    "KLIENT_DODATKOVO, KLIENT_FIO, KLIENT_TELEFON, KLIENT_BALANS, KLIENT_ZNIZHKA, KLIENT_KIL_VIKLIK, "
    "KLIENT_KIL_FREE_VIKLIK, KLIENT_DATA_NARODZENNIA";
ClientRecord ClientRecordOf(const std::vector<fb::Value> &row);

// The cache reader: a thread with a read-only connection of its own that reads the
// whole of the dispatchers' KLIENT every period and publishes what it read as a new
// immutable ClientList (only when something changed). Look-ups take the current list
// without waiting. It never touches the shared query objects, so it needs no service
// lock. While the table cannot be read the last list stays for two more periods; after
// the third failed read in a row there is no list (look-ups ask the database) until a
// read succeeds again.
class ClientListReader {
public:
    using Report = std::function<void(const QString &line)>;

    ClientListReader() = default;
    ~ClientListReader();
    ClientListReader(const ClientListReader &) = delete;
    ClientListReader &operator=(const ClientListReader &) = delete;

    // Starts reading (after a stop() of any earlier run). `report` is told, on the
    // reader's thread, once when the list is given up and once when it is read again.
    void start(const fb::ConnectParams &params, std::chrono::milliseconds period, Report report);
    // Stops reading and drops the list.
    void stop();

    // The latest list; null before the first read.
    std::shared_ptr<const ClientList> current() const { return current_.load(); }
    // How long ago the last read that worked began; none before the first (and after a stop).
    std::optional<std::chrono::steady_clock::duration> age() const;

    // One read of the whole table, in its own order.
    static std::vector<ClientRecord> ReadAll(fb::Transaction &transaction);

private:
    void run(fb::ConnectParams params, std::chrono::milliseconds period, Report report);
    // Waits until `until` or a stop; true when stopped.
    bool sleepUntil(std::chrono::steady_clock::time_point until);

    static constexpr std::chrono::steady_clock::rep kNeverRead = std::numeric_limits<std::chrono::steady_clock::rep>::min();

    std::atomic<std::shared_ptr<const ClientList>> current_;
    std::atomic<std::chrono::steady_clock::rep> readAt_{kNeverRead};  // steady clock
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};
