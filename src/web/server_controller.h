#pragma once

#include "web/framework/web_application.h"

#include <QObject>
#include <QTimer>

class ServiceContext;

// The server controller of the web front end: the framework's settings, the
// admission of new sessions against MAX_KIL_ZEDNAYA with their TABLE_ACTIV rows,
// the end of sessions, and the ten-second timer that ends sessions past their
// planned end. Lives on the main thread; its handlers run on request threads too.
class TIWServerController : public QObject {
    Q_OBJECT
public:
    TIWServerController(ServiceContext &context, WebApplication &application, QObject *parent = nullptr);

    // The framework's settings for a program working in `folder`.
    static WebApplication::Config Configuration(const QString &folder);

    void IWServerControllerBaseNewSession(WebSession &session);
    void IWServerControllerBaseCloseSession(WebSession &session);
    void Timer1Timer();

private:
    // Whether a new session may have a slot: the limit of all, the share of its address
    // (whose oldest unused session may make room). Refusals are counted and logged.
    bool admit(WebSession &session);

    ServiceContext &context_;
    WebApplication &application_;
    QTimer Timer1;
};
