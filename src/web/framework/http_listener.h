#pragma once

#include "web/framework/http_server.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// The HTTP listener of the web pages: the server's own thread and its request
// threads. Bound at every server start, released at every stop.
class HttpListener {
public:
    using Routes = std::function<void(httplib::Server &)>;
    explicit HttpListener(Routes routes, HttpServer::Limits limits = {});
    ~HttpListener();

    // Binds every address on `port` (0: any free port); false with the reason when that fails.
    // Connections from `trustedProxies` carry many clients: no per-address limit for them.
    bool start(int port, QString *error, const QStringList &trustedProxies = {});
    void stop();
    bool listening() const;
    int port() const { return port_; }

private:
    Routes routes_;
    const HttpServer::Limits limits_;
    std::unique_ptr<HttpServer> server_;
    std::thread thread_;
    std::atomic<bool> finished_ = false;
    int port_ = 0;
};
