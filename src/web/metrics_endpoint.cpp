#include "web/metrics_endpoint.h"

#include "common/metrics.h"
#include "shell/service_context.h"
#include "web/framework/web_application.h"
#include "web/health.h"

#include <httplib.h>

namespace {

using metrics::Exposition;

constexpr const char *kSources[] = {"quick_page", "coded_page", "mobile_quick", "mobile_coded"};
constexpr const char *kOutcomes[] = {"placed", "failed", "unknown"};

std::string label(const char *name, const char *value) { return std::string(name) + "=\"" + value + '"'; }

void databases(Exposition &out)
{
    const metrics::Service &counted = metrics::Counted();
    const std::pair<const char *, const metrics::DatabaseCounters *> each[] = {
        {"dispatch", &counted.dispatchDatabase}, {"service", &counted.serviceDatabase}};
    out.family("korvantis_database_connected", "gauge",
               "1 while the connection to the database is up, 0 while it is lost or closed.");
    for (const auto &[name, database] : each)
        out.sample("korvantis_database_connected", label("database", name), double(database->connected.value()));
    out.family("korvantis_database_reconnects_total", "counter", "Connections made again after one was lost.");
    for (const auto &[name, database] : each)
        out.sample("korvantis_database_reconnects_total", label("database", name), double(database->reconnects.value()));
    out.family("korvantis_database_calls_aborted_total", "counter",
               "Database calls aborted at the time limit because the server did not answer.");
    for (const auto &[name, database] : each)
        out.sample("korvantis_database_calls_aborted_total", label("database", name),
                   double(database->callsAborted.value()));
}

void clients(Exposition &out, const ServiceContext &context, const WebApplication &application)
{
    const metrics::Service &counted = metrics::Counted();
    out.family("korvantis_web_sessions", "gauge", "Web sessions open now.");
    out.sample("korvantis_web_sessions", {}, application.sessionCount());
    out.family("korvantis_web_sessions_opened_total", "counter", "Web sessions admitted.");
    out.sample("korvantis_web_sessions_opened_total", {}, double(counted.webSessionsOpened.value()));
    out.family("korvantis_web_sessions_refused_total", "counter",
               "Web sessions refused: all allowed connections taken, or the address holding its share.");
    out.sample("korvantis_web_sessions_refused_total", label("reason", "limit"),
               double(counted.webSessionsRefused[int(metrics::SessionRefusal::Limit)].value()));
    out.sample("korvantis_web_sessions_refused_total", label("reason", "address_share"),
               double(counted.webSessionsRefused[int(metrics::SessionRefusal::AddressShare)].value()));
    out.family("korvantis_mobile_connections", "gauge", "Mobile application connections open now.");
    out.sample("korvantis_mobile_connections", {}, double(counted.mobileConnections.value()));
    out.family("korvantis_mobile_connections_refused_total", "counter",
               "Mobile connections closed at once because every slot was taken by a client that was not silent.");
    out.sample("korvantis_mobile_connections_refused_total", {}, double(counted.mobileConnectionsRefused.value()));

    out.family("korvantis_orders_total", "counter",
               "Orders written to the dispatchers' database, one per row, by source and outcome (unknown: the "
               "commit's answer was lost and the order could not be looked up).");
    for (std::size_t source = 0; source < std::size(kSources); ++source)
        for (std::size_t outcome = 0; outcome < std::size(kOutcomes); ++outcome)
            out.sample("korvantis_orders_total",
                       label("source", kSources[source]) + ',' + label("outcome", kOutcomes[outcome]),
                       double(counted.orders[source][outcome].value()));

    const std::shared_ptr<const ClientList> list = context.danni.clientList.current();
    out.family("korvantis_client_list_clients", "gauge",
               "Clients in the copy of the dispatchers' client list; 0 while there is none.");
    out.sample("korvantis_client_list_clients", {}, list ? double(list->rows().size()) : 0.0);
    if (const auto age = context.danni.clientList.age()) {
        out.family("korvantis_client_list_age_seconds", "gauge", "Time since the client list was last read.");
        out.sample("korvantis_client_list_age_seconds", {}, std::chrono::duration<double>(*age).count());
    }
}

}  // namespace

void InstallMetricsRoute(httplib::Server &server, ServiceContext &context, WebApplication &application,
                         HealthAccess &access, std::chrono::steady_clock::time_point started)
{
    server.Get("/metrics", [&context, &application, &access, started](const httplib::Request &request,
                                                                      httplib::Response &response) {
        if (access.refuses(request, response))
            return;
        const metrics::Service &counted = metrics::Counted();
        Exposition out;
        out.family("korvantis_uptime_seconds", "gauge", "Time since the service started.");
        out.sample("korvantis_uptime_seconds", {},
                   std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        clients(out, context, application);
        databases(out);
        out.histogram("korvantis_web_event_duration_seconds", "Time to answer a request of a web session's page.",
                      counted.webEvents);
        out.histogram("korvantis_mobile_command_duration_seconds",
                      "Time to answer a mobile application's command, the wait for the service lock included.",
                      counted.mobileCommands);
        out.histogram("korvantis_service_lock_wait_seconds", "Time waited for the service lock.",
                      counted.serviceLockWait);
        out.family("korvantis_log_lines_unsaved", "gauge", "Log lines held in memory, not yet saved to a file.");
        out.sample("korvantis_log_lines_unsaved", label("log", "web"), context.webLog.lineCount());
        out.sample("korvantis_log_lines_unsaved", label("log", "mobile"), context.mobileLog.lineCount());
        response.set_content(out.text(), "text/plain; version=0.0.4; charset=utf-8");
    });
}
