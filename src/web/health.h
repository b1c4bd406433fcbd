#pragma once

#include <chrono>

class ServiceContext;
class WebApplication;

namespace httplib {
class Server;
}

#include <QString>
#include <QStringList>

// Whether `peer` may ask: this host (loopback) or one of the hosts `from` names. The
// peer is the connection's, or the client a trusted proxy forwards.
bool HealthRequestAllowed(const QString &peer, const QStringList &from);

// GET /health on the web port: whether the servers run and both databases answer,
// the connections, the uptime, as a small JSON for a supervisor. It opens no session
// and answers only this host and the hosts HEALTH_FROM names.
void InstallHealthRoute(httplib::Server &server, ServiceContext &context, WebApplication &application,
                        std::chrono::steady_clock::time_point started);
