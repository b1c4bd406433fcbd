#include "web/framework/http_listener.h"

#include <httplib.h>

#include <chrono>

#include <sys/socket.h>

HttpListener::HttpListener(Routes routes)
    : routes_(std::move(routes)), server_(std::make_unique<httplib::Server>())
{
}

HttpListener::~HttpListener() { stop(); }

bool HttpListener::start(int port, QString *error)
{
    stop();
    server_ = std::make_unique<httplib::Server>();
    server_->new_task_queue = [] { return new httplib::ThreadPool(kRequestThreads); };
    server_->set_payload_max_length(kMaxRequestBody);
    // Browsers keep idle connections open: each holds a request thread, so not for long.
    server_->set_keep_alive_timeout(2);
    server_->set_keep_alive_max_count(100);
    server_->set_read_timeout(2);
    // Pages go out uncompressed: the library as packaged here compresses whatever the
    // browser accepts, so the request's offer is dropped before any handler runs.
    server_->set_pre_routing_handler([](const httplib::Request &request, httplib::Response &) {
        const_cast<httplib::Request &>(request).headers.erase("Accept-Encoding");
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (routes_)
        routes_(*server_);
    // The library listens with a backlog of 5: a burst of browsers would lose their
    // connection attempts (and retry a second later). The socket is kept to widen it.
    int listening = -1;
    server_->set_socket_options([&listening](socket_t socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = socket;
    });
    // Port 0 takes any free port (tests); port() then tells which.
    const int bound = port == 0 ? server_->bind_to_any_port("0.0.0.0")
                                : (port > 0 && port <= 65535 && server_->bind_to_port("0.0.0.0", port) ? port : -1);
    if (bound <= 0) {
        if (error)
            *error = QStringLiteral("порт %1 недоступний").arg(port);
        return false;
    }
    if (listening >= 0)
        ::listen(listening, kListenBacklog);
    port_ = bound;
    finished_ = false;
    thread_ = std::thread([this, server = server_.get()] {
        server->listen_after_bind();
        finished_ = true;
    });
    // The server ignores a stop that comes before its loop has begun: wait for it.
    while (!server_->is_running() && !finished_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void HttpListener::stop()
{
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
    port_ = 0;
}

bool HttpListener::listening() const { return thread_.joinable() && server_->is_running(); }
