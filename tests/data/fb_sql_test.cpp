// SQL text scanning and event blocks: no database needed.

#include "data/fb_internal.h"

#include <gtest/gtest.h>

using fb::detail::castTextMarkers;
using fb::detail::isExecuteBlock;
using fb::detail::parameterMarkers;

TEST(FbSqlText, FindsMarkersOutsideLiteralsAndComments)
{
    EXPECT_EQ(parameterMarkers("SELECT * FROM T WHERE A = ? AND B = ?"), (std::vector<int>{26, 36}));
    EXPECT_TRUE(parameterMarkers("SELECT 'why?' FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT 'it''s ?' FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT \"odd?name\" FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT 1 FROM T -- where?\n").empty());
    EXPECT_TRUE(parameterMarkers("SELECT /* ? */ 1 FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT q'{it's ?}' FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT Q'(?)' FROM T").empty());
    EXPECT_TRUE(parameterMarkers("SELECT _WIN1251 'x?' FROM T").empty());
    // after each skipped piece the scan goes on
    EXPECT_EQ(parameterMarkers("SELECT 'a''?' || ? /* ? */ FROM T -- ?\nWHERE X = ?").size(), 2u);
    // "q" ending an identifier does not start a q-literal
    EXPECT_EQ(parameterMarkers("SELECT * FROM SEQ WHERE Q = ?").size(), 1u);
    // unterminated literal or comment: no markers after it, no crash
    EXPECT_TRUE(parameterMarkers("SELECT 'abc ?").empty());
    EXPECT_TRUE(parameterMarkers("SELECT /* ?").empty());
}

TEST(FbSqlText, CastsOnlyTheChosenMarkers)
{
    EXPECT_EQ(castTextMarkers("SELECT * FROM T WHERE A = ? AND B = ? AND C = '?'", {5, 0}),
              QString("SELECT * FROM T WHERE A = CAST(? AS VARCHAR(5)) AND B = ? AND C = '?'"));
    EXPECT_EQ(castTextMarkers("INSERT INTO T VALUES (?, ?)", {0, 1}),
              QString("INSERT INTO T VALUES (?, CAST(? AS VARCHAR(1)))"));
    EXPECT_EQ(castTextMarkers("SELECT 1 FROM T", {}), QString("SELECT 1 FROM T"));
    EXPECT_EQ(castTextMarkers("X = ?", {3, 4}), QString("X = CAST(? AS VARCHAR(3))"));
}

TEST(FbSqlText, RecognisesExecuteBlock)
{
    EXPECT_TRUE(isExecuteBlock("EXECUTE BLOCK AS BEGIN END"));
    EXPECT_TRUE(isExecuteBlock("  execute\n  block (X INTEGER = ?) AS BEGIN END"));
    EXPECT_TRUE(isExecuteBlock("/* note */ -- more\n EXECUTE BLOCK AS BEGIN END"));
    EXPECT_FALSE(isExecuteBlock("EXECUTE PROCEDURE P(?)"));
    EXPECT_FALSE(isExecuteBlock("SELECT 'EXECUTE BLOCK' FROM T"));
    EXPECT_FALSE(isExecuteBlock("EXECUTE BLOCKS"));
}

TEST(FbEventBlock, BuildsAndReadsCounts)
{
    const QByteArray block = fb::detail::eventBlock({"A", "ORDER_NEW"});
    ASSERT_EQ(block.size(), 1 + (1 + 1 + 4) + (1 + 9 + 4));
    EXPECT_EQ(block[0], 1);
    auto counts = fb::detail::eventCounts(reinterpret_cast<const unsigned char *>(block.constData()),
                                          unsigned(block.size()));
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0].first, QByteArray("A"));
    EXPECT_EQ(counts[1].first, QByteArray("ORDER_NEW"));
    EXPECT_EQ(counts[1].second, 0u);

    QByteArray updated = block;
    updated[block.size() - 4] = char(0x02);
    updated[block.size() - 3] = char(0x01);  // 0x0102 = 258
    counts = fb::detail::eventCounts(reinterpret_cast<const unsigned char *>(updated.constData()),
                                     unsigned(updated.size()));
    EXPECT_EQ(counts[1].second, 258u);
    // a cut block yields what is complete
    EXPECT_EQ(fb::detail::eventCounts(reinterpret_cast<const unsigned char *>(updated.constData()), 8).size(), 1u);
    EXPECT_TRUE(fb::detail::eventCounts(nullptr, 0).empty());
}
