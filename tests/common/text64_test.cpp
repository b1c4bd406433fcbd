#include "common/text64.h"
#include "common/win1251.h"

#include <gtest/gtest.h>

namespace {

TEST(EncodeText64, SendsUtf8InStandardPaddedBase64)
{
    EXPECT_EQ(EncodeText64(QString()), QByteArray());
    EXPECT_EQ(EncodeText64(QStringLiteral("a")), QByteArray("YQ=="));
    EXPECT_EQ(EncodeText64(QStringLiteral("ab")), QByteArray("YWI="));
    EXPECT_EQ(EncodeText64(QStringLiteral("abc")), QByteArray("YWJj"));
    // Cyrillic letters take two UTF-8 bytes each: "Київ" is 8 bytes, not 4.
    EXPECT_EQ(EncodeText64(QStringLiteral("Київ")), QByteArray("0JrQuNGX0LI="));
    // '+' and '/' of the standard alphabet, no line breaks however long the text.
    EXPECT_EQ(EncodeText64(QStringLiteral("пао")), QByteArray("0L/QsNC+"));
    EXPECT_FALSE(EncodeText64(QString(200, u'Ж')).contains('\n'));
}

TEST(EncodeText64, CharactersWindows1251CannotHoldGoOutAsQuestionMarks)
{
    EXPECT_EQ(EncodeText64(QStringLiteral("a\u4e2dû")), QByteArray("YT8/"));
    EXPECT_EQ(EncodeText64(QStringLiteral("№€ї")), QStringLiteral("№€ї").toUtf8().toBase64());
}

TEST(DecodeText64, ReadsWindows1251BytesAsTheyAre)
{
    const QByteArray cp1251 = win1251::fromUnicode(QStringLiteral("Шевченка"));
    EXPECT_EQ(DecodeText64(cp1251.toBase64()), QStringLiteral("Шевченка"));
    // UTF-8 sent by mistake is not recognised: its bytes are read as Windows-1251.
    EXPECT_EQ(DecodeText64Bytes(QByteArray("Київ").toBase64()), QByteArray("Київ"));
}

TEST(DecodeText64, SkipsForeignCharactersAndDropsAnIncompleteLastGroup)
{
    EXPECT_EQ(DecodeText64Bytes("YW\r\nJj"), QByteArray("abc"));
    EXPECT_EQ(DecodeText64Bytes("Y W*J-j"), QByteArray("abc"));
    EXPECT_EQ(DecodeText64Bytes("YWJjYQ"), QByteArray("abc"));
    EXPECT_EQ(DecodeText64Bytes("YWI"), QByteArray());
    EXPECT_EQ(DecodeText64Bytes(""), QByteArray());
}

TEST(DecodeText64, StopsAtTheFirstGroupWithPadding)
{
    EXPECT_EQ(DecodeText64Bytes("YQ=="), QByteArray("a"));
    EXPECT_EQ(DecodeText64Bytes("YWI="), QByteArray("ab"));
    // What follows a padded group is never read, even a whole valid group.
    EXPECT_EQ(DecodeText64Bytes("YQ==YWJj"), QByteArray("a"));
    EXPECT_EQ(DecodeText64Bytes("YWI=YWJj"), QByteArray("ab"));
    // Padding early in a group counts as zero bits.
    EXPECT_EQ(DecodeText64Bytes("=A=="), QByteArray(1, '\0'));
}

}  // namespace
