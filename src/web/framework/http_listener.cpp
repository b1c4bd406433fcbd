#include "web/framework/http_listener.h"

#include <chrono>

HttpListener::HttpListener(Routes routes, HttpServer::Limits limits) : routes_(std::move(routes)), limits_(limits) {}

HttpListener::~HttpListener() { stop(); }

bool HttpListener::start(int port, QString *error, const QStringList &trustedProxies)
{
    stop();
    HttpServer::Limits limits = limits_;
    for (const QString &proxy : trustedProxies)
        limits.trustedProxies.push_back(proxy.toStdString());
    server_ = std::make_unique<HttpServer>(limits);
    // Pages go out uncompressed: the library as packaged here compresses whatever the
    // browser accepts, so the request's offer is dropped before any handler runs.
    server_->set_pre_routing_handler([](const httplib::Request &request, httplib::Response &) {
        const_cast<httplib::Request &>(request).headers.erase("Accept-Encoding");
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (routes_)
        routes_(*server_);
    const int bound = server_->bindAndListen(port);
    if (bound <= 0) {
        if (error)
            *error = QStringLiteral("порт %1 недоступний").arg(port);
        server_.reset();
        return false;
    }
    port_ = bound;
    finished_ = false;
    thread_ = std::thread([this, server = server_.get()] {
        server->run();
        finished_ = true;
    });
    // A stop that came before the loop had begun would be missed: wait for it.
    while (!server_->serving() && !finished_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void HttpListener::stop()
{
    if (thread_.joinable()) {
        server_->shutDown();
        thread_.join();
    }
    port_ = 0;
}

bool HttpListener::listening() const { return thread_.joinable() && server_ && server_->serving(); }
