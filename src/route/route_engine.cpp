#include "route/route_engine.h"

#include "common/extract_between.h"
#include "common/service_lock.h"
#include "data/danni.h"
#include "route/map_scale.h"
#include "route/route_error.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Every street and every map point, in the tables' natural order.
const QString kReadStreets = QStringLiteral("SELECT SPISOK_VUL_NOMER, SPISOK_VUL_VULICA FROM VULICA_LUCK");
const QString kReadMap = QStringLiteral(
    "SELECT KOORD_KART_MISTA_NP, KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y, KOORD_KART_MISTA_PUKT_1, "
    "KOORD_KART_MISTA_PUKT_2, KOORD_KART_MISTA_PUKT_3, KOORD_KART_MISTA_PUKT_4, KOORD_KART_MISTA_PUKT_5, "
    "KOORD_KART_MISTA_PIDPIS\nFROM KARTA_MISTA");

// MaxStreetNumber ("SELECT max(SPISOK_VUL_NOMER) FROM VULICA_LUCK"), and what tells
// whether either table changed: an insert or update gives its rows the number of the
// writing transaction as record version, a delete lowers the count. The sum catches a
// late commit of a transaction older than the newest version.
const QString kMapStamp = QStringLiteral(
    "SELECT V.MAX_NOMER, V.ROWS_COUNT, V.NEWEST, V.VERSIONS, K.ROWS_COUNT, K.NEWEST, K.VERSIONS\n"
    "FROM (SELECT max(SPISOK_VUL_NOMER) MAX_NOMER, COUNT(*) ROWS_COUNT, MAX(RDB$RECORD_VERSION) NEWEST,\n"
    "             SUM(RDB$RECORD_VERSION) VERSIONS FROM VULICA_LUCK) V\n"
    "CROSS JOIN (SELECT COUNT(*) ROWS_COUNT, MAX(RDB$RECORD_VERSION) NEWEST, SUM(RDB$RECORD_VERSION) VERSIONS\n"
    "            FROM KARTA_MISTA) K");

// The same on a server without record versions (Firebird 2.5): the count and two sums
// of row checksums over every column the cache reads, each row's key included, so an
// added, deleted or changed row changes the stamp. HASH gives up to 63 bits: each sum
// adds it modulo a prime, so that no sum overflows.
const QString kMapChecksumStamp = QStringLiteral(
    "SELECT V.MAX_NOMER, V.ROWS_COUNT, V.SUM1, V.SUM2, K.ROWS_COUNT, K.SUM1, K.SUM2\n"
    "FROM (SELECT max(N) MAX_NOMER, COUNT(*) ROWS_COUNT, SUM(MOD(H, 1000000007)) SUM1, SUM(MOD(H, 999999937)) SUM2\n"
    "      FROM (SELECT SPISOK_VUL_NOMER N,\n"
    "                   HASH(COALESCE(SPISOK_VUL_NOMER || '', '~') || '|' || COALESCE(SPISOK_VUL_VULICA || '#', '~')) H\n"
    "            FROM VULICA_LUCK) R) V\n"
    "CROSS JOIN (SELECT COUNT(*) ROWS_COUNT, SUM(MOD(H, 1000000007)) SUM1, SUM(MOD(H, 999999937)) SUM2\n"
    "            FROM (SELECT HASH(COALESCE(KOORD_KART_MISTA_NP || '', '~') || '|' || COALESCE(KOORD_KART_MISTA_X || '', '~')\n"
    "                   || '|' || COALESCE(KOORD_KART_MISTA_Y || '', '~') || '|' || COALESCE(KOORD_KART_MISTA_PUKT_1 || '', '~')\n"
    "                   || '|' || COALESCE(KOORD_KART_MISTA_PUKT_2 || '', '~') || '|' || COALESCE(KOORD_KART_MISTA_PUKT_3 || '', '~')\n"
    "                   || '|' || COALESCE(KOORD_KART_MISTA_PUKT_4 || '', '~') || '|' || COALESCE(KOORD_KART_MISTA_PUKT_5 || '', '~')\n"
    "                   || '|' || COALESCE(KOORD_KART_MISTA_PIDPIS || '#', '~')) H\n"
    "                  FROM KARTA_MISTA) R) K");

// Collation and character set of the two text columns the look-ups compare.
const QString kTextColumns = QStringLiteral(
    "SELECT TRIM(C.RDB$COLLATION_NAME), TRIM(S.RDB$CHARACTER_SET_NAME)\n"
    "FROM RDB$RELATION_FIELDS R\n"
    "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE\n"
    "JOIN RDB$CHARACTER_SETS S ON S.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID\n"
    "LEFT JOIN RDB$COLLATIONS C ON C.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID\n"
    "  AND C.RDB$COLLATION_ID = COALESCE(R.RDB$COLLATION_ID, F.RDB$COLLATION_ID, 0)\n"
    "WHERE (R.RDB$RELATION_NAME = 'KARTA_MISTA' AND R.RDB$FIELD_NAME = 'KOORD_KART_MISTA_PIDPIS')\n"
    "   OR (R.RDB$RELATION_NAME = 'VULICA_LUCK' AND R.RDB$FIELD_NAME = 'SPISOK_VUL_VULICA')");

const QString kGeneralFailure =
    QStringLiteral("] Помилка у прорахунку відстані по заданих данних кодованого клієнта !");

struct Coordinates {
    qint64 x = 0;
    qint64 y = 0;
};

double distance(const Coordinates &a, const Coordinates &b) { return PlaneDistance(a.x, a.y, b.x, b.y); }

bool isStreetAddress(const QString &address) { return address.contains(QStringLiteral("]{")); }

std::vector<int> routeStreets(const QString &route)
{
    std::vector<int> streets;
    for (const QString &piece : route.split(u'[', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int street = piece.left(piece.indexOf(u']')).toInt(&ok);
        if (!ok)
            throw std::runtime_error("not a route text: " + route.toStdString());
        streets.push_back(street);
    }
    return streets;
}

}  // namespace

struct RouteEngine::Endpoint {
    int point = 0;                      // number in the map point suffix
    bool streetAddress = false;
    int street = 0;                     // street address: its street
    std::array<int, 5> objectStreets{}; // object: the streets of its caption
    int nearestStreet() const { return streetAddress ? street : objectStreets[0]; }
};

RouteEngine::RouteEngine(TDANI &danni, QString folder, LogEvent logEvent, QObject *parent)
    : QObject(parent), danni_(danni), folder_(std::move(folder)), logEvent_(std::move(logEvent))
{
}

RouteEngine::~RouteEngine() = default;

void RouteEngine::LoadCityMap()
{
    ServiceLockGuard lock(ServiceLock());
    mapPoints_.LoadCityMap(danni_);
}

void RouteEngine::AppendMapPoints()
{
    ServiceLockGuard lock(ServiceLock());
    mapPoints_.AppendMapPoints(danni_);
}

void RouteEngine::ReleaseCityMap()
{
    ServiceLockGuard lock(ServiceLock());
    mapPoints_.clear();
    graph_.reset();
}

double RouteEngine::PointDistance(int p, int q) const
{
    ServiceLockGuard lock(ServiceLock());
    return mapPoints_.PointDistance(p, q);
}

void RouteEngine::BuildCrossingMatrix()
{
    ServiceLockGuard lock(ServiceLock());
    refreshMap();
    checkCrossings();
}

void RouteEngine::checkCrossings() const
{
    if (graph().crossingOutOfRange())
        throw RouteIndexError("a crossing names a street beyond MaxStreetNumber");
}

void RouteEngine::refreshMap()
{
    fb::Query &q = danni_.RIZNE;
    TDANI::Select(q, danni_.dispatchRecordVersions ? kMapStamp : kMapChecksumStamp);
    MapStamp stamp{};
    for (int k = 0; k < int(stamp.size()); ++k)
        stamp[size_t(k)] = q.field(k).asInt();
    q.close();
    if (!graph_ || stamp != mapStamp_)
        readMap(stamp);  // same transaction, same snapshot as the stamp
}

bool RouteEngine::binaryTextColumns()
{
    fb::Query &q = danni_.DODAT_RIZNE;
    q.close();
    q.open(kTextColumns);
    bool binary = q.recordCount() == 2;
    for (; !q.eof(); q.next())
        binary = binary && q.field(1).asText() == QStringLiteral("WIN1251")
                 && q.field(0).asText() == QStringLiteral("WIN1251");
    q.close();
    return binary;
}

void RouteEngine::readMap(const MapStamp &stamp)
{
    textsAnswer_ = binaryTextColumns();
    texts_ = MapTexts();
    fb::Query &q = danni_.DODAT_RIZNE;
    q.open(kReadStreets);
    for (const std::vector<fb::Value> &row : q.rows())
        if (const auto *name = std::get_if<QString>(&row.at(1)))
            texts_.addStreet(int(fb::Field({}, row.at(0)).asInt()), *name);
    q.close();

    q.open(kReadMap);
    std::vector<StreetGraph::Row> map;
    map.reserve(size_t(q.recordCount()));
    for (const std::vector<fb::Value> &row : q.rows()) {
        auto number = [&](size_t column) { return int(fb::Field({}, row.at(column)).asInt()); };
        const auto *caption = std::get_if<QString>(&row.at(8));
        map.push_back({number(0), qint32(number(1)), qint32(number(2)),
                       {number(3), number(4), number(5), number(6), number(7)}, caption != nullptr});
        if (caption)
            texts_.addCaption(map.back().number, map.back().streets, *caption);
    }
    q.close();
    graph_ = std::make_unique<StreetGraph>(map, int(stamp[0]));
    mapStamp_ = stamp;
}

int RouteEngine::MaxStreetNumber() const { return graph_ ? graph_->maxStreet() : 0; }

const StreetGraph &RouteEngine::graph() const
{
    if (!graph_)
        throw std::logic_error("BuildCrossingMatrix must run first");
    return *graph_;
}

RouteEngine::Endpoint RouteEngine::resolve(const QString &address)
{
    Endpoint e;
    bool ok = false;
    e.point = ExtractBetween(address, QStringLiteral("<"), QStringLiteral(">")).toInt(&ok);
    if (!ok)
        throw std::runtime_error("no map point in " + address.toStdString());
    fb::Query &q = danni_.RIZNE;
    e.streetAddress = isStreetAddress(address);
    const QString name = ExtractBetween(address, QStringLiteral("["), QStringLiteral("]"));
    const qsizetype mark = address.indexOf(u'<');
    const QString caption = mark < 0 ? address : address.left(mark);
    if (e.streetAddress && textsAnswer_ && MapTexts::answersEquality(name)) {
        e.street = texts_.streetNumber(name).value_or(0);
    } else if (!e.streetAddress && textsAnswer_ && MapTexts::answersEquality(caption)) {
        if (const auto object = texts_.withCaption(caption))
            e.objectStreets = object->streets;
    } else if (e.streetAddress) {
        TDANI::Select(q, QStringLiteral("SELECT SPISOK_VUL_NOMER FROM VULICA_LUCK\nWHERE SPISOK_VUL_VULICA = ?"),
                      {name});
        if (!q.isEmpty()) {
            q.last();
            e.street = int(q.field(0).asInt());
        }
        q.close();
    } else {
        TDANI::Select(q,
                      QStringLiteral("SELECT  KOORD_KART_MISTA_PUKT_1, KOORD_KART_MISTA_PUKT_2, "
                                     "KOORD_KART_MISTA_PUKT_3, KOORD_KART_MISTA_PUKT_4, "
                                     "KOORD_KART_MISTA_PUKT_5  FROM  KARTA_MISTA\n"
                                     "WHERE KOORD_KART_MISTA_PIDPIS = ?"),
                      {caption});
        if (!q.isEmpty()) {
            q.last();
            for (int k = 0; k < 5; ++k)
                e.objectStreets[size_t(k)] = int(q.field(k).asInt());
        }
        q.close();
    }
    return e;
}

std::pair<int, int> RouteEngine::searchStreets(const Endpoint &start, const Endpoint &destination) const
{
    auto among = [](int street, const std::array<int, 5> &streets) {
        return std::find(streets.begin(), streets.end(), street) != streets.end();
    };
    if (start.streetAddress && destination.streetAddress)
        return {start.street, destination.street};
    if (start.streetAddress) {
        const int a = start.street;
        return {a, among(a, destination.objectStreets) ? a : destination.objectStreets[0]};
    }
    if (destination.streetAddress) {
        const int t = destination.street;
        return {among(t, start.objectStreets) ? t : start.objectStreets[0], t};
    }
    return {start.objectStreets[0], destination.objectStreets[0]};
}

void RouteEngine::FindStreetRoutes(const QString &start, const QString &destination)
{
    ServiceLockGuard lock(ServiceLock());
    const Endpoint s = resolve(start);
    const Endpoint d = resolve(destination);
    const auto [a, t] = searchStreets(s, d);
    std::vector<StreetRoute> found = ::FindStreetRoutes(graph(), a, t);
    routeList_.insert(routeList_.end(), found.begin(), found.end());
}

void RouteEngine::RankRoutes()
{
    ServiceLockGuard lock(ServiceLock());
    ::RankRoutes(routeList_);
}

QStringList RouteEngine::RouteTexts() const
{
    QStringList texts;
    for (const StreetRoute &route : routeList_)
        texts << route.text();
    return texts;
}

int RouteEngine::nearestPoint(const Endpoint &address) const
{
    const TTOCHKA_KARTY &own = mapPoints_.at(address.point);
    const std::vector<StreetPoint> &points = graph().pointsOn(address.nearestStreet());
    if (points.empty())
        return -1;
    size_t best = 0;
    double bestDistance = PlaneDistance(points[0].x, points[0].y, own.X, own.Y);
    for (size_t i = 1; i < points.size(); ++i) {
        const double d = PlaneDistance(points[i].x, points[i].y, own.X, own.Y);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return int(best);
}

int RouteEngine::NearestStreetPoint(const QString &address)
{
    ServiceLockGuard lock(ServiceLock());
    if (!graph_)
        BuildCrossingMatrix();
    const Endpoint e = resolve(address);
    const int index = nearestPoint(e);
    return index < 0 ? 0 : graph().pointsOn(e.nearestStreet())[size_t(index)].number;
}

double RouteEngine::routeLength(const Endpoint &start, const Endpoint &destination,
                                const std::vector<int> &route) const
{
    if (route.empty())
        return 0;
    // The nearest point of a street is measured from its own coordinates when it is a
    // plain point, which MapPoints does not hold; otherwise from its MapPoints slot.
    auto nearestCoordinates = [&](const Endpoint &e) {
        const int index = nearestPoint(e);
        if (index >= 0) {
            const StreetPoint &point = graph().pointsOn(e.nearestStreet())[size_t(index)];
            if (point.plain)
                return Coordinates{point.x, point.y};
            const TTOCHKA_KARTY &slot = mapPoints_.at(point.number);
            return Coordinates{slot.X, slot.Y};
        }
        const TTOCHKA_KARTY &slot = mapPoints_.at(0);
        return Coordinates{slot.X, slot.Y};
    };
    auto slotCoordinates = [&](int number) {
        const TTOCHKA_KARTY &slot = mapPoints_.at(number);
        return Coordinates{slot.X, slot.Y};
    };
    const Coordinates pS = slotCoordinates(start.point);
    const Coordinates pD = slotCoordinates(destination.point);
    const Coordinates qS = nearestCoordinates(start);
    const Coordinates qD = nearestCoordinates(destination);

    double length = 0;
    if (route.size() == 1) {
        if (qS.x != qD.x || qS.y != qD.y)
            length = distance(qS, qD);
    } else {
        std::vector<Coordinates> points{qS};
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const int meeting = graph().meetingPoint(route[i], route[i + 1]);
            if (meeting >= 0)
                points.push_back(slotCoordinates(meeting));
        }
        points.push_back(qD);
        for (size_t i = 0; i + 1 < points.size(); ++i)
            length += distance(points[i], points[i + 1]);
    }
    length += distance(pS, qS);
    length += distance(pD, qD);
    return length;
}

double RouteEngine::RouteLength(const QString &start, const QString &destination, const QString &route)
{
    ServiceLockGuard lock(ServiceLock());
    if (!graph_)
        BuildCrossingMatrix();
    return routeLength(resolve(start), resolve(destination), routeStreets(route));
}

std::optional<int> RouteEngine::mapPointOf(const QString &address)
{
    const bool street = isStreetAddress(address);
    const QString key = street ? address.left(address.indexOf(u'}') + 1) : address;
    if (textsAnswer_ && street && MapTexts::answersContaining(key))
        return texts_.pointContaining(key);
    if (textsAnswer_ && !street && MapTexts::answersEquality(key)) {
        const auto object = texts_.withCaption(key);
        return object ? std::optional<int>(object->point) : std::nullopt;
    }
    fb::Query &q = danni_.RIZNE;
    const QString select =
        QStringLiteral("SELECT KOORD_KART_MISTA_STATUS, KOORD_KART_MISTA_PIDPIS, KOORD_KART_MISTA_NP  FROM  KARTA_MISTA\n");
    if (street)
        TDANI::Select(q, select + QStringLiteral("WHERE (KOORD_KART_MISTA_PIDPIS LIKE '%' || ? || '%')"), {key});
    else
        TDANI::Select(q, select + QStringLiteral("WHERE (KOORD_KART_MISTA_PIDPIS = ?)"), {key});
    std::optional<int> point;
    if (!q.isEmpty()) {
        q.last();
        point = int(q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asInt());
    }
    q.close();
    return point;
}

std::optional<double> RouteEngine::scaleToKilometres(double length)
{
    const MapScale scale = MapScale::read(folder_);
    if (scale.status == MapScale::Status::Missing) {
        logEvent_(QStringLiteral("] Немає можливості прорахувати відстань поїздки (не найдено SETTING_KART.INI)"));
        return std::nullopt;
    }
    const std::optional<double> kilometres = scale.kilometres(length);
    if (!kilometres)
        logEvent_(QStringLiteral("] Немає можливості прорахувати відстань поїздки (помилка у параметрах "
                                 "заданих у файлі SETTING_KART.INI)"));
    return kilometres;
}

double RouteEngine::onlineTripDistance(const QString &start, const QString &destination, const OnlinePolicy &online)
{
    if (online.known && online.known->start == start && online.known->destination == destination)
        return online.known->kilometres;
    const OnlineFetch fetch = onlineDistance(start, destination);
    if (!fetch)
        return 0;
    if (online.defer)
        throw OnlineDistanceNeeded{{start, destination, 0}, fetch};
    const int limit = pageWaitLimit_.load();
    if (limit > 0 && pageWaits_.fetch_add(1) >= limit) {
        --pageWaits_;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - busyToldAt_.exchange(now) >= 60'000)
            logEvent_(QStringLiteral("] Сторінка маршрутів не встигає відповідати: %1 запитів уже чекають на неї, "
                                     "відстань інших не прораховується, поки вони не закінчаться.")
                          .arg(limit));
        throw RoutePageBusy{};
    }
    struct Waiting {
        std::atomic<int> &waits;
        ~Waiting() { --waits; }
    } waiting{pageWaits_};
    // Never wait on the network holding the lock: every page, phone and the window would.
    const ServiceLockRelease released;
    return fetch([this] { return fetchesCancelled_.load(); });
}

double RouteEngine::CalcTripDistance(const QString &start, const QString &destination, const OnlinePolicy &online)
{
    ServiceLockGuard lock(ServiceLock());
    lastTrip_ = {};
    try {
        routeList_.clear();
        danni_.TRANZ_RIZNE.commitIfActive();
        // The cache is made current first: the map point look-ups are answered from it.
        refreshMap();
        const std::optional<int> startPoint = mapPointOf(start);
        const std::optional<int> destinationPoint = mapPointOf(destination);
        if (!startPoint || !destinationPoint)
            return onlineTripDistance(start, destination, online);
        checkCrossings();  // where the crossing table would be built

        const Endpoint s = resolve(start + u'<' + QString::number(*startPoint) + u'>');
        const Endpoint d = resolve(destination + u'<' + QString::number(*destinationPoint) + u'>');
        const auto [a, t] = searchStreets(s, d);
        routeList_ = ::FindStreetRoutes(graph(), a, t);
        ::RankRoutes(routeList_);

        double length = 0;
        for (const StreetRoute &route : routeList_) {
            const double candidate = routeLength(s, d, route.streets);
            lastTrip_.routes << route.text();
            lastTrip_.lengths.push_back(candidate);
            if (length == 0 || candidate < length)
                length = candidate;
        }
        routeList_.clear();
        lastTrip_.mapLength = length;
        return scaleToKilometres(length).value_or(0.0);
    } catch (const std::exception &) {
        routeList_.clear();
        logEvent_(kGeneralFailure);
        return 0;
    }
}
