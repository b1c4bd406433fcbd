#pragma once

#include <QString>

#include <vector>

class StreetGraph;

// One entry of RouteList: the number of street changes and the streets from the
// start street to the destination street.
struct StreetRoute {
    int steps = 0;
    std::vector<int> streets;

    // "[1][2][4]"; with the step count in front, "{2}[1][2][4]", as the search writes it.
    QString text() const;
    QString entryText() const;
};

// Routes kept after ranking.
inline constexpr int kMaxCandidateRoutes = 30;

// The route search over streets: one entry per expanded street that crosses the
// destination street T, in expansion order, each with its fewest-changes path from
// the start street A. Streets are expanded breadth first, by step count and, within
// a step count, by street number; a street's path runs through its lowest-numbered
// neighbour one step closer to A. T itself is never expanded. A = T gives the single
// entry {1}[A]; an A outside 0..MaxStreetNumber otherwise throws RouteIndexError, a T
// outside it is never met. Breadth-first over neighbour lists: O(streets + crossings). The
// search stops once `limit` entries are found: later ones have no fewer steps and
// would be cut by the ranking.
std::vector<StreetRoute> FindStreetRoutes(const StreetGraph &graph, int start, int destination,
                                          int limit = kMaxCandidateRoutes);

// Orders the entries by step count with the exchange sort of the dispatchers' program
// (for i, for e > i: swap when e has fewer steps) and keeps the first 30.
void RankRoutes(std::vector<StreetRoute> &routes);
