#include "route/route_error.h"
#include "route/route_search.h"
#include "route/street_graph.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A crossing of the given streets for each entry, numbered in order.
StreetGraph graphOf(std::initializer_list<std::array<int, 5>> crossings, int maxStreet)
{
    std::vector<StreetGraph::Row> rows;
    int number = 0;
    for (const auto &streets : crossings)
        rows.push_back({++number, number * 10, 0, streets, false});
    return StreetGraph(rows, maxStreet);
}

QStringList entries(const std::vector<StreetRoute> &routes)
{
    QStringList texts;
    for (const StreetRoute &route : routes)
        texts << route.entryText();
    return texts;
}

TEST(RouteSearch, WorkedExampleOfFourStreets)
{
    const StreetGraph graph = graphOf({{1, 2}, {1, 3}, {2, 4}, {3, 4}}, 4);
    std::vector<StreetRoute> routes = FindStreetRoutes(graph, 1, 4);
    EXPECT_EQ(entries(routes), (QStringList{"{2}[1][2][4]", "{2}[1][3][4]"}));
    RankRoutes(routes);
    EXPECT_EQ(routes[0].text(), "[1][2][4]");
    EXPECT_EQ(routes[1].text(), "[1][3][4]");
}

TEST(RouteSearch, SameStreetAndUnreachableAndUnknownStreets)
{
    const StreetGraph graph = graphOf({{1, 2}, {3, 4}}, 5);
    EXPECT_EQ(entries(FindStreetRoutes(graph, 2, 2)), QStringList{"{1}[2]"});
    EXPECT_EQ(entries(FindStreetRoutes(graph, 0, 0)), QStringList{"{1}[0]"});
    EXPECT_TRUE(FindStreetRoutes(graph, 1, 4).empty());
    EXPECT_TRUE(FindStreetRoutes(graph, 0, 2).empty());
    EXPECT_TRUE(FindStreetRoutes(graph, 1, 9).empty());
    EXPECT_THROW(FindStreetRoutes(graph, 9, 1), RouteIndexError);  // outside the crossing table
    EXPECT_THROW(FindStreetRoutes(graph, -1, 1), RouteIndexError);
    EXPECT_EQ(entries(FindStreetRoutes(graph, 9, 9)), QStringList{"{1}[9]"});
}

TEST(RouteSearch, CrossingMarksOnlyDistinctNonZeroPairs)
{
    const StreetGraph graph = graphOf({{5, 9, 5, 0, 0}, {7, 0, 8, 0, 0}}, 9);
    EXPECT_EQ(graph.neighbours(5), std::vector<int>{9});
    EXPECT_EQ(graph.neighbours(9), std::vector<int>{5});
    EXPECT_TRUE(graph.neighbours(7).empty());  // no second street: not a crossing
    EXPECT_EQ(graph.meetingPoint(7, 8), 2);    // yet the streets meet there
    EXPECT_EQ(graph.meetingPoint(5, 5), -1);
}

TEST(RouteSearch, EveryStreetCrossingTheDestinationGivesItsFewestChangesPath)
{
    // 1 crosses 2, 3, 5; 2-6, 3-6, 5-7; the destination 9 is crossed by 2, 6, 7 and 8,
    // 8 being reached from 6 and 7. 6 is reached through 2 (lower than 3).
    const StreetGraph graph =
        graphOf({{1, 2}, {1, 3}, {1, 5}, {3, 6}, {2, 6}, {5, 7}, {2, 9}, {6, 9}, {7, 9}, {7, 8}, {6, 8}, {8, 9}}, 9);
    EXPECT_EQ(entries(FindStreetRoutes(graph, 1, 9)),
              (QStringList{"{2}[1][2][9]", "{3}[1][2][6][9]", "{3}[1][5][7][9]", "{4}[1][2][6][8][9]"}));
}

TEST(RouteSearch, DestinationIsNeverAThroughStreet)
{
    // 3 crosses the destination 2 but is reachable only through it: no entry over 3.
    const StreetGraph graph = graphOf({{1, 2}, {2, 3}}, 3);
    EXPECT_EQ(entries(FindStreetRoutes(graph, 1, 2)), QStringList{"{1}[1][2]"});
}

TEST(RouteSearch, RankingKeepsThirtyWithFewestChanges)
{
    std::vector<StreetRoute> routes;
    for (int i = 0; i < 35; ++i)
        routes.push_back({i == 0 ? 5 : 2 + i % 3, {i}});
    RankRoutes(routes);
    ASSERT_EQ(routes.size(), 30u);
    EXPECT_EQ(routes.front().steps, 2);
    EXPECT_EQ(routes.back().steps, 4);
    for (const StreetRoute &route : routes)
        EXPECT_NE(route.streets[0], 0);  // the five-step entry was cut

    std::vector<StreetRoute> exchanged{{3, {1}}, {2, {2}}, {2, {3}}};
    RankRoutes(exchanged);
    EXPECT_EQ(exchanged[0].streets[0], 2);
    EXPECT_EQ(exchanged[1].streets[0], 3);
    EXPECT_EQ(exchanged[2].streets[0], 1);
}

TEST(RouteSearch, SearchStopsAtThirtyEntries)
{
    std::vector<StreetGraph::Row> rows;
    int number = 0;
    for (int lane = 3; lane <= 40; ++lane) {
        rows.push_back({++number, lane, 0, {1, lane}, false});
        rows.push_back({++number, lane, 10, {lane, 2}, false});
    }
    const StreetGraph graph(rows, 40);
    const std::vector<StreetRoute> routes = FindStreetRoutes(graph, 1, 2);
    ASSERT_EQ(routes.size(), 30u);
    EXPECT_EQ(routes.front().text(), "[1][3][2]");
    EXPECT_EQ(routes.back().text(), "[1][32][2]");
}

}  // namespace
