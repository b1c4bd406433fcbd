// One CalcTripDistance on generated cities of 100, 400 and 1000 streets, in a real
// embedded Firebird database: the engine (its statements included) against the
// literal reference search of the tests.

#include "city_map_generator.h"
#include "data/danni.h"
#include "reference_route_engine.h"
#include "route/route_engine.h"
#include "service_folder.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

namespace {

struct City {
    explicit City(int streets)
        : engine(danni, folder.path(), [](const QString &) {}), reference(danni, folder.path())
    {
        kvtest::CityOptions options;
        options.streets = streets;
        options.seed = 7;
        map = kvtest::GenerateCity(options);
        const fb::ConnectParams params{folder.dispatchDatabase(), QStringLiteral("SYSDBA"),
                                       QStringLiteral("masterkey")};
        dispatcher.open(params);
        kvtest::WriteCity(dispatcher, map);
        danni.BAZA.open(params);
        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        scale.open(QIODevice::WriteOnly);
        scale.write("[KARTA_MISTA]\r\nLENGTH=100\r\nLENGTH_TOCHKA=10\r\n");
        scale.close();
        engine.LoadCityMap();
        reference.LoadCityMap();

        // Trips across town with several candidate routes each.
        std::mt19937 random(streets);
        for (int attempt = 0; attempt < 400 && trips.size() < 5; ++attempt) {
            const QString start = map.buildings[int(random() % unsigned(map.buildings.size()))];
            const QString destination = map.buildings[int(random() % unsigned(map.buildings.size()))];
            if (engine.CalcTripDistance(start, destination) > 0 && engine.lastTrip().routes.size() >= 3)
                trips.push_back({start, destination});
        }
    }

    kvtest::ServiceFolder folder;
    kvtest::CityMap map;
    fb::Attachment dispatcher;
    TDANI danni;
    RouteEngine engine;
    ReferenceRouteEngine reference;
    std::vector<std::pair<QString, QString>> trips;
};

City &city(int streets)
{
    static std::map<int, std::unique_ptr<City>> cities;
    auto &slot = cities[streets];
    if (!slot)
        slot = std::make_unique<City>(streets);
    return *slot;
}

void counters(benchmark::State &state, const City &c)
{
    state.counters["map_points"] = double(c.map.points.size());
    state.counters["trips"] = double(c.trips.size());
}

void BM_Engine(benchmark::State &state)
{
    City &c = city(int(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        const auto &trip = c.trips[i++ % c.trips.size()];
        benchmark::DoNotOptimize(c.engine.CalcTripDistance(trip.first, trip.second));
    }
    counters(state, c);
}

// The first calculation after a dispatcher's change reads the map again.
void BM_EngineAfterMapChange(benchmark::State &state)
{
    City &c = city(int(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fb::Transaction transaction(c.dispatcher);
        fb::Query query(transaction);
        query.execute(QStringLiteral("UPDATE KARTA_MISTA SET KOORD_KART_MISTA_STATUS = KOORD_KART_MISTA_STATUS "
                                     "WHERE KOORD_KART_MISTA_NP = 1"));
        transaction.commit();
        state.ResumeTiming();
        const auto &trip = c.trips[i++ % c.trips.size()];
        benchmark::DoNotOptimize(c.engine.CalcTripDistance(trip.first, trip.second));
    }
    counters(state, c);
}

void BM_Reference(benchmark::State &state)
{
    City &c = city(int(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        const auto &trip = c.trips[i++ % c.trips.size()];
        benchmark::DoNotOptimize(c.reference.CalcTripDistance(trip.first, trip.second));
    }
    counters(state, c);
}

BENCHMARK(BM_Engine)->Arg(100)->Arg(400)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineAfterMapChange)->Arg(100)->Arg(400)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->Arg(100)->Arg(400)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
