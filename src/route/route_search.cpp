#include "route/route_search.h"

#include "route/route_error.h"
#include "route/street_graph.h"

#include <algorithm>

QString StreetRoute::text() const
{
    QString text;
    for (int street : streets)
        text += u'[' + QString::number(street) + u']';
    return text;
}

QString StreetRoute::entryText() const
{
    return u'{' + QString::number(steps) + u'}' + text();
}

std::vector<StreetRoute> FindStreetRoutes(const StreetGraph &graph, int start, int destination, int limit)
{
    std::vector<StreetRoute> entries;
    if (start == destination) {
        entries.push_back({1, {start}});
        return entries;
    }
    const int n = graph.maxStreet();
    if (start < 0 || start > n)
        throw RouteIndexError("start street " + std::to_string(start) + " is outside the crossing table");
    if (start == 0 || destination < 1 || destination > n)
        return entries;  // street 0 crosses nothing; T is never met

    std::vector<int> parent(size_t(n) + 1, -1);
    parent[size_t(start)] = 0;
    parent[size_t(destination)] = 0;  // never expanded
    auto pathTo = [&](int street) {
        std::vector<int> path;
        for (int s = street; s != start; s = parent[size_t(s)])
            path.push_back(s);
        path.push_back(start);
        std::reverse(path.begin(), path.end());
        return path;
    };

    std::vector<int> level{start};
    std::vector<int> next;
    for (int steps = 0; !level.empty(); ++steps) {
        next.clear();
        for (int street : level) {
            for (int neighbour : graph.neighbours(street)) {
                if (neighbour == destination) {
                    StreetRoute route{steps + 1, pathTo(street)};
                    route.streets.push_back(destination);
                    entries.push_back(std::move(route));
                    if (int(entries.size()) >= limit)
                        return entries;
                } else if (parent[size_t(neighbour)] < 0) {
                    parent[size_t(neighbour)] = street;
                    next.push_back(neighbour);
                }
            }
        }
        std::sort(next.begin(), next.end());
        level.swap(next);
    }
    return entries;
}

void RankRoutes(std::vector<StreetRoute> &routes)
{
    for (size_t i = 0; i + 1 < routes.size(); ++i)
        for (size_t e = i + 1; e < routes.size(); ++e)
            if (routes[e].steps < routes[i].steps)
                std::swap(routes[i], routes[e]);
    if (routes.size() > size_t(kMaxCandidateRoutes))
        routes.resize(size_t(kMaxCandidateRoutes));
}
