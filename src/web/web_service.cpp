#include "web/web_service.h"

#include "common/service_lock.h"
#include "shell/service_context.h"
#include "web/form_remontni_roboty.h"
#include "web/health.h"
#include "web/main_web.h"
#include "web/metrics_endpoint.h"
#include "web/user_session.h"
#include "web/maintenance_picture.h"
#include "web/web_files.h"

#include <httplib.h>

WebService::WebService(ServiceContext &context)
    : context_(context), application_(ServiceLock(), TIWServerController::Configuration(context.folder)),
      controller_(context, application_), healthAccess_(context, application_),
      listener_([this](httplib::Server &server) {
          InstallHealthRoute(server, context_, application_, healthAccess_, started_);
          InstallMetricsRoute(server, context_, application_, healthAccess_, started_);
          application_.installRoutes(server);
      }, listenerLimits())
{
    TWebMainForm::SetContext(&context_);
    application_.onNewSession = [this](WebSession &session) {
        context_.accounts.addScan(context_.running());
        controller_.IWServerControllerBaseNewSession(session);
    };
    application_.onCloseSession = [this](WebSession &session) { controller_.IWServerControllerBaseCloseSession(session); };
    application_.onUntrustedForward = [this](const QString &peer) {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        qint64 told = untrustedForwardTold_.load();
        if (now - told < kUntrustedForwardInterval || !untrustedForwardTold_.compare_exchange_strong(told, now))
            return;
        context_.webLog.event(QStringLiteral("]: Запит з адреси IP:[%1] має заголовок X-Forwarded-For, але ця адреса не "
                                             "вказана у WEB/TRUSTED_PROXIES: якщо це проксі-сервер, внесіть його туди, "
                                             "інакше всі клієнти за ним рахуються однією адресою.")
                                  .arg(peer));
    };
    application_.mayEndWhenLeft = SessionUnused;
    application_.createStartPage = [this](WebSession &session) {
        if (context_.startOnMaintenance)
            session.openPage<TForm_remontni_roboty>();
        else
            session.openPage<TWebMainForm>();
    };
    application_.addResource(QString::fromLatin1(TForm_remontni_roboty::kPicture), "image/jpeg",
                             MaintenancePictureJpeg());
}

WebService::~WebService()
{
    listener_.stop();
    // The idle sweep may still run until the application goes: it must find no handler.
    ServiceLockGuard lock(ServiceLock());
    application_.onNewSession = nullptr;
    application_.onCloseSession = nullptr;
    application_.onUntrustedForward = nullptr;
    application_.mayEndWhenLeft = nullptr;
    application_.createStartPage = nullptr;
    TWebMainForm::SetContext(nullptr);
    TWebMainForm::SetRouteEngine(nullptr);
}

HttpServer::Limits WebService::listenerLimits()
{
    HttpServer::Limits limits;
    // Out of descriptors the browsers' connections wait in the listen queue; the log says
    // so once, and once when they are taken again.
    limits.acceptingChanged = [this](bool accepting, const std::string &reason) {
        context_.webLog.event(accepting ? QStringLiteral("] WEB СЕРВЕР знову приймає зєднання.")
                                        : QStringLiteral("] ПОМИЛКА WEB СЕРВЕРА: нові зєднання не приймаються (%1). "
                                                         "Повторна спроба щочверть секунди.")
                                              .arg(QString::fromLocal8Bit(reason)));
    };
    return limits;
}

bool WebService::start(int port, QString *error)
{
    endAllSessions();
    EnsureWebFiles(application_.config().filesFolder);
    QStringList proxies;
    {
        ServiceLockGuard lock(ServiceLock());
        proxies = ServerSettings::addresses(context_.settings.TRUSTED_PROXIES);
    }
    application_.setTrustedProxies(proxies);
    return listener_.start(port, error, proxies);
}

void WebService::stopListening() { listener_.stop(); }

void WebService::stop()
{
    stopListening();
    endAllSessions();
}

void WebService::endAllSessions() { application_.removeAllSessions(); }

void WebService::setRouteEngine(RouteEngine &routes) { TWebMainForm::SetRouteEngine(&routes); }
