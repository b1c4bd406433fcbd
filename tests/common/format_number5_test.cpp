#include "common/format_number5.h"

#include "qt_print.h"

#include <gtest/gtest.h>

#include <limits>

TEST(FormatNumber5, PadsShortNumbersToFiveCharacters)
{
    EXPECT_EQ(FormatNumber5(0), QStringLiteral("00000"));
    EXPECT_EQ(FormatNumber5(7), QStringLiteral("00007"));
    EXPECT_EQ(FormatNumber5(42), QStringLiteral("00042"));
    EXPECT_EQ(FormatNumber5(123), QStringLiteral("00123"));
    EXPECT_EQ(FormatNumber5(1234), QStringLiteral("01234"));
}

TEST(FormatNumber5, LeavesFiveOrMoreCharactersAlone)
{
    EXPECT_EQ(FormatNumber5(12345), QStringLiteral("12345"));
    EXPECT_EQ(FormatNumber5(99999), QStringLiteral("99999"));
    EXPECT_EQ(FormatNumber5(123456), QStringLiteral("123456"));
    EXPECT_EQ(FormatNumber5(std::numeric_limits<qint64>::max()), QStringLiteral("9223372036854775807"));
}

TEST(FormatNumber5, MinusSignCountsAsACharacter)
{
    // "-5" has two characters, so it gets "000" in front.
    EXPECT_EQ(FormatNumber5(-5), QStringLiteral("000-5"));
    EXPECT_EQ(FormatNumber5(-12), QStringLiteral("00-12"));
    EXPECT_EQ(FormatNumber5(-123), QStringLiteral("0-123"));
    EXPECT_EQ(FormatNumber5(-1234), QStringLiteral("-1234"));
    EXPECT_EQ(FormatNumber5(std::numeric_limits<qint64>::min()), QStringLiteral("-9223372036854775808"));
}
