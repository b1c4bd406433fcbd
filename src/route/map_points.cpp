#include "route/map_points.h"

#include "data/danni.h"
#include "route/route_error.h"

#include <cmath>

namespace {

const QString kQualifies =
    QStringLiteral("(KOORD_KART_MISTA_PUKT_2<>0) or (KOORD_KART_MISTA_PIDPIS is not null)");

TTOCHKA_KARTY pointOf(const fb::Query &query)
{
    auto value = [&](const char *column) {
        return qint32(query.field(QString::fromLatin1(column)).asInt());
    };
    return {value("KOORD_KART_MISTA_X"),      value("KOORD_KART_MISTA_Y"),
            value("KOORD_KART_MISTA_PUKT_1"), value("KOORD_KART_MISTA_PUKT_2"),
            value("KOORD_KART_MISTA_PUKT_3"), value("KOORD_KART_MISTA_PUKT_4"),
            value("KOORD_KART_MISTA_PUKT_5")};
}

// The highest qualifying point number; a null maximum reads as 0.
int highestNumber(fb::Query &query, const QString &max)
{
    TDANI::Select(query, QStringLiteral("SELECT  %1(KOORD_KART_MISTA_NP)  FROM KARTA_MISTA\nWHERE ").arg(max)
                             + kQualifies);
    int highest = 0;
    if (!query.isEmpty()) {
        query.last();
        highest = int(query.field(0).asInt());
    }
    query.close();
    return highest;
}

}  // namespace

double PlaneDistance(qint64 x1, qint64 y1, qint64 x2, qint64 y2)
{
    const double dx = double(x1 - x2);
    const double dy = double(y1 - y2);
    return std::sqrt(dx * dx + dy * dy);
}

const TTOCHKA_KARTY &MapPointTable::at(int number) const
{
    if (!contains(number))
        throw RouteIndexError("map point " + std::to_string(number) + " is not in MapPoints");
    return points_[size_t(number)];
}

double MapPointTable::PointDistance(int p, int q) const
{
    const TTOCHKA_KARTY &a = at(p);
    const TTOCHKA_KARTY &b = at(q);
    return PlaneDistance(a.X, a.Y, b.X, b.Y);
}

void MapPointTable::LoadCityMap(TDANI &danni)
{
    const int highest = highestNumber(danni.RIZNE, QStringLiteral("max"));
    std::vector<TTOCHKA_KARTY> points(size_t(std::max(0, highest)) + 1);
    TDANI::Select(danni.RIZNE, QStringLiteral("SELECT  *  FROM KARTA_MISTA\nWHERE ") + kQualifies
                                   + QStringLiteral("\nORDER BY KOORD_KART_MISTA_NP"));
    for (fb::Query &q = danni.RIZNE; !q.eof(); q.next()) {
        const qint64 number = q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asInt();
        if (number >= 0 && number < qint64(points.size()))
            points[size_t(number)] = pointOf(q);
    }
    danni.RIZNE.close();
    points_ = std::move(points);
}

void MapPointTable::AppendMapPoints(TDANI &danni)
{
    const int highest = std::max(0, highestNumber(danni.RIZNE_EVENTS, QStringLiteral("MAX")));
    const int before = size() - 1;
    points_.resize(size_t(highest) + 1);
    if (highest <= before)
        return;
    // One read of the new numbers instead of one statement per number: the same rows,
    // and the upper bound keeps them inside the table.
    TDANI::Select(danni.RIZNE_EVENTS,
                  QStringLiteral("SELECT  *  FROM KARTA_MISTA\n"
                                 "WHERE (KOORD_KART_MISTA_NP > ?) AND (KOORD_KART_MISTA_NP <= ?) AND (")
                      + kQualifies + u')',
                  {before, highest});
    for (fb::Query &q = danni.RIZNE_EVENTS; !q.eof(); q.next())
        points_[size_t(q.field(QStringLiteral("KOORD_KART_MISTA_NP")).asInt())] = pointOf(q);
    danni.RIZNE_EVENTS.close();
}
