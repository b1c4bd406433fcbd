// GET /metrics of the running program after a scripted mix of browsers and phones: the
// figures agree with what happened, and Prometheus' own parser reads the text.

#include "common/text64.h"
#include "data/fb.h"
#include "headless_process.h"
#include "java_test_client.h"
#include "mobile_requests.h"
#include "web_framework/web_client.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <httplib.h>

namespace {

using namespace kvtest;

// Every sample as "name{label="value",...}" (labels sorted) → value, as the Prometheus
// client library's parser reads the text; empty when it cannot.
QJsonObject parsed(const std::string &text)
{
    QProcess python;  // Debian's, with its prometheus_client
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, json\n"
                                 "from prometheus_client.parser import text_string_to_metric_families\n"
                                 "out = {}\n"
                                 "for family in text_string_to_metric_families(sys.stdin.read()):\n"
                                 "    for s in family.samples:\n"
                                 "        labels = ','.join('%s=\"%s\"' % kv for kv in sorted(s.labels.items()))\n"
                                 "        out[s.name + ('{' + labels + '}' if labels else '')] = s.value\n"
                                 "print(json.dumps(out))\n")});
    python.write(QByteArray::fromStdString(text));
    python.closeWriteChannel();
    python.waitForFinished(20000);
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

class Metrics : public HeadlessTest {
protected:
    void SetUp() override
    {
        folder.useServer(ServerPassword());
        folder.createServiceDatabase({{QStringLiteral("00101"), QStringLiteral("pw")}});
        {
            // The dispatchers' database refuses the orders of one telephone.
            fb::Attachment base;
            base.open({folder.dispatchConnection(), QStringLiteral("SYSDBA"), folder.password()});
            fb::Transaction transaction(base);
            fb::Query query(transaction);
            query.execute(QStringLiteral("CREATE EXCEPTION KV_REFUSED 'refused'"));
            transaction.commit();
            query.execute(QStringLiteral("CREATE TRIGGER KV_REFUSE FOR ZAMOVLENNIA BEFORE INSERT AS BEGIN "
                                         "IF (NEW.ZAMOVL_PRICHINA_DELETE LIKE '%0990000000%') THEN EXCEPTION KV_REFUSED; END"));
            transaction.commit();
        }
        run(QStringLiteral("[WEB]\nTRUSTED_PROXIES=127.0.0.1\n"
                           "[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAIN_TARIF=Стандарт\n"
                           "DOZVIL_ZAM_PO_DANIH_TELEFONA=1\nDOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI=1\n"
                           "MAX_ZEDNAN_Z_ADRESY=1\n"
                           "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=20\n")
                .arg(web)
                .arg(java));
        ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntilAccepts(java, 10));
    }

    httplib::Result scrape(const std::string &forwardedFor = {})
    {
        httplib::Client client("127.0.0.1", web);
        if (!forwardedFor.empty())
            client.set_default_headers({{"X-Forwarded-For", forwardedFor}});
        return client.Get("/metrics");
    }

    const int web = freePort(), java = freePort();
};

TEST_F(Metrics, TheFiguresTellWhatHappenedAndParse)
{
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    ASSERT_EQ(phone.answer(), QByteArray("<OK!>@"));
    phone.send(quickOrder(QStringLiteral("0671112233")));
    EXPECT_TRUE(phone.answer().startsWith("<OtvetCreateZam><NumZam>1"));
    phone.send(quickOrder(QStringLiteral("0990000000")));
    EXPECT_TRUE(phone.answer().contains("<Error>"));

    // A logged-in browser holds its address's one session: a second one is refused.
    WebClient browser(web, "127.0.0.5");
    browser.open();
    browser.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                  {{QStringLiteral("IWEdit1"), QStringLiteral("00101")}, {QStringLiteral("IWEdit2"), QStringLiteral("pw")}});
    WebClient second(web, "127.0.0.5");
    second.open();

    EXPECT_EQ(scrape("10.1.2.3")->status, 403);  // a host HEALTH_FROM does not name, behind the proxy
    const httplib::Result answer = scrape();
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->status, 200);
    EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
    const QJsonObject figures = parsed(answer->body);
    const auto figure = [&figures](const char *name) {
        EXPECT_TRUE(figures.contains(QLatin1String(name))) << name;
        return figures.value(QLatin1String(name)).toDouble(-1);
    };

    EXPECT_EQ(figure(R"(korvantis_orders_total{outcome="placed",source="mobile_quick"})"), 1);
    EXPECT_EQ(figure(R"(korvantis_orders_total{outcome="failed",source="mobile_quick"})"), 1);
    EXPECT_EQ(figure(R"(korvantis_orders_total{outcome="unknown",source="mobile_quick"})"), 0);
    EXPECT_EQ(figure(R"(korvantis_orders_total{outcome="placed",source="quick_page"})"), 0);
    EXPECT_EQ(figure("korvantis_web_sessions"), 1);
    EXPECT_EQ(figure("korvantis_web_sessions_opened_total"), 1);
    EXPECT_EQ(figure(R"(korvantis_web_sessions_refused_total{reason="address_share"})"), 1);
    EXPECT_EQ(figure(R"(korvantis_web_sessions_refused_total{reason="limit"})"), 0);
    EXPECT_EQ(figure("korvantis_mobile_connections"), 1);
    EXPECT_EQ(figure("korvantis_mobile_command_duration_seconds_count"), 2);
    EXPECT_EQ(figure(R"(korvantis_mobile_command_duration_seconds_bucket{le="+Inf"})"), 2);
    EXPECT_GE(figure("korvantis_web_event_duration_seconds_count"), 2);  // the login's post and its page
    EXPECT_GT(figure("korvantis_service_lock_wait_seconds_count"), 0);
    EXPECT_EQ(figure(R"(korvantis_database_connected{database="dispatch"})"), 1);
    EXPECT_EQ(figure(R"(korvantis_database_connected{database="service"})"), 1);
    EXPECT_EQ(figure(R"(korvantis_database_reconnects_total{database="dispatch"})"), 0);
    EXPECT_EQ(figure(R"(korvantis_database_calls_aborted_total{database="dispatch"})"), 0);
    EXPECT_GT(figure(R"(korvantis_log_lines_unsaved{log="mobile"})"), 0);
    EXPECT_GE(figure("korvantis_client_list_clients"), 0);
    stop();
}

}  // namespace
