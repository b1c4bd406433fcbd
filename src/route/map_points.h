#pragma once

#include <QtGlobal>

#include <vector>

class TDANI;

// One map point in memory: the columns of the same names, nothing else.
struct TTOCHKA_KARTY {
    qint32 X = 0;
    qint32 Y = 0;
    qint32 PUKT_1 = 0;
    qint32 PUKT_2 = 0;
    qint32 PUKT_3 = 0;
    qint32 PUKT_4 = 0;
    qint32 PUKT_5 = 0;
};

// Plane distance in map units. The squares are formed in double precision, so no
// coordinates overflow; every measurement of the engine goes through here.
double PlaneDistance(qint64 x1, qint64 y1, qint64 x2, qint64 y2);

// MapPoints: the crossings and captioned points of the dispatchers' map, indexed by
// point number; slots of other numbers hold zeros. Filled at server start, grown when
// the dispatchers add points, emptied at server stop.
class MapPointTable {
public:
    void LoadCityMap(TDANI &danni);
    void AppendMapPoints(TDANI &danni);
    void clear() { points_.clear(); }

    const std::vector<TTOCHKA_KARTY> &points() const { return points_; }
    int size() const { return int(points_.size()); }
    bool contains(int number) const { return number >= 0 && number < size(); }
    // The slot of a point; RouteIndexError when there is no such slot.
    const TTOCHKA_KARTY &at(int number) const;

    // Distance between the loaded points p and q; RouteIndexError outside the table.
    double PointDistance(int p, int q) const;

private:
    std::vector<TTOCHKA_KARTY> points_;
};
