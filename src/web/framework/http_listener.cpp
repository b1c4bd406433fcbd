#include "web/framework/http_listener.h"

#include <httplib.h>

#include <chrono>

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
    if (routes_)
        routes_(*server_);
    if (port <= 0 || port > 65535 || !server_->bind_to_port("0.0.0.0", port)) {
        if (error)
            *error = QStringLiteral("порт %1 недоступний").arg(port);
        return false;
    }
    port_ = port;
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
