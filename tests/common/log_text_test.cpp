#include "common/log_text.h"

#include "qt_print.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    char16_t sent;
    const char *shown;
};

// Every character that could start a line of its own or disguise one, with its
// neighbours that must stay as they are.
const Case kCases[] = {
    {u'\r', "\\r"},    {u'\n', "\\n"},    {0x00, "\\x00"},   {0x07, "\\x07"},   {0x1F, "\\x1f"},
    {0x7F, "\x7F"},    {0x80, "\\x80"},   {0x85, "\\x85"},   {0x9F, "\\x9f"},   {0xA0, "\xC2\xA0"},
    {0x061B, "\xD8\x9B"}, {0x061C, "\\u061c"}, {0x200D, "\xE2\x80\x8D"}, {0x200E, "\\u200e"},
    {0x200F, "\\u200f"}, {0x2027, "\xE2\x80\xA7"}, {0x2028, "\\u2028"}, {0x2029, "\\u2029"},
    {0x202A, "\\u202a"}, {0x202E, "\\u202e"}, {0x202F, "\xE2\x80\xAF"}, {0x2065, "\xE2\x81\xA5"},
    {0x2066, "\\u2066"}, {0x2069, "\\u2069"}, {0x206A, "\xE2\x81\xAA"}, {u'ї', "ї"},
};

TEST(LogValue, ShowsEveryDisguisingCharacterEscapedAndKeepsTheRest)
{
    for (const Case &c : kCases) {
        const QString sent = QStringLiteral("a") + QChar(c.sent) + QStringLiteral("b");
        EXPECT_EQ(LogValue(sent), QStringLiteral("a") + QString::fromUtf8(c.shown) + QStringLiteral("b"))
            << "U+" << std::hex << int(c.sent);
    }
}

}  // namespace
