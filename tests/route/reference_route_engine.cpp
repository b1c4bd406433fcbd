#include "reference_route_engine.h"

#include "common/extract_between.h"
#include "data/danni.h"
#include "route/map_scale.h"

#include <stdexcept>

namespace {

int stepCount(const QString &entry) { return ExtractBetween(entry, QStringLiteral("{"), QStringLiteral("}")).toInt(); }

QString bracketed(int number) { return u'[' + QString::number(number) + u']'; }

}  // namespace

ReferenceRouteEngine::ReferenceRouteEngine(TDANI &danni, QString folder) : danni_(danni), folder_(std::move(folder))
{
}

const TTOCHKA_KARTY &ReferenceRouteEngine::slot(int number) const
{
    if (number < 0 || number >= int(MapPoints.size()))
        throw std::out_of_range("map point outside MapPoints");
    return MapPoints[size_t(number)];
}

void ReferenceRouteEngine::LoadCityMap()
{
    fb::Query &q = danni_.RIZNE;
    TDANI::Select(q, QStringLiteral("SELECT  max(KOORD_KART_MISTA_NP)  FROM KARTA_MISTA\n"
                                    "WHERE (KOORD_KART_MISTA_PUKT_2<>0) or (KOORD_KART_MISTA_PIDPIS is not null)"));
    q.last();
    const int highest = int(q.field(0).asInt());
    q.close();
    MapPoints.assign(size_t(highest) + 1, {});
    TDANI::Select(q, QStringLiteral("SELECT  *  FROM KARTA_MISTA\n"
                                    "WHERE (KOORD_KART_MISTA_PUKT_2<>0) or (KOORD_KART_MISTA_PIDPIS is not null)\n"
                                    "ORDER BY KOORD_KART_MISTA_NP"));
    for (; !q.eof(); q.next()) {
        TTOCHKA_KARTY &p = MapPoints[size_t(q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asInt())];
        p.X = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_X")).asInt());
        p.Y = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_Y")).asInt());
        p.PUKT_1 = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_1")).asInt());
        p.PUKT_2 = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_2")).asInt());
        p.PUKT_3 = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_3")).asInt());
        p.PUKT_4 = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_4")).asInt());
        p.PUKT_5 = qint32(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_5")).asInt());
    }
    q.close();
}

void ReferenceRouteEngine::BuildCrossingMatrix()
{
    fb::Query &q = danni_.RIZNE;
    TDANI::Select(q, QStringLiteral("SELECT  max(SPISOK_VUL_NOMER)  FROM  VULICA_LUCK"));
    q.last();
    MaxStreetNumber = int(q.field(0).asInt());
    q.close();
    CrossingMatrix.assign(size_t(MaxStreetNumber) + 1, std::vector<Cell>(size_t(MaxStreetNumber) + 1));
    TDANI::Select(q, QStringLiteral("SELECT  *  FROM KARTA_MISTA\nWHERE (KOORD_KART_MISTA_PUKT_2<>0)\n"
                                    "ORDER BY KOORD_KART_MISTA_NP"));
    for (; !q.eof(); q.next()) {
        int streets[5];
        for (int k = 0; k < 5; ++k)
            streets[k] = int(q.field(QStringLiteral("KOORD_KART_MISTA_PUKT_%1").arg(k + 1)).asInt());
        for (int i = 0; i < 5; ++i)
            for (int j = i + 1; j < 5; ++j) {
                const int a = streets[i], b = streets[j];
                if (a != 0 && b != 0 && a != b) {
                    if (!cell(a, b))
                        throw std::out_of_range("street outside CrossingMatrix");
                    cell(a, b)->Crosses = cell(b, a)->Crosses = 1;
                    cell(a, b)->NoCross = cell(b, a)->NoCross = 0;
                }
            }
    }
    q.close();
}

ReferenceRouteEngine::Cell *ReferenceRouteEngine::cell(int a, int b)
{
    if (a < 0 || b < 0 || a > MaxStreetNumber || b > MaxStreetNumber)
        return nullptr;
    return &CrossingMatrix[size_t(a)][size_t(b)];
}

double ReferenceRouteEngine::PointDistance(int p, int q) const
{
    return PlaneDistance(slot(p).X, slot(p).Y, slot(q).X, slot(q).Y);
}

int ReferenceRouteEngine::streetOf(const QString &address)
{
    fb::Query &q = danni_.RIZNE;
    TDANI::Select(q, QStringLiteral("SELECT SPISOK_VUL_NOMER FROM VULICA_LUCK\nWHERE SPISOK_VUL_VULICA = ?"),
                  {ExtractBetween(address, QStringLiteral("["), QStringLiteral("]"))});
    int street = 0;
    if (!q.isEmpty()) {
        q.last();
        street = int(q.field(0).asInt());
    }
    q.close();
    return street;
}

std::vector<int> ReferenceRouteEngine::objectStreets(const QString &address)
{
    fb::Query &q = danni_.RIZNE;
    const qsizetype mark = address.indexOf(u'<');
    TDANI::Select(q, QStringLiteral("SELECT  KOORD_KART_MISTA_PUKT_1, KOORD_KART_MISTA_PUKT_2, KOORD_KART_MISTA_PUKT_3, "
                                    "KOORD_KART_MISTA_PUKT_4, KOORD_KART_MISTA_PUKT_5  FROM  KARTA_MISTA\n"
                                    "WHERE KOORD_KART_MISTA_PIDPIS = ?"),
                  {mark < 0 ? address : address.left(mark)});
    std::vector<int> streets(5, 0);
    if (!q.isEmpty()) {
        q.last();
        for (int k = 0; k < 5; ++k)
            streets[size_t(k)] = int(q.field(k).asInt());
    }
    q.close();
    return streets;
}

int ReferenceRouteEngine::mapPointNumber(const QString &address) const
{
    bool ok = false;
    const int number = ExtractBetween(address, QStringLiteral("<"), QStringLiteral(">")).toInt(&ok);
    if (!ok)
        throw std::runtime_error("no map point suffix");
    return number;
}

void ReferenceRouteEngine::FindStreetRoutes(const QString &start, const QString &destination)
{
    const bool startStreet = start.contains(QStringLiteral("]{"));
    const bool destinationStreet = destination.contains(QStringLiteral("]{"));
    int a = 0, t = 0;
    if (startStreet && destinationStreet) {
        a = streetOf(start);
        t = streetOf(destination);
    } else if (startStreet) {
        a = streetOf(start);
        const std::vector<int> object = objectStreets(destination);
        t = std::find(object.begin(), object.end(), a) != object.end() ? a : object[0];
    } else if (destinationStreet) {
        t = streetOf(destination);
        const std::vector<int> object = objectStreets(start);
        a = std::find(object.begin(), object.end(), t) != object.end() ? t : object[0];
    } else {
        a = objectStreets(start)[0];
        t = objectStreets(destination)[0];
    }
    if (a == t) {
        RouteList << QStringLiteral("{1}") + bracketed(a);
        return;
    }
    const int n = MaxStreetNumber;
    if (!cell(a, 0))
        throw std::out_of_range("start street outside CrossingMatrix");
    int c = a;
    QString p = bracketed(a);
    int d = 0;
    QString v;
    for (;;) {
        for (int k = 1; k <= n; ++k) {
            Cell *x = cell(c, k);
            if (x->Crosses != 1 || x->NoCross != 0)
                continue;
            if (x->Steps == 0 || d + 1 < x->Steps) {
                x->Steps = cell(k, c)->Steps = d + 1;
                x->Route = cell(k, c)->Route = p + bracketed(k);
            }
            if (k == t)
                RouteList << u'{' + QString::number(x->Steps) + u'}' + x->Route;
        }
        if (!v.contains(bracketed(c)))
            v += bracketed(c);
        c = 0;
        p.clear();
        d = 0;
        for (int k = 1; k <= n; ++k) {
            if (k == t || v.contains(bracketed(k)))
                continue;
            for (int i = 1; i <= n; ++i) {
                const Cell &x = CrossingMatrix[size_t(k)][size_t(i)];
                if (i != k && x.Steps != 0 && (c == 0 || x.Steps < d)) {
                    d = x.Steps;
                    p = x.Route;
                    c = k;
                }
            }
        }
        if (d == 0)
            break;
    }
}

void ReferenceRouteEngine::RankRoutes()
{
    if (RouteList.isEmpty())
        return;
    for (int i = 0; i + 1 < RouteList.size(); ++i)
        for (int e = i + 1; e < RouteList.size(); ++e)
            if (stepCount(RouteList[e]) < stepCount(RouteList[i]))
                RouteList.swapItemsAt(i, e);
    while (RouteList.size() > 30)
        RouteList.removeLast();
    for (QString &entry : RouteList)
        entry.remove(entry.indexOf(u'{'), entry.indexOf(u'}') - entry.indexOf(u'{') + 1);
}

int ReferenceRouteEngine::NearestStreetPoint(const QString &address)
{
    const TTOCHKA_KARTY &own = slot(mapPointNumber(address));
    const int n = address.contains(QStringLiteral("]{")) ? streetOf(address) : objectStreets(address)[0];
    fb::Query &q = danni_.RIZNE;
    TDANI::Select(q, QStringLiteral("SELECT KOORD_KART_MISTA_NP, KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y  FROM KARTA_MISTA\n"
                                    "WHERE ((KOORD_KART_MISTA_PUKT_1 = ?) and (KOORD_KART_MISTA_PUKT_1<>0))\n"
                                    " OR ((KOORD_KART_MISTA_PUKT_2 = ?) and (KOORD_KART_MISTA_PUKT_2<>0))\n"
                                    " OR ((KOORD_KART_MISTA_PUKT_3 = ?) and (KOORD_KART_MISTA_PUKT_3<>0))\n"
                                    " OR ((KOORD_KART_MISTA_PUKT_4 = ?) and (KOORD_KART_MISTA_PUKT_4<>0))\n"
                                    " OR ((KOORD_KART_MISTA_PUKT_5 = ?) and (KOORD_KART_MISTA_PUKT_5<>0))"),
                  {n, n, n, n, n});
    int best = 0;
    double bestDistance = 0;
    for (bool first = true; !q.eof(); q.next(), first = false) {
        const double d = PlaneDistance(q.field(QStringLiteral("KOORD_KART_MISTA_X")).asInt(),
                                       q.field(QStringLiteral("KOORD_KART_MISTA_Y")).asInt(), own.X, own.Y);
        if (first || d < bestDistance) {
            bestDistance = d;
            best = int(q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asInt());
        }
    }
    q.close();
    return best;
}

double ReferenceRouteEngine::RouteLength(const QString &start, const QString &destination, const QString &route)
{
    std::vector<int> streets;
    for (const QString &piece : route.split(u'[', Qt::SkipEmptyParts))
        streets.push_back(piece.left(piece.indexOf(u']')).toInt());
    if (streets.empty())
        return 0;
    const int pS = mapPointNumber(start), pD = mapPointNumber(destination);
    const int qS = NearestStreetPoint(start), qD = NearestStreetPoint(destination);

    // A plain point chosen as nearest point is measured from its own coordinates.
    auto coordinates = [&](int number) -> std::pair<qint64, qint64> {
        if (number != 0) {
            fb::Query &q = danni_.RIZNE;
            TDANI::Select(q, QStringLiteral("SELECT KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y, KOORD_KART_MISTA_PUKT_2, "
                                            "KOORD_KART_MISTA_PIDPIS FROM KARTA_MISTA WHERE KOORD_KART_MISTA_NP = ?"),
                          {number});
            const bool plain = !q.isEmpty() && q.field(2).asInt() == 0 && q.field(3).isNull();
            const std::pair<qint64, qint64> own{q.field(0).asInt(), q.field(1).asInt()};
            q.close();
            if (plain)
                return own;
        }
        return {slot(number).X, slot(number).Y};
    };
    auto between = [](std::pair<qint64, qint64> a, std::pair<qint64, qint64> b) {
        return PlaneDistance(a.first, a.second, b.first, b.second);
    };
    const auto cS = coordinates(qS), cD = coordinates(qD);
    const std::pair<qint64, qint64> ownS{slot(pS).X, slot(pS).Y}, ownD{slot(pD).X, slot(pD).Y};

    double length = 0;
    if (streets.size() == 1) {
        length = cS == cD ? 0 : between(cS, cD);
    } else {
        std::vector<std::pair<qint64, qint64>> list{cS};
        for (size_t i = 0; i + 1 < streets.size(); ++i) {
            const int a = streets[i], b = streets[i + 1];
            auto among = [](int s) {
                return QStringLiteral("((KOORD_KART_MISTA_PUKT_1 = %1) or (KOORD_KART_MISTA_PUKT_2 = %1) or "
                                      "(KOORD_KART_MISTA_PUKT_3 = %1) or (KOORD_KART_MISTA_PUKT_4 = %1) or "
                                      "(KOORD_KART_MISTA_PUKT_5 = %1))")
                    .arg(s);
            };
            fb::Query &q = danni_.DODAT_RIZNE;
            TDANI::Select(q, QStringLiteral("SELECT KOORD_KART_MISTA_NP  FROM KARTA_MISTA\nWHERE ") + among(a)
                                 + QStringLiteral("\n  and ") + among(b));
            if (!q.isEmpty()) {
                q.first();
                const int meeting = int(q.field(0).asInt());
                list.push_back({slot(meeting).X, slot(meeting).Y});
            }
            q.close();
        }
        list.push_back(cD);
        for (size_t i = 0; i + 1 < list.size(); ++i)
            length += between(list[i], list[i + 1]);
    }
    length += between(ownS, cS);
    length += between(ownD, cD);
    return length;
}

double ReferenceRouteEngine::CalcTripDistance(const QString &start, const QString &destination)
{
    lastRoutes.clear();
    lastLengths.clear();
    lastMapLength = 0;
    try {
        RouteList.clear();
        auto mapPoint = [&](const QString &address) -> QString {
            fb::Query &q = danni_.RIZNE;
            const QString select = QStringLiteral(
                "SELECT KOORD_KART_MISTA_STATUS, KOORD_KART_MISTA_PIDPIS, KOORD_KART_MISTA_NP  FROM  KARTA_MISTA\n");
            if (address.contains(QStringLiteral("]{")))
                TDANI::Select(q, select + QStringLiteral("WHERE (KOORD_KART_MISTA_PIDPIS LIKE '%' || ? || '%')"),
                              {address.left(address.indexOf(u'}') + 1)});
            else
                TDANI::Select(q, select + QStringLiteral("WHERE (KOORD_KART_MISTA_PIDPIS = ?)"), {address});
            QString suffix;
            if (!q.isEmpty()) {
                q.last();
                suffix = u'<' + q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asText() + u'>';
            }
            q.close();
            return suffix;
        };
        const QString startSuffix = mapPoint(start);
        const QString destinationSuffix = mapPoint(destination);
        if (startSuffix.isEmpty() || destinationSuffix.isEmpty())
            return 0;
        const QString s = start + startSuffix, d = destination + destinationSuffix;
        BuildCrossingMatrix();
        FindStreetRoutes(s, d);
        RankRoutes();
        double length = 0;
        for (const QString &route : RouteList) {
            const double l = RouteLength(s, d, route);
            lastRoutes << route;
            lastLengths.push_back(l);
            if (length == 0 || l < length)
                length = l;
        }
        RouteList.clear();
        lastMapLength = length;
        const MapScale scale = MapScale::read(folder_);
        const auto km = scale.kilometres(length);
        if (!km) {
            log << QStringLiteral("scale");
            return 0;
        }
        return *km;
    } catch (const std::exception &) {
        log << QStringLiteral("failure");
        return 0;
    }
}
