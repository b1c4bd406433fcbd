#include "common/extract_between.h"

#include "qt_print.h"

#include <gtest/gtest.h>

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

TEST(ExtractBetween, TextBetweenFirstOpenAndFirstClose)
{
    EXPECT_EQ(ExtractBetween(S("<a>1</a>"), S("<a>"), S("</a>")), S("1"));
    EXPECT_EQ(ExtractBetween(S("cmd=ORDER;id=17;"), S("id="), S(";")), S(""));  // first ';' precedes "id="
    EXPECT_EQ(ExtractBetween(S("[Луцьк] [Київ]"), S("["), S("]")), S("Луцьк"));
    EXPECT_EQ(ExtractBetween(S("x(a)(b)"), S("("), S(")")), S("a"));
}

TEST(ExtractBetween, BothMarkersSearchedFromTheStart)
{
    // The first ']' stands before the first '[': empty, even though a ']' follows later.
    EXPECT_EQ(ExtractBetween(S("a]b[c]d"), S("["), S("]")), S(""));
    // Length = pos(close) - pos(open) - len(open), with both positions from the start.
    EXPECT_EQ(ExtractBetween(S("<<x>>"), S("<"), S(">")), S("<x"));
}

TEST(ExtractBetween, EmptyWhenAMarkerIsMissingOrEmpty)
{
    EXPECT_EQ(ExtractBetween(S("abc"), S("["), S("c")), S(""));
    EXPECT_EQ(ExtractBetween(S("[abc"), S("["), S("]")), S(""));
    EXPECT_EQ(ExtractBetween(S(""), S("["), S("]")), S(""));
    EXPECT_EQ(ExtractBetween(S("[abc]"), S(""), S("]")), S(""));
    EXPECT_EQ(ExtractBetween(S("[abc]"), S("["), S("")), S(""));
}

TEST(ExtractBetween, EmptyWhenCloseStandsBeforeTheEndOfOpen)
{
    EXPECT_EQ(ExtractBetween(S("ab"), S("ab"), S("b")), S(""));      // close inside open
    EXPECT_EQ(ExtractBetween(S("aXa"), S("a"), S("a")), S(""));      // same marker: same position
    EXPECT_EQ(ExtractBetween(S("[]"), S("["), S("]")), S(""));       // nothing between
    EXPECT_EQ(ExtractBetween(S("abcabc"), S("c"), S("a")), S(""));
}

TEST(ExtractBetween, ByteOverloadHasTheSameSemantics)
{
    EXPECT_EQ(ExtractBetween(QByteArray("ID=12;NAME=x;"), QByteArray("ID="), QByteArray(";")),
              QByteArray("12"));
    EXPECT_EQ(ExtractBetween(QByteArray("a]b[c]d"), QByteArray("["), QByteArray("]")), QByteArray());
    EXPECT_EQ(ExtractBetween(QByteArray("\xcb\xf3|x|", 6), QByteArray("|"), QByteArray("x")),
              QByteArray());
    EXPECT_EQ(ExtractBetween(QByteArray("<\xcb\xf3>", 4), QByteArray("<"), QByteArray(">")),
              QByteArray("\xcb\xf3"));
    EXPECT_EQ(ExtractBetween(QByteArray(), QByteArray("a"), QByteArray("b")), QByteArray());
}

// Every text and marker up to a few characters over a small alphabet, against
// the definition computed by hand: never out of range, always the same answer.
TEST(ExtractBetween, MatchesTheDefinitionOnAllSmallInputs)
{
    std::vector<QString> words{QString()};
    for (int length = 1; length <= 5; ++length) {
        const size_t before = words.size();
        for (size_t i = 0; i < before; ++i) {
            if (words[i].size() == length - 1) {
                words.push_back(words[i] + u'a');
                words.push_back(words[i] + u'b');
                words.push_back(words[i] + u'[');
            }
        }
    }
    std::vector<QString> markers;
    for (const QString &w : words) {
        if (w.size() <= 2)
            markers.push_back(w);
    }
    for (const QString &text : words) {
        for (const QString &open : markers) {
            for (const QString &close : markers) {
                QString expected;
                const qsizetype o = open.isEmpty() ? -1 : text.indexOf(open);
                const qsizetype c = close.isEmpty() ? -1 : text.indexOf(close);
                if (o >= 0 && c >= 0 && c - o - open.size() > 0)
                    expected = text.mid(o + open.size(), c - o - open.size());
                ASSERT_EQ(ExtractBetween(text, open, close), expected)
                    << text.toStdString() << " | " << open.toStdString() << " | " << close.toStdString();
                ASSERT_EQ(ExtractBetween(text.toUtf8(), open.toUtf8(), close.toUtf8()), expected.toUtf8());
            }
        }
    }
}

}  // namespace
