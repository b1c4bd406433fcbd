#include "web/web_service.h"

#include "shell/service_context.h"

WebService::WebService(ServiceContext &context) : context_(context), listener_(nullptr) {}

bool WebService::start(int port, QString *error)
{
    endAllSessions();
    return listener_.start(port, error);
}

void WebService::stop()
{
    endAllSessions();
    listener_.stop();
}

void WebService::endAllSessions() {}
