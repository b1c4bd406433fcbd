#pragma once

#include "web/framework/http_listener.h"
#include "web/framework/web_application.h"
#include "web/health.h"
#include "web/server_controller.h"

#include <atomic>
#include <chrono>

class RouteEngine;
class ServiceContext;

// The web server of the service as the life cycle sees it: started on
// PORT_WEB_SERVERA, every session ended, stopped again. New sessions start on the
// maintenance page or the main page, as chosen at the server start.
class WebService {
public:
    explicit WebService(ServiceContext &context);
    ~WebService();

    // Ends every session, writes the files folder's missing files, listens on `port`.
    bool start(int port, QString *error);
    // Stops answering and waits for the request threads. Page handlers may be
    // waiting for the service lock: never call this while holding it.
    void stopListening();
    // stopListening(), then every session ends.
    void stop();
    void endAllSessions();
    // The engine the order pages price and place orders with.
    void setRouteEngine(RouteEngine &routes);
    bool listening() const { return listener_.listening(); }
    int port() const { return listener_.port(); }

    WebApplication &application() { return application_; }
    TIWServerController &controller() { return controller_; }

private:
    HttpServer::Limits listenerLimits();

    ServiceContext &context_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    // When the web log last said that a peer sent X-Forwarded-For without being trusted.
    static constexpr qint64 kUntrustedForwardInterval = 3600;
    std::atomic<qint64> untrustedForwardTold_{0};
    WebApplication application_;
    TIWServerController controller_;
    HealthAccess healthAccess_;
    HttpListener listener_;  // last: its request threads stop before the rest goes
};
