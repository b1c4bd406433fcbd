#include "common/text_encoding.h"

#include "qt_print.h"

#include <gtest/gtest.h>

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

TEST(DecodeLegacyText, Windows1251IsTheDefault)
{
    bool utf8 = true;
    // "Луцьк" in Windows-1251
    EXPECT_EQ(DecodeLegacyText(QByteArray("\xcb\xf3\xf6\xfc\xea"), &utf8), S("Луцьк"));
    EXPECT_FALSE(utf8);
}

TEST(DecodeLegacyText, PureAsciiCountsAsWindows1251)
{
    bool utf8 = true;
    EXPECT_EQ(DecodeLegacyText(QByteArray("Port=5000\r\n"), &utf8), S("Port=5000\r\n"));
    EXPECT_FALSE(utf8);
}

TEST(DecodeLegacyText, ValidUtf8WithNonAsciiIsUtf8)
{
    bool utf8 = false;
    EXPECT_EQ(DecodeLegacyText(S("Київ 🚕").toUtf8(), &utf8), S("Київ 🚕"));
    EXPECT_TRUE(utf8);
}

TEST(DecodeLegacyText, ByteOrderMarkMeansUtf8AndIsDropped)
{
    bool utf8 = false;
    EXPECT_EQ(DecodeLegacyText(QByteArray("\xEF\xBB\xBF" "abc"), &utf8), S("abc"));
    EXPECT_TRUE(utf8);
    EXPECT_EQ(DecodeLegacyText(QByteArray("\xEF\xBB\xBF") + S("Луцьк").toUtf8(), &utf8), S("Луцьк"));
    EXPECT_TRUE(utf8);
}

TEST(DecodeLegacyText, InvalidUtf8IsWindows1251EvenWithAByteOrderMark)
{
    bool utf8 = true;
    // a byte order mark followed by Windows-1251 "Київ": not valid UTF-8
    EXPECT_EQ(DecodeLegacyText(QByteArray("\xEF\xBB\xBF\xca\xe8\xbf\xe2"), &utf8), S("п»їКиїв"));
    EXPECT_FALSE(utf8);
    // a UTF-8 sequence cut short at the end
    EXPECT_EQ(DecodeLegacyText(QByteArray("ab\xd0"), &utf8), S("abР"));
    EXPECT_FALSE(utf8);
    // an overlong encoding
    DecodeLegacyText(QByteArray("a\xc0\x80"), &utf8);
    EXPECT_FALSE(utf8);
}

TEST(DecodeLegacyText, NullFlagIsAllowed)
{
    EXPECT_EQ(DecodeLegacyText(QByteArray("\xca\xe8\xbf\xe2"), nullptr), S("Київ"));
    EXPECT_EQ(DecodeLegacyText(QByteArray()), QString());
}

}  // namespace
