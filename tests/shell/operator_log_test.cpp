#include "common/rtf_reader.h"
#include "shell/operator_log.h"
#include "file_size_limit.h"
#include "temp_dir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

QStringList logFiles(const QString &folder)
{
    return QDir(folder + QStringLiteral("/LOG")).entryList(QDir::Files, QDir::Name);
}

QString plainText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? RtfToPlainText(file.readAll()) : QString();
}

class OperatorLogTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(dir.path()).mkdir(QStringLiteral("LOG")); }

    kvtest::TempDir dir;
    QString webThreshold = QStringLiteral("5");
    QString mobileThreshold = QStringLiteral("5000");
    OperatorLog web{dir.path(), QStringLiteral("_LOG_PIDKL.RTF"), [this] { return webThreshold; }};
    OperatorLog mobile{dir.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"), [this] { return mobileThreshold; }};
};

TEST_F(OperatorLogTest, FileNameIsDateAndTimeWithoutBlanksOrColons)
{
    const QDateTime moment(QDate(2010, 12, 25), QTime(14, 3, 27));
    EXPECT_EQ(OperatorLog::fileName(moment, QStringLiteral("_LOG_PIDKL.RTF")),
              QStringLiteral("25.12.2010_14-03-27_LOG_PIDKL.RTF"));
}

TEST_F(OperatorLogTest, SavedAndEmptiedTheMomentTheThresholdIsReached)
{
    for (int i = 1; i <= 4; ++i)
        web.append(QStringLiteral("рядок %1").arg(i));
    mobile.append(QStringLiteral("mobile line"));
    EXPECT_TRUE(logFiles(dir.path()).isEmpty());
    EXPECT_EQ(web.lineCount(), 4);

    web.event(QStringLiteral("]: вхід у web систему клієнта з  IP : 10.0.0.1"));
    const QStringList files = logFiles(dir.path());
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_LOG_PIDKL.RTF")));
    EXPECT_EQ(web.lineCount(), 0);
    EXPECT_EQ(mobile.lineCount(), 1);

    const QStringList saved = plainText(dir.path() + QStringLiteral("/LOG/") + files[0]).split(u'\n');
    ASSERT_EQ(saved.size(), 5);
    EXPECT_EQ(saved[0], QStringLiteral("рядок 1"));
    EXPECT_TRUE(saved[4].startsWith(u'['));
    EXPECT_TRUE(saved[4].endsWith(QStringLiteral("]: вхід у web систему клієнта з  IP : 10.0.0.1")));
}

TEST_F(OperatorLogTest, SavesInTheSameSecondNeverOverwriteEachOther)
{
    webThreshold = QStringLiteral("1");
    web.append(QStringLiteral("a"));
    web.append(QStringLiteral("b"));
    web.append(QStringLiteral("c"));
    const QStringList files = logFiles(dir.path());
    EXPECT_EQ(files.size(), 3);
}

TEST_F(OperatorLogTest, EmptyLogStillGivesAFileWhenSavedAtClose)
{
    EXPECT_TRUE(mobile.saveNow());
    const QStringList files = logFiles(dir.path());
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_LOG_PIDKL_JAVA.RTF")));
}

TEST_F(OperatorLogTest, AShortSaveKeepsTheLinesUpToTheCapAndIsToldOnce)
{
    QStringList problems;
    QObject::connect(&web, &OperatorLog::problem, [&](const QString &text) { problems << text; });
    const int cap = 5 * OperatorLog::kKeptSaves;
    {
        const kvtest::FileSizeLimit full(100);  // a disk with room for no log at all
        for (int i = 1; i <= cap + 7; ++i)
            web.append(QStringLiteral("рядок %1 ").arg(i) + QString(40, u'ж'));
    }
    EXPECT_TRUE(logFiles(dir.path()).isEmpty()) << "no short file is put in place";
    EXPECT_EQ(web.lineCount(), cap);
    EXPECT_TRUE(web.lines().first().startsWith(QStringLiteral("рядок 8 ")));
    EXPECT_EQ(problems.size(), 2) << "the failed save and the lost lines, each once";
    EXPECT_TRUE(web.saveNow());
    EXPECT_EQ(plainText(dir.path() + QStringLiteral("/LOG/") + logFiles(dir.path()).value(0)).count(u'ж'), cap * 40);
}

TEST_F(OperatorLogTest, ThresholdThatIsNoPositiveNumberIsReportedOnceAndTheDefaultSaves)
{
    QStringList problems;
    QObject::connect(&web, &OperatorLog::problem, [&](const QString &text) { problems << text; });
    for (const char *bad : {"п'ять", "0", "-3"}) {
        webThreshold = QString::fromUtf8(bad);
        for (int i = 0; i < 10; ++i)
            web.append(QStringLiteral("x"));
    }
    EXPECT_EQ(problems.size(), 3);
    EXPECT_TRUE(logFiles(dir.path()).isEmpty()) << "no file for each line";
    for (int i = web.lineCount(); i < OperatorLog::kDefaultThreshold; ++i)
        web.append(QStringLiteral("x"));
    EXPECT_EQ(logFiles(dir.path()).size(), 1) << "nor lines kept without end";
    EXPECT_EQ(web.lineCount(), 0);
}

TEST_F(OperatorLogTest, AppendsFromManyThreadsLoseNothingAndNeverInterleave)
{
    webThreshold = QStringLiteral("1000");
    constexpr int kThreads = 8;
    constexpr int kLines = 500;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i)
                web.append(QStringLiteral("thread %1 line %2 %3").arg(t).arg(i).arg(QString(40, u'ж')));
        });
    for (std::thread &writer : writers)
        writer.join();
    web.saveNow();

    int total = 0;
    for (const QString &name : logFiles(dir.path())) {
        const QStringList lines = plainText(dir.path() + QStringLiteral("/LOG/") + name).split(u'\n');
        for (const QString &line : lines) {
            if (line.isEmpty())
                continue;
            ++total;
            EXPECT_TRUE(line.startsWith(QStringLiteral("thread ")) && line.endsWith(QString(40, u'ж')))
                << line.toStdString();
        }
    }
    EXPECT_EQ(total, kThreads * kLines);
}

// LOG/ before a save: the program's log files and other files, with their sizes in KB,
// and whether each is still there when the log files may take 1 MB together.
struct FolderEntry {
    const char *name;
    int kilobytes;
    bool kept;
};
const FolderEntry kFolder[] = {
    {"31.12.2025_23-59-59_LOG_PIDKL_JAVA.RTF", 300, false},
    {"05.01.2026_08-00-00_LOG_PIDKL.RTF", 300, false},
    {"05.01.2026_08-00-00_LOG_PIDKL_2.RTF", 300, false},
    {"05.01.2026_08-00-00_LOG_PIDKL_10.RTF", 300, true},
    {"12.02.2026_17-30-05_LOG_PIDKL.RTF", 300, true},
    {"12.02.2026_17-30-05_LOG_PIDKL_JAVA.RTF", 300, true},
    // Not the program's: neither counted nor touched.
    {"notes.txt", 2000, true},
    {"01.01.2020_08-00-00_LOG_PIDKL.RTF.bak", 300, true},
    {"01.01.2020_08-00-00_LOG_PIDKL.rtf", 300, true},
    {"копія.RTF", 300, true},
};

TEST_F(OperatorLogTest, PastTheFolderLimitTheOldestLogFilesGoAndTheLogSaysSo)
{
    for (const FolderEntry &entry : kFolder) {
        QFile file(dir.path() + QStringLiteral("/LOG/") + QString::fromUtf8(entry.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(entry.kilobytes * 1024, 'x'));
    }
    QString cap = QStringLiteral("1");
    web.setFolderCap([&cap] { return cap; });
    QStringList appended;
    QObject::connect(&web, &OperatorLog::lineAppended, [&](const QString &line) { appended << line; });
    webThreshold = QStringLiteral("1");
    web.append(QStringLiteral("рядок"));

    const QStringList left = logFiles(dir.path());
    for (const FolderEntry &entry : kFolder)
        EXPECT_EQ(left.contains(QString::fromUtf8(entry.name)), entry.kept) << entry.name;
    EXPECT_EQ(left.size(), 8) << "and the new file";
    ASSERT_EQ(appended.size(), 2);
    EXPECT_TRUE(appended[1].endsWith(QStringLiteral(
        "] LOG-файли перевищили 1 МБ: видалено найстаріших файлів - 3 (0,9 МБ), від "
        "[31.12.2025_23-59-59_LOG_PIDKL_JAVA.RTF] до [05.01.2026_08-00-00_LOG_PIDKL_2.RTF].")))
        << appended[1].toStdString();
    EXPECT_EQ(web.lines(), appended.mid(1)) << "the line goes into the next file";

    // 0 keeps everything; a text that is no number is told once and 1024 MB hold.
    appended.clear();
    for (const char *text : {"0", "багато", "багато"}) {
        cap = QString::fromUtf8(text);
        web.append(QStringLiteral("рядок"));
    }
    EXPECT_EQ(logFiles(dir.path()).size(), 11);
    EXPECT_EQ(appended.filter(QStringLiteral("LOG-файли перевищили")), QStringList());
    EXPECT_EQ(appended.filter(QStringLiteral("] Невірно задано найбільший розмір папки LOG: [багато], діє 1024 МБ.")).size(),
              1);
}

}  // namespace
