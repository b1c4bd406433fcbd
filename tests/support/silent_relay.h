#pragma once

#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace kvtest {

// A TCP relay on a free loopback port to another local port, playing a network that goes
// silent: silence() keeps every connection open but drops all bytes both ways (no reset,
// no close), as a dead VPN or a router that lost power does; connections accepted while
// silent are dead too. heal() relays new connections again; the old ones stay dead.
class SilentRelay {
public:
    explicit SilentRelay(int targetPort);
    ~SilentRelay();
    SilentRelay(const SilentRelay &) = delete;
    SilentRelay &operator=(const SilentRelay &) = delete;

    int port() const { return port_; }
    // "localhost/PORT:", to put before a database's path.
    QString prefix() const;

    void silence();
    void heal();

private:
    struct Link {
        int client;
        int server;  // -1 for a connection accepted while silent
        bool dead;
    };

    void run();
    void accept();
    // Moves what is waiting from one side to the other; false when a side closed.
    bool pass(int from, int to);
    void closeLink(Link &link);

    const int targetPort_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<bool> silent_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<Link> links_;
    std::thread thread_;
};

}  // namespace kvtest
