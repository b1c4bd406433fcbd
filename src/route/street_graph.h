#pragma once

#include <QtGlobal>

#include <unordered_map>
#include <vector>

#include <array>

// A point of the map as the route measurement sees it.
struct StreetPoint {
    int number = 0;
    qint32 x = 0;
    qint32 y = 0;
    // Neither a crossing nor captioned: MapPoints has no slot for it, so the
    // measurement takes its own coordinates.
    bool plain = false;
};

// What the route search and measurement need of the dispatchers' map, made from one
// read of KARTA_MISTA in its natural order (the order in which unordered
// statements on the table meet the rows, so "the first row" means the same here):
// - which streets cross (points with a second street), as sorted neighbour lists;
// - the points lying on each street, in natural order;
// - for each pair of streets the first point lying on both.
class StreetGraph {
public:
    struct Row {
        int number = 0;
        qint32 x = 0;
        qint32 y = 0;
        std::array<int, 5> streets{};  // KOORD_KART_MISTA_PUKT_1.._5
        bool captioned = false;
    };
    // `rows`: every map point in natural order.
    StreetGraph(const std::vector<Row> &rows, int maxStreet);

    // A crossing names a street outside 0..maxStreet: the crossing table cannot hold it,
    // and every route search fails until the dispatchers mend the map.
    bool crossingOutOfRange() const { return crossingOutOfRange_; }

    int maxStreet() const { return maxStreet_; }
    // Streets crossing `street`, ascending; empty outside 1..maxStreet.
    const std::vector<int> &neighbours(int street) const;
    bool crosses(int a, int b) const;
    // Points lying on `street`, natural order; empty for 0 and unknown streets.
    const std::vector<StreetPoint> &pointsOn(int street) const;
    // Number of the first point (natural order) lying on both streets; -1 when none.
    int meetingPoint(int a, int b) const;

private:
    static quint64 pairKey(int a, int b);

    int maxStreet_ = 0;
    bool crossingOutOfRange_ = false;
    std::vector<std::vector<int>> neighbours_;
    std::unordered_map<int, std::vector<StreetPoint>> pointsOn_;
    std::unordered_map<quint64, int> meetings_;
};
