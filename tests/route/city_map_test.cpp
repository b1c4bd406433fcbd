#include "route_test_db.h"

#include <gtest/gtest.h>

namespace {

TEST(CityMap, LoadKeepsCrossingsAndCaptionedPointsOnly)
{
    RouteTestDb db;
    db.point(2, 10, 20, {5, 9, 5});
    db.point(3, 30, 40, {}, "Ринок");
    db.point(4, 50, 60, {7});  // plain
    db.point(9, 70, 80, {7});  // plain, highest number
    db.engine.LoadCityMap();
    const auto &points = db.engine.MapPoints();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[2].X, 10);
    EXPECT_EQ(points[2].PUKT_3, 5);
    EXPECT_EQ(points[3].Y, 40);
    EXPECT_EQ(points[3].PUKT_1, 0);
    EXPECT_EQ(points[0].X, 0);  // no point 0, and 1 does not exist
    EXPECT_EQ(points[1].X, 0);
    EXPECT_EQ(db.engine.PointDistance(2, 2), 0);
    EXPECT_THROW(db.engine.PointDistance(2, 4), std::exception);  // outside the table
}

TEST(CityMap, PointDistanceIsEuclideanWithoutOverflow)
{
    RouteTestDb db;
    db.point(1, 0, 0, {}, "А");
    db.point(2, 3, 4, {}, "Б");
    db.point(3, -2147483647, 2147483647, {}, "В");
    db.point(4, 2147483647, -2147483647, {}, "Г");
    db.engine.LoadCityMap();
    EXPECT_EQ(db.engine.PointDistance(1, 2), 5);
    EXPECT_DOUBLE_EQ(db.engine.PointDistance(3, 4), std::sqrt(2.0) * 4294967294.0);
}

TEST(CityMap, AppendLoadsNewNumbersOnlyAndShrinksWhenTheMaximumFell)
{
    RouteTestDb db;
    db.engine.AppendMapPoints();  // an empty table loads the whole map
    EXPECT_EQ(db.engine.MapPoints().size(), 1u);
    db.point(1, 1, 1, {1, 2});
    db.point(2, 2, 2, {}, "Кафе");
    db.engine.AppendMapPoints();
    ASSERT_EQ(db.engine.MapPoints().size(), 3u);
    EXPECT_EQ(db.engine.MapPoints()[2].X, 2);

    // A moved point keeps its loaded values; a new one is read.
    db.exec("UPDATE KARTA_MISTA SET KOORD_KART_MISTA_X = 100 WHERE KOORD_KART_MISTA_NP = 1");
    db.point(5, 5, 5, {3, 4});
    db.engine.AppendMapPoints();
    ASSERT_EQ(db.engine.MapPoints().size(), 6u);
    EXPECT_EQ(db.engine.MapPoints()[1].X, 1);
    EXPECT_EQ(db.engine.MapPoints()[5].PUKT_2, 4);

    db.exec("DELETE FROM KARTA_MISTA WHERE KOORD_KART_MISTA_NP = 5");
    db.engine.AppendMapPoints();
    EXPECT_EQ(db.engine.MapPoints().size(), 3u);

    db.engine.ReleaseCityMap();
    EXPECT_TRUE(db.engine.MapPoints().empty());
}

}  // namespace
