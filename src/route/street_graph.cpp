#include "route/street_graph.h"

#include <algorithm>

namespace {

const std::vector<int> kNoStreets;
const std::vector<StreetPoint> kNoPoints;

}  // namespace

quint64 StreetGraph::pairKey(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    return (quint64(quint32(a)) << 32) | quint32(b);
}

StreetGraph::StreetGraph(const std::vector<Row> &rows, int maxStreet)
    : maxStreet_(std::max(0, maxStreet)), neighbours_(size_t(maxStreet_) + 1)
{
    for (const Row &row : rows) {
        const std::array<int, 5> &streets = row.streets;
        const StreetPoint point{row.number, row.x, row.y, streets[1] == 0 && !row.captioned};

        for (int i = 0; i < 5; ++i) {
            const int a = streets[size_t(i)];
            if (a == 0 || std::find(streets.begin(), streets.begin() + i, a) != streets.begin() + i)
                continue;
            pointsOn_[a].push_back(point);
            for (int j = i + 1; j < 5; ++j) {
                const int b = streets[size_t(j)];
                if (b == 0 || b == a)
                    continue;
                meetings_.try_emplace(pairKey(a, b), point.number);
                if (streets[1] == 0)
                    continue;
                if (a < 0 || b < 0 || a > maxStreet_ || b > maxStreet_) {
                    crossingOutOfRange_ = true;
                    continue;
                }
                neighbours_[size_t(a)].push_back(b);
                neighbours_[size_t(b)].push_back(a);
            }
        }
    }
    for (std::vector<int> &list : neighbours_) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
}

const std::vector<int> &StreetGraph::neighbours(int street) const
{
    if (street < 1 || street > maxStreet_)
        return kNoStreets;
    return neighbours_[size_t(street)];
}

bool StreetGraph::crosses(int a, int b) const
{
    const std::vector<int> &list = neighbours(a);
    return std::binary_search(list.begin(), list.end(), b);
}

const std::vector<StreetPoint> &StreetGraph::pointsOn(int street) const
{
    const auto found = pointsOn_.find(street);
    return found == pointsOn_.end() ? kNoPoints : found->second;
}

int StreetGraph::meetingPoint(int a, int b) const
{
    const auto found = meetings_.find(pairKey(a, b));
    return found == meetings_.end() ? -1 : found->second;
}
