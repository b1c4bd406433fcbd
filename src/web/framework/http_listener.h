#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace httplib {
class Server;
}

// The HTTP listener of the web pages: its own listener thread and a pool of request
// threads. Bound at every server start, released at every stop.
class HttpListener {
public:
    static constexpr int kRequestThreads = 32;
    static constexpr size_t kMaxRequestBody = 256 * 1024;
    static constexpr int kListenBacklog = 512;

    using Routes = std::function<void(httplib::Server &)>;
    explicit HttpListener(Routes routes);
    ~HttpListener();

    // Binds every address on `port` (0: any free port); false with the reason when that fails.
    bool start(int port, QString *error);
    void stop();
    bool listening() const;
    int port() const { return port_; }

private:
    Routes routes_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::atomic<bool> finished_ = false;
    int port_ = 0;
};
