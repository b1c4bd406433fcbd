#include "mobile/java_address_lists.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberedListAnswer, ItemsAreNumberedFromOneAndTheCountComesLast)
{
    EXPECT_EQ(NumberedListAnswer("VidpovidListVul", {}), QByteArray("<VidpovidListVul><cil>0</cil></VidpovidListVul>"));
    QStringList items;
    for (int i = 0; i < 10; ++i)
        items << QStringLiteral("a");
    items << QStringLiteral("Ж");
    const QByteArray answer = NumberedListAnswer("VidpovidListObekt", items);
    EXPECT_TRUE(answer.startsWith("<VidpovidListObekt><#1>YQ==</#1><#2>YQ==</#2>"));
    EXPECT_TRUE(answer.endsWith("<#10>YQ==</#10><#11>0JY=</#11><cil>11</cil></VidpovidListObekt>"));
}

}  // namespace
