#include "common/rtf_writer.h"

#include "common/rtf_reader.h"

#include "qt_print.h"
#include "rtf_runs_print.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

const QByteArray kHeader =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0 {\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}}";

// The body of the document: what follows the header line and the paragraph settings.
QByteArray body(const QByteArray &document)
{
    const qsizetype start = document.indexOf("\\fs20 ");
    if (start < 0)
        return {};
    return document.mid(start + 6);
}

TEST(RtfDocument, IsARealRtfDocument)
{
    const QByteArray doc = RtfDocument({"one", "two"});
    EXPECT_TRUE(doc.startsWith(kHeader)) << doc.toStdString();
    EXPECT_TRUE(doc.trimmed().endsWith('}'));
    EXPECT_EQ(body(doc), QByteArray("one\\par\r\ntwo\\par\r\n}\r\n"));
    // braces balance and the text is plain ASCII
    int depth = 0;
    for (qsizetype i = 0; i < doc.size(); ++i) {
        const char c = doc.at(i);
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
            ASSERT_GE(depth, 0);
        }
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfDocument, OneParagraphPerLine)
{
    EXPECT_EQ(body(RtfDocument({})), QByteArray("}\r\n"));
    EXPECT_EQ(body(RtfDocument({""})), QByteArray("\\par\r\n}\r\n"));
    EXPECT_EQ(body(RtfDocument({"a", "", " b"})), QByteArray("a\\par\r\n\\par\r\n b\\par\r\n}\r\n"));
}

TEST(RtfDocument, EscapesSpecialCharacters)
{
    EXPECT_EQ(body(RtfDocument({"C:\\dir {x} \\par"})),
              QByteArray("C:\\\\dir \\{x\\} \\\\par\\par\r\n}\r\n"));
    EXPECT_EQ(body(RtfDocument({"a\tb"})), QByteArray("a\\tab b\\par\r\n}\r\n"));
    EXPECT_EQ(body(RtfDocument({"a\nb"})), QByteArray("a\\line b\\par\r\n}\r\n"));
    EXPECT_EQ(body(RtfDocument({QString("a") + QChar(7) + "b"})), QByteArray("ab\\par\r\n}\r\n"));
}

TEST(RtfDocument, Windows1251CharactersAsHexEscapes)
{
    // Привіт in Windows-1251 is cf f0 e8 e2 b3 f2; the euro sign is 88, № is b9
    EXPECT_EQ(body(RtfDocument({S("Привіт €№")})),
              QByteArray("\\'cf\\'f0\\'e8\\'e2\\'b3\\'f2 \\'88\\'b9\\par\r\n}\r\n"));
}

TEST(RtfDocument, OtherCharactersAsUnicodeEscapes)
{
    // ł U+0142 = 322; 中 U+4E2D = 20013; ！ U+FF01 = 65281 -> -255;
    // 🚕 U+1F695 = D83D DE95 -> -10179, -8555
    EXPECT_EQ(body(RtfDocument({S("ł中！🚕")})),
              QByteArray("\\u322?\\u20013?\\u-255?\\u-10179?\\u-8555?\\par\r\n}\r\n"));
}

TEST(RtfDocument, RoundTripThroughTheReader)
{
    const QStringList lines = {
        S("Новини диспетчерської"),
        S("Луцьк, вул. \"Соборна\", 5 — таксі 🚕"),
        "",
        S("  відступ\tі таб {дужки} \\ шлях"),
        S("Łódź, 中文, ЁЖЇЄҐ ёжїєґ"),
    };
    EXPECT_EQ(RtfToPlainText(RtfDocument(lines)), lines.join(u'\n'));
}

TEST(RtfFormattedDocument, RunsComeBackThroughTheReader)
{
    const std::vector<RtfRuns> documents = {
        {{S("Нові тарифи"), true, std::nullopt},
         {S("\nЗнижка "), false, std::nullopt},
         {S("10% {нічний}"), true, 0xC00000u},
         {S(" Łódź 🚕\n"), false, 0x0000FFu},
         {S("третій абзац"), false, 0xC00000u}},
        {{S("\n\nПісля порожніх абзаців\n"), false, 0x008000u}},
        {{S("Лише текст"), false, std::nullopt}},
        {},
    };
    for (const RtfRuns &runs : documents) {
        const QByteArray document = RtfFormattedDocument(runs);
        EXPECT_EQ(RtfToRuns(document), runs) << document.toStdString();
        QString plain;
        for (const RtfRun &run : runs)
            plain += run.text;
        EXPECT_EQ(RtfToPlainText(document), plain);
    }
    // The form the program writes: Windows-1251 bytes escaped, other characters as \uN.
    const QByteArray first = RtfFormattedDocument(documents.front());
    EXPECT_TRUE(first.startsWith(kHeader + "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green0\\blue255;}"))
        << first.toStdString();
    EXPECT_TRUE(body(first).startsWith("\\b \\'cd\\'ee\\'e2\\'b3 "));  // "Нові " bold
    EXPECT_TRUE(first.contains("\\u321?\\u243?d\\u378? \\u-10179?\\u-8555?"));  // "Łódź 🚕"
    EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

TEST(SaveRtf, WritesTheDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("NEWS.rtf");
    QString error = "old";
    ASSERT_TRUE(SaveRtf(path, {S("Привіт")}, &error));
    EXPECT_TRUE(error.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), RtfDocument({S("Привіт")}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"NEWS.rtf"});
}

TEST(SaveRtf, ReportsFailure)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(SaveRtf(dir.filePath("no/such/dir/NEWS.rtf"), {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(SaveRtf(dir.filePath("no/such/dir/NEWS.rtf"), {"x"}, nullptr));
}

// A word processor opens it with Cyrillic intact. Needs LibreOffice, which the
// build machines do not have: skipped there.
TEST(SaveRtf, LibreOfficeReadsIt)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    const QStringList lines = {S("Привіт, світ"), S("Луцьк, вул. \"Соборна\", 5 {x} \\ €")};
    ASSERT_TRUE(SaveRtf(dir.filePath("news.rtf"), lines, nullptr));
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                            "--convert-to", "txt:Text (encoded):UTF8", "--outdir", dir.path(),
                            dir.filePath("news.rtf")});
    ASSERT_TRUE(process.waitForFinished(120000));
    QFile text(dir.filePath("news.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    QString result = QString::fromUtf8(text.readAll());
    result.remove(QChar(0xFEFF));
    result.replace("\r\n", "\n");
    EXPECT_EQ(result.trimmed(), lines.join(u'\n'));
}

}  // namespace
