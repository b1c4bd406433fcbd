#pragma once

#include "../web_framework/web_client.h"

#include "common/service_lock.h"
#include "route/route_engine.h"
#include "scripted_prompt.h"
#include "service_databases.h"
#include "web/web_service.h"

#include <gtest/gtest.h>

// The web server of a running service on both real databases (the dispatchers' one with
// the demo city), listening on a free port, with the route engine the order pages use.
class WebServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::OpenServiceDatabases(context, folder, prompt);
        if (HasFatalFailure())
            return;
        ServerSettings &s = context.settings;
        s.ZAGRUZKA_REMONT_ROBIT = false;
        s.MAX_KIL_ZEDNAYA = QStringLiteral("5");
        s.MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("10");
        s.TELEFON_FIRMA = QStringLiteral("555-12-12");
        context.startOnMaintenance = false;
        context.accounts.resetAtStart();
        context.panelCaption = kRunningCaption;
        web.setRouteEngine(routes);
        ASSERT_TRUE(web.start(0, nullptr));
    }
    void TearDown() override { web.stop(); }

    // Runs a statement on the service database, as the operator's windows would.
    void sql(const QString &statement, const fb::Params &params = {})
    {
        ServiceLockGuard lock(ServiceLock());
        TDANI::Execute(context.danni.GPRS_RIZNE, statement, params);
        context.danni.RefreshGrid(TDANI::Grid::Activ);
    }
    QString scalar(const QString &statement, const fb::Params &params = {})
    {
        ServiceLockGuard lock(ServiceLock());
        return TDANI::ScalarText(context.danni.GPRS_RIZNE, statement, params);
    }
    int logIndex(const QString &part, int from = 0)
    {
        const QStringList lines = context.webLog.lines();
        for (int i = from; i < lines.size(); ++i)
            if (lines[i].contains(part))
                return i;
        return -1;
    }
    kvtest::WebClient browser() { return kvtest::WebClient(web.port()); }

    kvtest::ServiceFolder folder{true};
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
    QStringList engineLog;
    RouteEngine routes{context.danni, folder.path(), [this](const QString &rest) { engineLog << rest; }};
    WebService web{context};
};
