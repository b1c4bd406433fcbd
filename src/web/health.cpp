#include "web/health.h"

#include "common/service_lock.h"
#include "shell/service_context.h"
#include "web/framework/web_application.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

#include <httplib.h>

namespace {

// One trivial read; false when the database does not answer it.
bool answers(fb::Transaction &transaction)
{
    try {
        fb::Query query(transaction);
        query.openReadOnly(QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
        return !query.isEmpty();
    } catch (const std::exception &) {
        return false;
    }
}

}  // namespace

bool HealthRequestAllowed(const QString &peer, const QStringList &from)
{
    const QHostAddress address(peer);
    if (address.isLoopback())
        return true;
    for (const QString &host : from)
        if (!address.isNull() && QHostAddress(host).isEqual(address, QHostAddress::TolerantConversion))
            return true;
    return false;
}

HealthAccess::HealthAccess(ServiceContext &context, WebApplication &application)
    : context_(context), application_(application)
{
}

bool HealthAccess::refuses(const httplib::Request &request, httplib::Response &response)
{
    response.set_header("Cache-Control", "no-store");
    if (allows(request))
        return false;
    response.status = 403;
    return true;
}

bool HealthAccess::allows(const httplib::Request &request)
{
    QStringList from;
    {
        std::unique_lock service(ServiceLock(), std::try_to_lock);
        std::lock_guard guard(mutex_);
        if (service.owns_lock())
            from_ = ServerSettings::addresses(context_.settings.HEALTH_FROM);
        from = from_;
    }
    // The connection's own peer, unless it is a trusted proxy: a proxy on this host
    // would otherwise make every client a local one.
    return HealthRequestAllowed(application_.clientAddress(request), from);
}

void InstallHealthRoute(httplib::Server &server, ServiceContext &context, WebApplication &application,
                        HealthAccess &access, std::chrono::steady_clock::time_point started)
{
    server.Get("/health", [&context, &application, &access, started](const httplib::Request &request,
                                                                     httplib::Response &response) {
        if (access.refuses(request, response))
            return;
        QJsonObject report;
        {
            ServiceLockGuard lock(ServiceLock());
            TDANI &d = context.danni;
            report[QStringLiteral("servers")] = context.running() ? QStringLiteral("running") : QStringLiteral("stopped");
            report[QStringLiteral("dispatchDatabase")] = answers(d.TRANZ_RIZNE);
            report[QStringLiteral("serviceDatabase")] = answers(d.TRANZ_GPRS_RIZNE);
            report[QStringLiteral("connections")] = ServerSettings::toInt(d.activeCount).value_or(0);
        }
        report[QStringLiteral("webSessions")] = application.sessionCount();
        report[QStringLiteral("uptimeSeconds")] =
            qint64(std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count());
        response.set_content(QJsonDocument(report).toJson(QJsonDocument::Compact).toStdString(), "application/json");
    });
}
