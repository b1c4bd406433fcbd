#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

// The web server: cpp-httplib's request handling and routing behind a front end of
// our own. One thread waits (epoll) on every connection until a whole request - head
// and body - has arrived, within a deadline; only complete requests reach the pool of
// request threads, and a kept-alive connection goes back to waiting between requests.
// So slow or idle clients hold no request thread, every request body is counted as it
// arrives and refused past the limit, and memory stays bounded whatever is sent. At the
// connection limit, or out of descriptors, the connection that has waited longest for a
// complete request makes room for a new one: clients that never finish their requests
// cannot keep a browser out.
class HttpServer : public httplib::Server {
public:
    using Clock = std::chrono::steady_clock;

    struct Limits {
        size_t maxHead = 16 * 1024;     // request line and header fields
        size_t maxBody = 64 * 1024;     // the pages post small forms
        // A whole request must arrive within this, counted from the connection or
        // from the answer to the previous request on it.
        std::chrono::milliseconds requestTime{5000};
        std::chrono::milliseconds writeTime{10000};  // an answer that cannot be sent by then is dropped
        size_t maxConnections = 4000;  // the oldest waiting connection makes room past it
        size_t maxPerAddress = 250;     // except for the trusted proxies
        std::vector<std::string> trustedProxies;
        size_t keepAliveRequests = 100;
        int threads = 32;
        int backlog = 512;
        // Called on the serving thread when accepting stops for want of descriptors or
        // memory (with the system's reason) and when a connection is accepted again:
        // once each way, not at every try.
        std::function<void(bool accepting, const std::string &reason)> acceptingChanged;
    };

    explicit HttpServer(Limits limits);
    ~HttpServer() override;

    // Listens on every address; port 0 takes any free port. The port, or 0 on failure.
    int bindAndListen(int port);
    // Serves until shutDown(); runs on the caller's thread.
    void run();
    // Stops accepting, ends run() and waits for the requests being served.
    void shutDown();
    bool serving() const { return serving_; }

private:
    struct Connection {
        int fd = -1;
        std::string ip;
        int port = 0;
        std::string data;         // received and not yet served
        Clock::time_point deadline;
        size_t served = 0;
        bool ended = false;  // the client closed its side after sending
    };
    using ConnectionPtr = std::unique_ptr<Connection>;
    enum class Head { Incomplete, Complete, Refused };
    // The order in which waiting connections make room: those that have never sent a
    // whole request before those kept alive after an answer, each oldest first.
    struct Age {
        bool keptAlive;
        Clock::time_point deadline;
        int fd;
        auto operator<=>(const Age &) const = default;
    };

    void acceptAll();
    // Accepting stops for a moment, or starts again once the moment has passed.
    void pauseAccepting();
    void resumeAcceptingWhenDue(Clock::time_point now);
    // A connection waits for the rest of its request / stops waiting.
    void park(ConnectionPtr connection);
    ConnectionPtr unpark(int fd);
    // The waiting connection of this kind whose deadline comes first; none: null.
    const Age *oldestWaiting(bool keptAlive) const;
    // Closes the first waiting connection in Age order whose wait began before `before`;
    // false when there is none.
    bool dropOldestWaiting(Clock::time_point before);
    bool connectPending() const;
    void receive(int fd);
    // Hands a connection on to a request thread when its request is complete; keeps it
    // waiting otherwise. False when it was closed instead.
    bool examine(ConnectionPtr &connection);
    Head checkHead(Connection &connection, size_t &requestSize);
    void refuse(Connection &connection, const char *status);
    void close(ConnectionPtr connection);
    void expire(Clock::time_point now);
    void takeBack();
    void work();
    bool serve(Connection &connection);

    const Limits limits_;
    int listen_ = -1;
    int epoll_ = -1;
    int wake_ = -1;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> serving_ = false;

    // Owned by the thread in run().
    std::unordered_map<int, ConnectionPtr> waiting_;
    std::set<Age> ages_;  // of the waiting connections
    std::unordered_map<std::string, size_t> perAddress_;
    size_t open_ = 0;
    std::optional<Clock::time_point> acceptPausedUntil_;
    bool refusing_ = false;  // accepting failed for want of descriptors or memory

    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<ConnectionPtr> ready_;                   // to the request threads
    std::vector<std::pair<ConnectionPtr, bool>> back_;  // served; true: to be closed
    std::vector<std::thread> workers_;
};
