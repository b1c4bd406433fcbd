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

}  // namespace
