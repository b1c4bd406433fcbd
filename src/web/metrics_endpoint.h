#pragma once

#include <chrono>

class HealthAccess;
class ServiceContext;
class WebApplication;

namespace httplib {
class Server;
}

// GET /metrics on the web port: the service's figures in the Prometheus text format, for
// the hosts /health answers. It opens no session and never waits for the service lock.
void InstallMetricsRoute(httplib::Server &server, ServiceContext &context, WebApplication &application,
                         HealthAccess &access, std::chrono::steady_clock::time_point started);
