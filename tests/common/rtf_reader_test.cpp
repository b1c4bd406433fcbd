#include "common/rtf_reader.h"

#include "common/rtf_writer.h"

#include "qt_print.h"
#include "rtf_runs_print.h"

#include <gtest/gtest.h>

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

// As WordPad (RichEdit 4.1+) saves a short news text on a Ukrainian Windows.
const QByteArray kWordPad =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1058"
    "{\\fonttbl{\\f0\\fnil\\fcharset204 Calibri;}{\\f1\\fnil\\fcharset0 Courier New;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang1058\\'cd\\'ee\\'e2\\'e8\\'ed\\'e8\\par\r\n"
    "\\'cb\\'f3\\'f6\\'fc\\'ea, \\'e2\\'f3\\'eb. \"\\'d1\\'ee\\'e1\\'ee\\'f0\\'ed\\'e0\", 5\\par\r\n"
    "{\\b\\'c6\\'e8\\'f0\\'ed\\'e8\\'e9} \\i \\cf1 \\'ea\\'f3\\'f0\\'f1\\'e8\\'e2\\cf0\\i0 \\tab 42\\par\r\n"
    "\\f1\\lang1033 C:\\\\Taxi\\\\\\{x\\}\\f0\\lang1058\\par\r\n"
    "}\r\n";

TEST(RtfToPlainText, WordPadDocumentWithCyrillic)
{
    EXPECT_EQ(RtfToPlainText(kWordPad),
              S("Новини\n"
                "Луцьк, вул. \"Соборна\", 5\n"
                "Жирний курсив\t42\n"
                "C:\\Taxi\\{x}"));
}

TEST(RtfToRuns, BoldAndColoursAsWordProcessorsWriteThem)
{
    EXPECT_EQ(RtfToRuns(kWordPad), (RtfRuns{{S("Новини\nЛуцьк, вул. \"Соборна\", 5\n"), false, std::nullopt},
                                            {S("Жирний"), true, std::nullopt},
                                            {S(" "), false, std::nullopt},
                                            {S("курсив"), false, 0xFF0000u},
                                            {S("\t42\nC:\\Taxi\\{x}"), false, std::nullopt}}));
    // \plain ends bold and colour; a colour the table does not hold is none.
    EXPECT_EQ(RtfToRuns("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\\cf1 a\\cf2\\b b\\plain c"
                        "{\\b0\\cf7 d}\\b1 e\\par}"),
              (RtfRuns{{S("a"), false, 0x008000u},
                       {S("b"), true, 0x0000FFu},
                       {S("cd"), false, std::nullopt},
                       {S("e"), true, std::nullopt}}));
    // Without an "auto" entry first, \cf0 is the table's first colour.
    EXPECT_EQ(RtfToRuns("{\\rtf1{\\colortbl\\red255\\green0\\blue0;}\\cf0 x}"), (RtfRuns{{S("x"), false, 0xFF0000u}}));
    EXPECT_EQ(RtfToRuns("no RTF\r\n"), (RtfRuns{{S("no RTF"), false, std::nullopt}}));
}

// As LibreOffice writes non-ASCII text: \uN followed by \'3f for old readers.
TEST(RtfToPlainText, LibreOfficeStyleDocument)
{
    const QByteArray doc =
        "{\\rtf1\\ansi\\deff3\\adeflang1025\r\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f3\\froman\\fprq2\\fcharset0 "
        "Liberation Serif{\\*\\falt Times New Roman};}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
        "{\\stylesheet{\\s0\\snext0\\loch\\f3\\fs24\\lang1033 Normal;}\r\n"
        "{\\s15\\sbasedon0\\snext16 Heading;}}{\\*\\generator LibreOffice/7.4$Linux}"
        "{\\info{\\title Title text}{\\author Someone}{\\creatim\\yr2024\\mo1\\dy1\\hr10\\min0}}"
        "{\\*\\userprops}\\deftab709\r\n"
        "{\\*\\pgdsctbl\r\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906 Default Page Style;}}\r\n"
        "\\formshade{\\*\\pgdscno0}\\paperh16838\\paperw11906\\sectd\\sbknone\r\n"
        "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\loch\\f3\\fs24\\lang1033{\\loch\r\n"
        "\\u1055\\'3f\\u1088\\'3f\\u1080\\'3f\\u1074\\'3f\\u1110\\'3f\\u1090\\'3f}\r\n"
        "\\par \\pard\\plain \\s0\\loch\\f3\\fs24{\\loch\r\n"
        "Second line}\r\n"
        "\\par }";
    EXPECT_EQ(RtfToPlainText(doc), S("Привіт\nSecond line"));
}

TEST(RtfToPlainText, UnicodeEscapesAndTheirFallbacks)
{
    // default \uc1: one fallback character skipped, be it '?' or \'hh
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\u1083?b\\u1083\\'3fc}"), S("aлbлc"));
    // a negative N counts from 65536; a surrogate pair comes as two \u
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\u-255?\\u-10179?\\u-8555?}"), S("！🚕"));
    // \uc0: nothing to skip; \uc2: two characters to skip
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\uc0\\u1083 x}"), S("лx"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\uc2\\u1083 ??x}"), S("лx"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\uc2\\u1083\\'81\\'82x}"), S("лx"));
    // \uc belongs to its group
    EXPECT_EQ(RtfToPlainText("{\\rtf1 {\\uc2 \\u1083 ??}\\u1083 ?x}"), S("ллx"));
    // the end of a group ends the fallback
    EXPECT_EQ(RtfToPlainText("{\\rtf1 {\\uc3\\u1083 ?}x}"), S("лx"));
    // \uN without fallback character
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\uc0 \\u1083\\u1084}"), S("лм"));
}

TEST(RtfToPlainText, NestedGroupsAndSkippedDestinations)
{
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{b{\\i c}d}e}"), S("abcde"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{\\*\\unknown x{y}z}b}"), S("ab"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{\\header H}{\\footer F}{\\footnote N}b}"), S("ab"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{\\pict\\wmetafile8 0123abcdef}b}"), S("ab"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict x}b}"), S("ab"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{\\pict\\bin3 }{}}b}"), S("ab"));  // binary data may hold braces
    // a hyperlink: the instruction is skipped, the shown text kept
    EXPECT_EQ(RtfToPlainText("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}"
                             "{\\fldrslt{\\ul site}}} now}"),
              S("see site now"));
}

TEST(RtfToPlainText, EscapesBreaksAndSpecialCharacters)
{
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\\\ \\{ \\}}"), S("\\ { }"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\tab b\\line c\\par d}"), S("a\tb\nc\nd"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\~b\\_c\\-d}"), S("a\u00A0b-cd"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\ldblquote x\\rdblquote  \\emdash  \\lquote y\\rquote}"),
              S("“x” — ‘y’"));
    // the space after a control word is its delimiter; line ends in the source mean nothing
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\b  bold\r\ntext\\b0}"), S(" boldtext"));
    // "\pard" is not "\par"
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\pard a}"), S("a"));
    // a backslash before a line end is a paragraph end
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\\nb}"), S("a\nb"));
}

TEST(RtfToPlainText, OnlyOneFinalLineBreakIsDropped)
{
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\par }"), S("a"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\par \\par }"), S("a\n"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a}"), S("a"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 }"), QString());
}

TEST(RtfToPlainText, CodePages)
{
    // no \ansicpg: Windows-1252
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi caf\\'e9}"), S("café"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\ansicpg1251 \\'ea\\'e8\\'bf\\'e2}"), S("київ"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\ansicpg1250 \\'b3\\'f3d\\'9f}"), S("łódź"));
    // raw bytes above 127 in the text are in the code page too
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\ansicpg1251 \xca\xe8\xbf\xe2}"), S("Київ"));
    // WordPad on a Western Windows: \ansicpg1252 with a Cyrillic font
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
                             "{\\f1\\fswiss\\fcharset0 Arial;}}\\f0 \\'cb\\'f3\\'f6\\'fc\\'ea \\f1 caf\\'e9}"),
              S("Луцьк café"));
    // ... and the default font's charset applies before any \f
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}\\'ea\\'e8\\'bf\\'e2}"),
              S("київ"));
    // \plain goes back to the default font
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}}"
                             "\\f0\\'e9\\plain\\'e9}"),
              S("йé"));
}

TEST(RtfToPlainText, NotRtfIsPlainText)
{
    EXPECT_EQ(RtfToPlainText("\xcd\xee\xe2\xe8\xed\xe8\r\n\xcb\xf3\xf6\xfc\xea\r\n"), S("Новини\nЛуцьк"));
    EXPECT_EQ(RtfToPlainText(S("Новини\nЛуцьк {\\b}\n\n").toUtf8()), S("Новини\nЛуцьк {\\b}\n"));
    EXPECT_EQ(RtfToPlainText("plain"), S("plain"));
    EXPECT_EQ(RtfToPlainText(QByteArray()), QString());
    EXPECT_EQ(RtfToPlainText("{\\rt"), S("{\\rt"));
}

TEST(RtfToPlainText, ByteOrderMarkAndBlanksBeforeTheDocument)
{
    EXPECT_EQ(RtfToPlainText("\xEF\xBB\xBF{\\rtf1 a}"), S("a"));
    EXPECT_EQ(RtfToPlainText("\r\n {\\rtf1 a}"), S("a"));
}

TEST(RtfToPlainText, TextAfterTheDocumentIsIgnored)
{
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a}b}c{d"), S("a"));
}

TEST(RtfToPlainText, RoundTripWithRtfDocument)
{
    const QStringList lines = {S("Привіт, світ!"), S("Ціна: 50 грн, «Економ»"), "", S("{x} \\ y\tz 🚕")};
    EXPECT_EQ(RtfToPlainText(RtfDocument(lines)), lines.join(u'\n'));
}

// Cut anywhere, a document never makes the reader read out of range or hang.
TEST(RtfToPlainText, SurvivesTruncatedAndBrokenInput)
{
    const QByteArray docs[] = {
        kWordPad,
        RtfDocument({S("Привіт 🚕 {x}")}),
        "{\\rtf1 \\'", "{\\rtf1 \\'4", "{\\rtf1 \\", "{\\rtf1 \\u", "{\\rtf1 \\u-", "{\\rtf1 \\u99999999999999?",
        "{\\rtf1 \\bin999999999 x}", "{\\rtf1 \\bin-5 x}", "{\\rtf1 \\'zz}", "{\\rtf1 }}}}", "{\\rtf1 {{{{",
        "{\\rtf1 \\uc999999999999\\u1083 x}",
    };
    for (const QByteArray &doc : docs) {
        for (qsizetype length = 0; length <= doc.size(); ++length)
            RtfToPlainText(doc.left(length));
    }
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\'4"), S("a"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\'zz}"), S("azz"));
    EXPECT_EQ(RtfToPlainText("{\\rtf1 a{{{{b"), S("ab"));
}

}  // namespace
