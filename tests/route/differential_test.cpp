#include "city_map_generator.h"
#include "route_test_db.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

struct Coverage {
    int trips = 0, measured = 0, unreachable = 0, sameStreet = 0, fullList = 0, failed = 0, ties = 0;
};

// Both engines on the same trip: the same ranked routes, the same lengths to the last
// bit, the same kilometres, and a failure on both sides or on neither.
void compareTrip(RouteTestDb &db, const QString &start, const QString &destination, Coverage &coverage)
{
    SCOPED_TRACE((start + " -> " + destination).toStdString());
    db.log.clear();
    db.reference.log.clear();
    const double fast = db.engine.CalcTripDistance(start, destination);
    const double literal = db.reference.CalcTripDistance(start, destination);
    const RouteEngine::Trip &trip = db.engine.lastTrip();
    EXPECT_EQ(trip.routes, db.reference.lastRoutes);
    EXPECT_EQ(trip.lengths, db.reference.lastLengths);
    EXPECT_EQ(trip.mapLength, db.reference.lastMapLength);
    EXPECT_EQ(fast, literal);
    EXPECT_EQ(db.log.size(), db.reference.log.size());

    ++coverage.trips;
    coverage.failed += db.log.isEmpty() ? 0 : 1;
    if (trip.routes.isEmpty())
        ++coverage.unreachable;
    else
        ++coverage.measured;
    if (trip.routes.size() == 1 && !trip.routes[0].contains("]["))
        ++coverage.sameStreet;
    if (trip.routes.size() == 30)
        ++coverage.fullList;
    if (std::count(trip.lengths.begin(), trip.lengths.end(), trip.mapLength) > 1)
        ++coverage.ties;
}

TEST(Differential, EngineMatchesTheLiteralSearchOnGeneratedCities)
{
    RouteTestDb db;
    Coverage coverage;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        kvtest::CityOptions options;
        options.seed = seed;
        options.streets = 50 + int(seed) * 15;
        options.jitter = seed % 3 != 0;  // exact grids: many equal lengths
        options.boulevardLanes = seed % 2 == 0 ? 34 : 0;
        options.villageStreets = 3;
        const kvtest::CityMap city = kvtest::GenerateCity(options);
        db.clearMap();
        kvtest::WriteCity(*db.dispatcher, city);
        db.loadBoth();

        std::mt19937 random(seed);
        auto pick = [&](const QStringList &list) { return list[int(random() % unsigned(list.size()))]; };
        auto streetAddress = [&](int street) {
            const QString prefix = u'[' + city.streets[size_t(street - 1)].name + u']';
            QStringList houses;
            for (const QString &house : city.buildings)
                if (house.startsWith(prefix))
                    houses << house;
            return houses;
        };
        QStringList places = city.buildings + city.objects;
        for (int trip = 0; trip < 14; ++trip) {
            QString start = pick(places);
            if (trip % 4 == 0 && start.contains("]{"))
                start += " кв. " + QString::number(trip);
            compareTrip(db, start, pick(places), coverage);
        }
        for (int trip = 0; trip < 3; ++trip) {
            const QStringList houses = streetAddress(int(random() % city.streets.size()) + 1);
            if (houses.size() >= 2)
                compareTrip(db, houses.first(), houses.last(), coverage);
        }
        for (int village : city.villageStreetNumbers) {
            const QStringList houses = streetAddress(village);
            if (!houses.isEmpty())
                compareTrip(db, pick(city.buildings), houses.first(), coverage);
        }
        if (city.boulevard != 0) {
            const QStringList houses = streetAddress(city.boulevard);
            for (int trip = 0; trip < 3 && !houses.isEmpty(); ++trip)
                compareTrip(db, pick(city.buildings), pick(houses), coverage);
        }
    }
    EXPECT_GT(coverage.measured, 40);
    EXPECT_GT(coverage.unreachable, 3);
    EXPECT_GT(coverage.sameStreet, 3);
    EXPECT_GT(coverage.fullList, 0);
    EXPECT_GT(coverage.ties, 0);
    std::printf("trips %d, measured %d, unreachable %d, same street %d, 30 routes %d, failed %d, ties %d\n",
                coverage.trips, coverage.measured, coverage.unreachable, coverage.sameStreet, coverage.fullList,
                coverage.failed, coverage.ties);
}

}  // namespace
