#pragma once

#include "common/metrics.h"
#include "route/map_points.h"
#include "route/map_texts.h"
#include "route/online_distance.h"
#include "route/route_search.h"
#include "route/street_graph.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TDANI;

// A trip whose distance the online route page gave.
struct OnlineTrip {
    QString start;
    QString destination;
    double kilometres = 0;
};

// Not an error: thrown through a deferring caller's request, which is put aside until the
// distance has been fetched (see OnlinePolicy).
struct OnlineDistanceNeeded {
    OnlineTrip trip;
    std::function<double(const FetchCancelled &)> fetch;
};

// Not an error either: the route page is waited for by as many page handlers as may wait
// at once, so this calculation gets no distance now (and should not count against the
// client). Thrown through CalcTripDistance.
struct RoutePageBusy {};

// How CalcTripDistance gets the distance of a trip off the map. By default it fetches the
// route page itself, with the service lock released (web request threads may wait). A
// caller that must not wait (the mobile server's main thread) defers: CalcTripDistance
// then throws OnlineDistanceNeeded, and the caller asks again, once it has fetched the
// distance elsewhere, with that trip as known.
struct OnlinePolicy {
    bool defer = false;
    std::optional<OnlineTrip> known;
};

// The route and fare engine's map side: MapPoints, the street search and the trip
// distance. One object per process, owned by the server control (a child QObject of
// it); every call takes the service lock, so one calculation runs at a time.
//
// The dispatchers' database stays the truth; the engine caches and invalidates. The
// street graph (crossings, the points of each street, the meeting points) and the street
// names and captions are kept between calculations and checked at the start of every
// one with a single cheap statement: the highest street number, and for VULICA_LUCK and
// KARTA_MISTA the row count and the newest and the sum of the record versions
// (RDB$RECORD_VERSION, the writing transaction of each row; on servers older than
// Firebird 3, which lack it, a sum of row checksums instead). Any change the
// dispatchers commit - an added, moved, re-captioned or deleted point, a renamed or new
// street - rebuilds the cache from one read of both tables, in the same snapshot as the
// check. The look-ups of the two addresses are then answered from the cache exactly as
// the dispatchers' program's statements answer them (see MapTexts); when the columns compare
// texts other than byte by byte, or a text is one the cache cannot judge, the statement
// itself is run.
class RouteEngine : public QObject {
    Q_OBJECT
public:
    using LogEvent = std::function<void(const QString &rest)>;
    // Fetches the online distance of one trip in kilometres, 0 for none. Made under the
    // service lock (it takes the settings it needs then), run without it, on any thread.
    using OnlineFetch = std::function<double(const FetchCancelled &cancelled)>;
    using OnlineDistance = std::function<OnlineFetch(const QString &start, const QString &destination)>;

    // `folder` holds SETTING_KART.INI; `logEvent` writes a line to the web log
    // (LOG_LIST) after the "[" and date-time it adds.
    RouteEngine(TDANI &danni, QString folder, LogEvent logEvent, QObject *parent = nullptr);
    ~RouteEngine() override;

    // Asked when an address has no point on the map, for the fetch of its distance; an
    // empty fetch means none. The online route page is not part of this engine: without
    // a hook set the distance of such trips is 0.
    OnlineDistance onlineDistance = [](const QString &, const QString &) { return OnlineFetch(); };
    // While cancelled, route page fetches running on the callers' threads give up at once
    // (a server stop must not wait for the page's time-out).
    void CancelFetches(bool cancelled) { fetchesCancelled_ = cancelled; }
    // How many callers may wait for the route page at once (0: any number); past it
    // CalcTripDistance throws RoutePageBusy at once. A route host that accepts and never
    // answers then holds only these request threads, not all of them.
    void SetRoutePageWaits(int limit) { pageWaitLimit_ = limit; }

    void LoadCityMap();
    void AppendMapPoints();
    void ReleaseCityMap();  // server stop
    const std::vector<TTOCHKA_KARTY> &MapPoints() const { return mapPoints_.points(); }
    double PointDistance(int p, int q) const;

    // Makes the street graph current (MaxStreetNumber and the crossings); throws
    // RouteIndexError when a crossing names a street beyond MaxStreetNumber.
    void BuildCrossingMatrix();
    int MaxStreetNumber() const;

    // Both texts carry their map point suffix "<number>". Fill and rank RouteList.
    void FindStreetRoutes(const QString &start, const QString &destination);
    void RankRoutes();
    const std::vector<StreetRoute> &RouteList() const { return routeList_; }
    QStringList RouteTexts() const;

    int NearestStreetPoint(const QString &address);
    double RouteLength(const QString &start, const QString &destination, const QString &route);

    // Kilometres; 0 when no distance could be computed. A trip off the map is measured
    // by the online route page as `online` says.
    double CalcTripDistance(const QString &start, const QString &destination, const OnlinePolicy &online = {});

    // Writes a new "WEB" order into ZAMOVLENNIA, numbered by GENIDZAMOVL, and logs the
    // outcome in the web log. Returns the number written; none when the insert failed.
    // A commit whose answer the network lost is settled first: the number is looked up
    // on a new connection (kLostCommitBudget at most, without the service lock) and an
    // order found there counts as placed. The client's texts are cut to their columns'
    // widths. `destination` "null" or empty stores NULL; `freeRide` is "HI" or "TAK".
    // The outcome is counted for `source` in the service's order figures.
    std::optional<int> CreateOrder(metrics::OrderSource source, int clientCode, const QString &extraData,
                                   const QString &startPoint, const QString &destination, double clientBalance,
                                   double orderSum, const QDateTime &acceptTime, const QString &freeRide, int status,
                                   const QDateTime &closeTime);
    static constexpr std::chrono::milliseconds kLostCommitBudget{2000};

    // The last map calculation, for tests and measurements: ranked routes and their
    // lengths in map units.
    struct Trip {
        QStringList routes;
        std::vector<double> lengths;
        double mapLength = 0;
    };
    const Trip &lastTrip() const { return lastTrip_; }

private:
    std::optional<int> insertOrder(int clientCode, const QString &extraData, const QString &startPoint,
                                   const QString &destination, double clientBalance, double orderSum,
                                   const QDateTime &acceptTime, const QString &freeRide, int status,
                                   const QDateTime &closeTime, metrics::OrderOutcome &outcome);
    std::optional<int> settleLostCommit(int number, const QString &told, metrics::OrderOutcome &outcome);

    double onlineTripDistance(const QString &start, const QString &destination, const OnlinePolicy &online);
    struct Endpoint;
    Endpoint resolve(const QString &address);
    std::pair<int, int> searchStreets(const Endpoint &start, const Endpoint &destination) const;
    int nearestPoint(const Endpoint &address) const;
    double routeLength(const Endpoint &start, const Endpoint &destination, const std::vector<int> &route) const;
    std::optional<int> mapPointOf(const QString &address);
    using MapStamp = std::array<qint64, 7>;
    void readMap(const MapStamp &stamp);
    void refreshMap();
    void checkCrossings() const;
    bool binaryTextColumns();
    std::optional<double> scaleToKilometres(double length);
    const StreetGraph &graph() const;

    TDANI &danni_;
    QString folder_;
    LogEvent logEvent_;
    MapPointTable mapPoints_;
    std::unique_ptr<StreetGraph> graph_;
    MapTexts texts_;
    bool textsAnswer_ = false;
    MapStamp mapStamp_{};
    std::vector<StreetRoute> routeList_;
    Trip lastTrip_;
    std::atomic<bool> fetchesCancelled_ = false;
    std::atomic<int> pageWaitLimit_ = 8;
    std::atomic<int> pageWaits_ = 0;
    std::atomic<qint64> busyToldAt_ = 0;  // ms since the epoch of the last line about it
};
