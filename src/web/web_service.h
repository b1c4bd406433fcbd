#pragma once

#include "web/framework/http_listener.h"

class ServiceContext;

// The web server of the service as the life cycle sees it: started on
// PORT_WEB_SERVERA, every session ended, stopped again.
class WebService {
public:
    explicit WebService(ServiceContext &context);

    bool start(int port, QString *error);
    void stop();
    void endAllSessions();
    bool listening() const { return listener_.listening(); }
    int port() const { return listener_.port(); }

private:
    ServiceContext &context_;
    HttpListener listener_;
};
