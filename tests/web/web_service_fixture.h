#pragma once

#include "../web_framework/web_client.h"

#include "common/service_lock.h"
#include "route/route_engine.h"
#include "web/user_session.h"
#include "scripted_prompt.h"
#include "service_databases.h"
#include "web/web_service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <stdexcept>

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
        s.MAX_ZEDNAN_Z_ADRESY = QStringLiteral("0");  // every browser of the tests comes from one address
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

    // A statement on the dispatchers' database over a connection of its own, as their
    // program would run it.
    void dispatchSql(const QString &statement, const fb::Params &params = {})
    {
        fb::Attachment attachment;
        attachment.open({folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
        fb::Transaction transaction(attachment);
        fb::Query(transaction).execute(statement, params);
        transaction.commit();
    }

    // The live session a browser talks to, its user object and its page of a kind.
    WebSession &sessionOf(const kvtest::WebClient &client)
    {
        const QString id = QString::fromStdString(client.address).section(u'/', 2);
        const WebApplication::LockedList list = web.application().lockSessionList();
        for (const auto &session : list.sessions())
            if (session->id() == id)
                return *session;
        throw std::runtime_error("no such session");
    }
    // The dispatchers' database out of reach, and back: every statement on it fails meanwhile.
    void dispatchDown()
    {
        ServiceLockGuard lock(ServiceLock());
        dispatchParams_ = context.danni.BAZA.params();
        context.danni.BAZA.close();
    }
    void dispatchBack()
    {
        ServiceLockGuard lock(ServiceLock());
        context.danni.BAZA.open(dispatchParams_);
    }

    TIWUserSession &userOf(const kvtest::WebClient &client) { return *sessionOf(client).dataAs<TIWUserSession>(); }
    template <class P> P &pageOf(const kvtest::WebClient &client)
    {
        return *dynamic_cast<P *>(sessionOf(client).findPage(QString::fromLatin1(P::kName)));
    }

    kvtest::ServiceFolder folder{true};
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
    QStringList engineLog;
    RouteEngine routes{context.danni, folder.path(), [this](const QString &rest) { engineLog << rest; }};
    WebService web{context};

private:
    fb::ConnectParams dispatchParams_;
};

namespace kvtest {

using Fields = std::vector<std::pair<QString, QString>>;

// An asynchronous event of a page's control (a check box, a list, a timer's "__timer"),
// posted with `fields` as the page's script does.
inline WebAnswer PostAsync(WebClient &client, const QString &page, const QString &control, Fields fields = {},
                           const QString &kind = QStringLiteral("__async"))
{
    fields.emplace_back(kind, control);
    return client.post(page, fields, "/async");
}

// The controls an asynchronous answer replaces, by name.
inline QStringList UpdatedNames(const WebAnswer &answer)
{
    QStringList names;
    for (const QJsonValue update : QJsonDocument::fromJson(answer.body.toUtf8())[QStringLiteral("updates")].toArray())
        names << update.toArray()[0].toString();
    return names;
}

// The alert boxes a page or an asynchronous answer carries, one a line.
inline QString AlertsOf(const WebAnswer &answer)
{
    QJsonArray alerts;
    if (answer.body.startsWith(u'{')) {
        alerts = QJsonDocument::fromJson(answer.body.toUtf8())[QStringLiteral("alerts")].toArray();
    } else {
        static const QRegularExpression notices(QStringLiteral("data-alerts=\"([^\"]*)\""));
        QString json = notices.match(answer.body).captured(1);
        json.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        alerts = QJsonDocument::fromJson(json.toUtf8()).array();
    }
    QStringList texts;
    for (const QJsonValue alert : alerts)
        texts << alert.toString();
    return texts.join(u'\n');
}

}  // namespace kvtest
