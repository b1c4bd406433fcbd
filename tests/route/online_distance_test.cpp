#include "route/online_distance.h"

#include <httplib.h>

#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr char kPage[] = R"({"features":[{"properties":{"RouteMetaData":{"duration":{"value":611},)"
                         R"("distance":3875.2,"segments":[1,2]}}}]})";

// A local server that plays the route page and its redirects.
class RoutePage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new httplib::Server;
        server->Get("/route", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(kPage, "application/json");
        });
        server->Get("/nokeys", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"distance":3875.2,"segments":[]})", "application/json");
        });
        server->Get("/zero", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"duration":1,"distance":0,"segments":[]})", "application/json");
        });
        server->Get("/garbled", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"duration":1,"distance":"far","segments":[]})", "application/json");
        });
        server->Get("/absolute", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Location", "http://127.0.0.1:" + std::to_string(port) + "/route");
        });
        server->Get("/twoslashes", [](const httplib::Request &, httplib::Response &res) {
            res.status = 301;
            res.set_header("Location", "//127.0.0.1:" + std::to_string(port) + "/absolute");
        });
        server->Get("/oneslash", [](const httplib::Request &, httplib::Response &res) {
            res.status = 307;
            res.set_header("Location", "/twoslashes");
        });
        server->Get("/loop", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Location", "/loop");
        });
        server->Get("/nowhere", [](const httplib::Request &, httplib::Response &res) { res.status = 302; });
        server->Get("/failing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 500;
            res.set_content(kPage, "application/json");
        });
        server->Get("/slow", [](const httplib::Request &, httplib::Response &res) {
            std::this_thread::sleep_for(1500ms);
            res.set_content(kPage, "application/json");
        });
        server->Get("/", [](const httplib::Request &req, httplib::Response &res) {
            lastQuery = req.target;
            res.set_content(kPage, "application/json");
        });
        // Bound and listening here: requests wait in the backlog until the loop runs.
        port = server->bind_to_any_port("127.0.0.1");
        thread = new std::thread([] { server->listen_after_bind(); });
    }
    static void TearDownTestSuite()
    {
        server->stop();
        thread->join();
        delete thread;
        delete server;
    }
    static double fetch(const std::string &path, std::chrono::milliseconds timeout = 5s)
    {
        return FetchRouteDistance(QString::fromStdString("http://127.0.0.1:" + std::to_string(port) + path), timeout);
    }

    static inline httplib::Server *server = nullptr;
    static inline std::thread *thread = nullptr;
    static inline int port = 0;
    static inline std::string lastQuery;
};

TEST_F(RoutePage, ReadsTheDistanceAfterTheDurationKey)
{
    EXPECT_DOUBLE_EQ(fetch("/route"), 3875.2);
    EXPECT_EQ(fetch("/nokeys"), 0);
    EXPECT_EQ(fetch("/zero"), 0);
    EXPECT_EQ(fetch("/garbled"), 0);
}

TEST_F(RoutePage, FollowsRedirectsOfEveryLocationForm)
{
    EXPECT_DOUBLE_EQ(fetch("/absolute"), 3875.2);
    EXPECT_DOUBLE_EQ(fetch("/twoslashes"), 3875.2);
    EXPECT_DOUBLE_EQ(fetch("/oneslash"), 3875.2);  // three redirects in a row
}

TEST_F(RoutePage, FailuresGiveNoDistance)
{
    EXPECT_EQ(fetch("/loop"), 0);
    EXPECT_EQ(fetch("/nowhere"), 0);
    EXPECT_EQ(fetch("/failing"), 0);
    EXPECT_EQ(fetch("/slow", 300ms), 0);
    EXPECT_EQ(FetchRouteDistance(QStringLiteral("http://127.0.0.1:1/route"), 2s), 0);
    EXPECT_EQ(FetchRouteDistance(QStringLiteral("file:///etc/passwd"), 2s), 0);
}

TEST_F(RoutePage, TripAskedWithCityAndStreetAndHouse)
{
    QStringList log;
    const auto logEvent = [&](const QString &rest) { log << rest; };
    const QString host = QStringLiteral("127.0.0.1:%1").arg(port);
    const double km = OnlineTripDistance(host, QStringLiteral("Луцьк"), QStringLiteral("[Лесі Українки]{5}кв. 3"),
                                         QStringLiteral("Вокзал"), logEvent);
    EXPECT_DOUBLE_EQ(km, 3.8752);
    EXPECT_EQ(lastQuery.rfind("/?rt=%D0%9B%D1%83", 0), 0u) << lastQuery;
    const std::string phrase = UrlEncodeQuery(QStringLiteral("Луцьк Лесі Українки 5").toUtf8()).toStdString();
    EXPECT_NE(lastQuery.find(phrase + "~" + UrlEncodeQuery(QStringLiteral("Луцьк Вокзал").toUtf8()).toStdString()
                             + "&via=&sll=30.522301%2C50.451118&sspn=0.755310%2C0.291102&rtm=atm"),
              std::string::npos)
        << lastQuery;
    EXPECT_NE(lastQuery.find("&z=11&l=map&ncrnd=7702&nocookiesupport=yes"), std::string::npos);
    EXPECT_TRUE(log.isEmpty());

    EXPECT_EQ(OnlineTripDistance(host, QStringLiteral("  "), QStringLiteral("А"), QStringLiteral("Б"), logEvent), 0);
    EXPECT_EQ(log, QStringList{QStringLiteral("] Помилка у прорахунку відстані по заданих данних кодованого клієнта "
                                              "(не задано місто знаходження служби) !")});
}

TEST(UrlEncodeQuery, KeepsOnlyLettersDigitsAndUnderscore)
{
    EXPECT_EQ(UrlEncodeQuery("Ab_9 -.~'\"&"), QByteArray("Ab_9+%2D%2E%7E%27%22%26"));
    EXPECT_EQ(UrlEncodeQuery(QStringLiteral("Лу").toUtf8()), QByteArray("%D0%9B%D1%83"));
    // Free text without a street form goes as it stands; '?' stands for what Windows-1251 lacks.
    EXPECT_TRUE(RouteQueryUrl("h", "Луцьк", "біля ринку 😀", "x").startsWith(
        "http://h/?rt=" + UrlEncodeQuery(QStringLiteral("Луцьк біля ринку ?").toUtf8())));
}

}  // namespace
