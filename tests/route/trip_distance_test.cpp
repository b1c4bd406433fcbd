#include "route_test_db.h"

#include "common/service_lock.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <future>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

RouteEngine::OnlineDistance online(double kilometres)
{
    return [kilometres](const QString &, const QString &) {
        return RouteEngine::OnlineFetch([kilometres](const FetchCancelled &) { return kilometres; });
    };
}

class TripDistance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db = new RouteTestDb; }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    void SetUp() override
    {
        db->clearMap();
        db->log.clear();
        db->reference.log.clear();
        db->writeScale("1000", "100");
        db->engine.onlineDistance = online(0.0);
    }

    // The worked example: 1 crosses 2 and 3, 2 and 3 each cross 4. The way over 3 is
    // shorter. Houses: "[Перша]{1}" on 1, "[Четверта]{7}" on 4.
    void fourStreets()
    {
        db->street(1, "Перша");
        db->street(2, "Друга");
        db->street(3, "Третя");
        db->street(4, "Четверта");
        db->point(1, 0, 0, {1, 2});
        db->point(2, 100, 0, {1, 3});
        db->point(3, 0, 300, {2, 4});
        db->point(4, 100, 100, {3, 4});
        db->point(10, 50, 3, {1}, "[Перша]{1}");
        db->point(11, 80, 200, {4}, "[Четверта]{7}");
        db->loadBoth();
    }

    static RouteTestDb *db;
};

RouteTestDb *TripDistance::db = nullptr;

TEST_F(TripDistance, WorkedExampleMeasuresBothRoutesAndKeepsTheShorter)
{
    fourStreets();
    const double km = db->engine.CalcTripDistance("[Перша]{1} кв. 2", "[Четверта]{7}");
    const RouteEngine::Trip &trip = db->engine.lastTrip();
    EXPECT_EQ(trip.routes, (QStringList{"[1][2][4]", "[1][3][4]"}));
    ASSERT_EQ(trip.lengths.size(), 2u);
    EXPECT_LT(trip.lengths[1], trip.lengths[0]);
    EXPECT_EQ(trip.mapLength, trip.lengths[1]);
    EXPECT_DOUBLE_EQ(km, trip.lengths[1] * 1000 / 100 / 1000);
    // Over 3: house 10 is its own nearest point; 10 -> crossing 2 -> crossing 4 -> house 11.
    EXPECT_DOUBLE_EQ(trip.lengths[1], std::hypot(50.0, 3.0) + 100 + std::hypot(20.0, 100.0));

    EXPECT_EQ(db->reference.CalcTripDistance("[Перша]{1} кв. 2", "[Четверта]{7}"), km);
    EXPECT_EQ(db->reference.lastRoutes, trip.routes);
    EXPECT_EQ(db->reference.lastLengths, trip.lengths);
    EXPECT_TRUE(db->log.isEmpty());
}

TEST_F(TripDistance, SameStreetTwoHundredFiftyUnitsAreTwoAndAHalfKilometres)
{
    db->street(1, "Крем'янецька");
    db->point(1, 0, 0, {1}, "Ринок");
    db->point(2, 250, 0, {1}, "Вокзал");
    db->loadBoth();
    EXPECT_DOUBLE_EQ(db->engine.CalcTripDistance("Ринок", "Вокзал"), 2.5);
    EXPECT_EQ(db->engine.lastTrip().routes, QStringList{"[1]"});
    // A street address with an apostrophe, on the same point twice: only the legs count.
    db->point(3, 0, 4, {1}, "[Крем'янецька]{3}");
    db->engine.LoadCityMap();
    EXPECT_DOUBLE_EQ(db->engine.CalcTripDistance("[Крем'янецька]{3}", "Ринок"), 0.04);
}

TEST_F(TripDistance, PlainNearestPointIsMeasuredFromItsOwnCoordinates)
{
    db->street(1, "Садова");
    db->point(1, 0, 0, {1}, "Школа №1");
    db->point(2, 300, 0, {1}, "Аптека №1");
    db->point(3, 0, 40, {1});  // plain: no slot in MapPoints
    db->point(4, 300, 40, {1});
    db->point(5, 0, 50, {1}, "Кафе");
    db->point(6, 0, 45, {}, "[Садова]{9}");  // a house the dispatchers left without streets
    db->loadBoth();
    db->engine.BuildCrossingMatrix();
    EXPECT_EQ(db->engine.NearestStreetPoint("Кафе<5>"), 5);
    EXPECT_DOUBLE_EQ(db->engine.RouteLength("Школа №1<1>", "Аптека №1<2>", "[1]"), 300);
    // Points 3 and 5 are equally near the house; 3 comes first and is plain: (0,40).
    EXPECT_EQ(db->engine.NearestStreetPoint("[Садова]{9}<6>"), 3);
    EXPECT_DOUBLE_EQ(db->engine.RouteLength("[Садова]{9}<6>", "Аптека №1<2>", "[1]"), std::hypot(300.0, 40.0) + 5);
    EXPECT_EQ(db->engine.CalcTripDistance("[Садова]{9}", "Аптека №1"),
              db->reference.CalcTripDistance("[Садова]{9}", "Аптека №1"));
    EXPECT_DOUBLE_EQ(db->engine.lastTrip().mapLength, std::hypot(300.0, 40.0) + 5);
}

TEST_F(TripDistance, ObjectAtACrossingOfTheStartStreetTakesThatStreetAlone)
{
    fourStreets();
    db->point(20, 101, 100, {4, 3}, "Ратуша");  // first street 4, also on 3
    db->point(21, 100, 60, {3}, "[Третя]{5}");
    db->loadBoth();
    EXPECT_GT(db->engine.CalcTripDistance("[Третя]{5}", "Ратуша"), 0);
    EXPECT_EQ(db->engine.lastTrip().routes, QStringList{"[3]"});
    // From the object the search starts on its first street, 4.
    db->engine.CalcTripDistance("Ратуша", "[Перша]{1}");
    EXPECT_EQ(db->engine.lastTrip().routes, (QStringList{"[4][2][1]", "[4][3][1]"}));
    db->reference.CalcTripDistance("Ратуша", "[Перша]{1}");
    EXPECT_EQ(db->reference.lastRoutes, db->engine.lastTrip().routes);
    EXPECT_EQ(db->reference.lastLengths, db->engine.lastTrip().lengths);
}

TEST_F(TripDistance, UnconnectedStreetsGiveZeroWithoutLogLine)
{
    fourStreets();
    db->street(5, "П'ята");
    db->point(30, 900, 900, {5}, "[П'ята]{1}");
    db->engine.LoadCityMap();
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[П'ята]{1}"), 0);
    EXPECT_TRUE(db->engine.lastTrip().routes.isEmpty());
    EXPECT_TRUE(db->log.isEmpty());
}

TEST_F(TripDistance, AddressOffTheMapAsksTheOnlineHookWithTheTextsAsGiven)
{
    fourStreets();
    QStringList asked;
    bool lockFreeMeanwhile = false;
    db->engine.onlineDistance = [&](const QString &start, const QString &destination) {
        asked << start << destination;
        return RouteEngine::OnlineFetch([&](const FetchCancelled &) {
            lockFreeMeanwhile = std::async(std::launch::async, [] {
                                    return std::unique_lock(ServiceLock(), std::try_to_lock).owns_lock();
                                }).get();
            return 7.5;
        });
    };
    {
        const ServiceLockGuard handler;  // as a page handler holds it around its work
        EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1} під'їзд 2", "Невідоме місце"), 7.5);
    }
    EXPECT_EQ(asked, (QStringList{"[Перша]{1} під'їзд 2", "Невідоме місце"}));
    EXPECT_TRUE(lockFreeMeanwhile) << "the page is fetched with the service lock released";

    db->engine.onlineDistance = online(0.0);
    EXPECT_EQ(db->engine.CalcTripDistance("Невідоме місце", "[Перша]{1}"), 0);

    // A server stop lets a waiting fetch go at once.
    std::vector<bool> toldToStop;
    db->engine.onlineDistance = [&](const QString &, const QString &) {
        return RouteEngine::OnlineFetch([&](const FetchCancelled &cancelled) {
            toldToStop.push_back(cancelled());
            return 0.0;
        });
    };
    db->engine.CalcTripDistance("Невідоме місце", "[Перша]{1}");
    db->engine.CancelFetches(true);
    db->engine.CalcTripDistance("Невідоме місце", "[Перша]{1}");
    db->engine.CancelFetches(false);
    EXPECT_EQ(toldToStop, (std::vector<bool>{false, true}));
}

// A route host that accepts connections and never answers (a socket that listens and
// never takes them) holds only as many callers as may wait for it; the next one is told
// at once.
TEST_F(TripDistance, ATarpitRouteHostHoldsOnlyTheCallersThatMayWait)
{
    fourStreets();
    const int tarpit = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(tarpit, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(tarpit, 16), 0);
    ::getsockname(tarpit, reinterpret_cast<sockaddr *>(&address), &length);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port));
    db->engine.onlineDistance = [host](const QString &start, const QString &destination) {
        return RouteEngine::OnlineFetch([=](const FetchCancelled &cancelled) {
            return OnlineTripDistance(host, QStringLiteral("Луцьк"), start, destination, {}, cancelled);
        });
    };
    db->engine.SetRoutePageWaits(2);
    std::vector<std::future<double>> waiting;
    for (int i = 0; i < 2; ++i)
        waiting.push_back(std::async(std::launch::async, [] { return db->engine.CalcTripDistance("Невідоме місце", "[Перша]{1}"); }));
    // Both are waiting once the host has their connections (taken, and never answered).
    std::vector<int> held;
    for (int i = 0; i < 2; ++i) {
        pollfd incoming{tarpit, POLLIN, 0};
        ASSERT_EQ(::poll(&incoming, 1, 20000), 1);
        held.push_back(::accept(tarpit, nullptr, nullptr));
    }
    EXPECT_THROW(db->engine.CalcTripDistance("Невідоме місце", "[Перша]{1}"), RoutePageBusy);
    EXPECT_EQ(db->log.filter("Сторінка маршрутів не встигає відповідати").size(), 1);
    db->engine.CancelFetches(true);
    for (auto &call : waiting)
        EXPECT_EQ(call.get(), 0);
    db->engine.CancelFetches(false);
    db->engine.SetRoutePageWaits(8);
    for (const int socket : held)
        ::close(socket);
    ::close(tarpit);
}

TEST_F(TripDistance, MapScaleProblemsAreLogged)
{
    fourStreets();
    const QString missing = "] Немає можливості прорахувати відстань поїздки (не найдено SETTING_KART.INI)";
    const QString invalid = "] Немає можливості прорахувати відстань поїздки (помилка у параметрах заданих у файлі "
                            "SETTING_KART.INI)";
    QFile::remove(db->folder.filePath("SETTING_KART.INI"));
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->log, QStringList{missing});

    db->log.clear();
    db->writeScale("1000", "0");
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[Перша]{1}"), 0);  // even a zero length
    db->writeScale("сто", "10");
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->log, (QStringList{invalid, invalid}));

    db->log.clear();
    db->writeScale("12,5", "100");  // the dispatchers' decimal comma
    EXPECT_DOUBLE_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"),
                     db->engine.lastTrip().mapLength * 12.5 / 100 / 1000);
    EXPECT_TRUE(db->log.isEmpty());
}

TEST_F(TripDistance, PointOutsideMapPointsFailsTheCalculation)
{
    fourStreets();
    db->point(50, 0, 10, {1}, "Нова зупинка");  // added after the map was loaded, no event yet
    EXPECT_EQ(db->engine.CalcTripDistance("Нова зупинка", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->log, QStringList{"] Помилка у прорахунку відстані по заданих данних кодованого клієнта !"});
    db->engine.AppendMapPoints();
    EXPECT_GT(db->engine.CalcTripDistance("Нова зупинка", "[Четверта]{7}"), 0);
}

// The dispatchers' changes are seen with either check of the map's freshness: the record
// versions of Firebird 3 and later, or the row checksums older servers are checked by.
class MapFreshness : public TripDistance, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        TripDistance::SetUp();
        db->danni.dispatchRecordVersions = GetParam();
    }
    void TearDown() override { db->danni.dispatchRecordVersions = true; }
};

INSTANTIATE_TEST_SUITE_P(Checks, MapFreshness, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "RecordVersions" : "RowChecksums"; });

TEST_P(MapFreshness, DispatchersChangesReachTheNextCalculation)
{
    fourStreets();
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    ASSERT_EQ(db->engine.lastTrip().routes.size(), 2);
    // The crossing of 3 and 4 goes away: one route is left.
    db->exec("DELETE FROM KARTA_MISTA WHERE KOORD_KART_MISTA_NP = 4");
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    EXPECT_EQ(db->engine.lastTrip().routes, QStringList{"[1][2][4]"});
    // A new street 5 now crosses 1 and 4 directly (new map points, new street).
    db->street(5, "Об'їзна");
    db->point(60, 200, 0, {1, 5});
    db->point(61, 200, 200, {5, 4});
    db->engine.AppendMapPoints();
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    EXPECT_EQ(db->engine.lastTrip().routes, (QStringList{"[1][2][4]", "[1][5][4]"}));
    // A crossing re-assigned to other streets (an update, no event at all).
    db->exec("UPDATE KARTA_MISTA SET KOORD_KART_MISTA_PUKT_2 = 3 WHERE KOORD_KART_MISTA_NP = 61");
    db->street(6, "Шоста");
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    EXPECT_EQ(db->engine.lastTrip().routes, QStringList{"[1][2][4]"});
    db->reference.LoadCityMap();
    db->reference.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    EXPECT_EQ(db->reference.lastLengths, db->engine.lastTrip().lengths);
}

}  // namespace

namespace {

TEST_F(TripDistance, AddressTextsCompareAsTheDatabaseComparesThem)
{
    fourStreets();
    db->point(40, 0, 150, {2}, "Кафе \"Під'їзд\"");
    db->engine.LoadCityMap();
    db->reference.LoadCityMap();
    auto same = [&](const QString &start, const QString &destination) {
        const double km = db->engine.CalcTripDistance(start, destination);
        EXPECT_EQ(km, db->reference.CalcTripDistance(start, destination)) << start.toStdString();
        EXPECT_EQ(db->engine.lastTrip().routes, db->reference.lastRoutes) << start.toStdString();
        return km;
    };
    db->engine.onlineDistance = online(99.0);
    EXPECT_GT(same("Кафе \"Під'їзд\"   ", "[Четверта]{7}"), 0);  // trailing blanks do not count
    EXPECT_LT(db->engine.CalcTripDistance("Кафе \"Під'їзд\"   ", "[Четверта]{7}"), 99);
    EXPECT_EQ(db->engine.CalcTripDistance("кафе \"Під'їзд\"", "[Четверта]{7}"), 99);  // case counts
    // LIKE wildcards stay wildcards: on the map, though no street is named "Пер_а".
    EXPECT_EQ(same("[Пер_а]{1}", "[Четверта]{7}"), 0);
    EXPECT_GT(db->engine.CalcTripDistance("[Перша]{%}", "[Четверта]{7}"), 0);
    EXPECT_LT(same("[Перша]{%}", "[Четверта]{7}"), 99);
    same("[Перша]{1", "[Четверта]{7}");  // no "}": any captioned point will do
}

TEST_P(MapFreshness, RenamedStreetIsFoundByItsNewName)
{
    fourStreets();
    db->point(41, 100, 50, {3}, "[Нова]{2}");
    db->engine.LoadCityMap();
    EXPECT_EQ(db->engine.CalcTripDistance("[Нова]{2}", "[Четверта]{7}"), 0);  // no street named so
    db->exec("UPDATE VULICA_LUCK SET SPISOK_VUL_VULICA = 'Нова' WHERE SPISOK_VUL_NOMER = 3");
    EXPECT_GT(db->engine.CalcTripDistance("[Нова]{2}", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->engine.lastTrip().routes.value(0), "[3][4]");
}

}  // namespace

namespace {

TEST_P(MapFreshness, LateCommitOfAnOlderDispatcherTransactionIsSeen)
{
    fourStreets();
    fb::Transaction older(*db->dispatcher);
    fb::Query query(older);
    query.open("SELECT COUNT(*) FROM KARTA_MISTA");  // its number is now below the next writers'
    db->point(70, 500, 500, {}, "Стоянка");
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    ASSERT_EQ(db->engine.lastTrip().routes.size(), 2);
    query.execute("UPDATE KARTA_MISTA SET KOORD_KART_MISTA_PUKT_2 = 0 WHERE KOORD_KART_MISTA_NP = 4");
    older.commit();
    db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}");
    EXPECT_EQ(db->engine.lastTrip().routes, QStringList{"[1][2][4]"});
}

TEST_F(TripDistance, SearchStepsCanBeRunOneByOne)
{
    fourStreets();
    db->engine.BuildCrossingMatrix();
    EXPECT_EQ(db->engine.MaxStreetNumber(), 4);
    db->engine.FindStreetRoutes("[Перша]{1}<10>", "[Четверта]{7}<11>");
    db->engine.RankRoutes();
    EXPECT_EQ(db->engine.RouteTexts(), (QStringList{"[1][2][4]", "[1][3][4]"}));
    EXPECT_EQ(db->engine.NearestStreetPoint("[Перша]{1}<10>"), 10);
    EXPECT_EQ(db->engine.RouteLength("[Перша]{1}<10>", "[Четверта]{7}<11>", "[1][2][4]"),
              db->reference.RouteLength("[Перша]{1}<10>", "[Четверта]{7}<11>", "[1][2][4]"));
    EXPECT_EQ(db->engine.RouteLength("[Перша]{1}<10>", "[Четверта]{7}<11>", ""), 0);
}

}  // namespace

namespace {

// Street names under a dictionary collation: the engine asks the database itself.
TEST(TripDistanceCollation, NonBinaryStreetNamesAreLookedUpByStatements)
{
    RouteTestDb db;
    db.exec("DROP TABLE VULICA_LUCK");
    db.exec("CREATE TABLE VULICA_LUCK (SPISOK_VUL_NOMER INTEGER NOT NULL PRIMARY KEY, "
            "SPISOK_VUL_VULICA VARCHAR(100) CHARACTER SET WIN1251 COLLATE PXW_CYRL)");
    db.street(1, "Перша");
    db.street(2, "Друга");
    db.point(1, 0, 0, {1, 2});
    db.point(2, 50, 0, {1}, "[Перша]{3}");
    db.point(3, 0, 80, {2}, "[Друга]{4}");
    db.loadBoth();
    const double km = db.engine.CalcTripDistance("[Перша]{3}", "[Друга]{4}");
    EXPECT_DOUBLE_EQ(km, 1.3);
    EXPECT_EQ(km, db.reference.CalcTripDistance("[Перша]{3}", "[Друга]{4}"));
    EXPECT_EQ(db.engine.lastTrip().routes, QStringList{"[1][2]"});
}

}  // namespace

namespace {

TEST_F(TripDistance, CrossingBeyondTheStreetListFailsEveryMapCalculation)
{
    fourStreets();
    db->point(80, 300, 300, {4, 9});  // street 9 is not in VULICA_LUCK
    db->engine.onlineDistance = online(3.5);
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->log, QStringList{"] Помилка у прорахунку відстані по заданих данних кодованого клієнта !"});
    EXPECT_EQ(db->reference.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"), 0);
    EXPECT_EQ(db->reference.log, QStringList{"failure"});
    EXPECT_EQ(db->engine.CalcTripDistance("[Перша]{1}", "Невідоме місце"), 3.5);  // no map needed
    db->street(9, "Дев'ята");
    EXPECT_GT(db->engine.CalcTripDistance("[Перша]{1}", "[Четверта]{7}"), 0);
}

}  // namespace
