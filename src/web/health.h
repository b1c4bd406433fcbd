#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>

class ServiceContext;
class WebApplication;

namespace httplib {
class Server;
struct Request;
struct Response;
}

// Whether `peer` may ask: this host (loopback) or one of the hosts `from` names. The
// peer is the connection's, or the client a trusted proxy forwards.
bool HealthRequestAllowed(const QString &peer, const QStringList &from);

// Who may ask /health and /metrics: this host and the hosts HEALTH_FROM names. The
// setting is read whenever the service lock is free at once; otherwise the list read
// last holds, so that a supervisor's request never waits behind a slow database call.
class HealthAccess {
public:
    HealthAccess(ServiceContext &context, WebApplication &application);
    // Answers are never cached; a host that may not ask gets 403 and true.
    bool refuses(const httplib::Request &request, httplib::Response &response);

private:
    bool allows(const httplib::Request &request);

    ServiceContext &context_;
    WebApplication &application_;
    std::mutex mutex_;
    QStringList from_;
};

// GET /health on the web port: whether the servers run and both databases answer,
// the connections, the uptime, as a small JSON for a supervisor. It opens no session.
void InstallHealthRoute(httplib::Server &server, ServiceContext &context, WebApplication &application,
                        HealthAccess &access, std::chrono::steady_clock::time_point started);
