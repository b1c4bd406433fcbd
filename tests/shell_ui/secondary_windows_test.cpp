#include "scripted_prompt.h"
#include "ui_test_support.h"

#include "shell/account_counters.h"
#include "shell/operator_log.h"
#include "shell/service_context.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LogWindowTest : public ::testing::Test {
protected:
    LogWindowTest() { setThreshold(QStringLiteral("100")); }
    void setThreshold(const QString &lines)
    {
        context.settings.KIL_LOG_POZ = lines;
        context.settings.JAVA_KIL_LOG_POZ = lines;
    }

    QTemporaryDir dir;
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{dir.path(), prompt};
    OperatorLog &web = context.webLog;
    OperatorLog &mobile = context.mobileLog;
};

using AdvertWindowTest = LogWindowTest;

TEST_F(LogWindowTest, ViewsFollowTheirOwnLog)
{
    web.append(QStringLiteral("before the window"));
    TForm2 window(context);
    EXPECT_EQ(window.webLogView()->toPlainText(), QStringLiteral("before the window"));

    web.append(QStringList{QStringLiteral("web one"), QStringLiteral("web two")});
    mobile.append(QStringLiteral("mobile one"));
    DeliverQueued();
    EXPECT_EQ(window.webLogView()->toPlainText(),
              QStringLiteral("before the window\nweb one\nweb two"));
    EXPECT_EQ(window.mobileLogView()->toPlainText(), QStringLiteral("mobile one"));
}

TEST_F(LogWindowTest, SavedLogEmptiesItsViewAndFailuresReachTheOperator)
{
    TForm2 window(context);
    setThreshold(QStringLiteral("2"));
    QDir(dir.path()).mkdir(QStringLiteral("LOG"));
    web.append(QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    DeliverQueued();
    EXPECT_EQ(window.webLogView()->toPlainText(), QStringLiteral("three"));

    setThreshold(QStringLiteral("many"));
    mobile.append(QStringLiteral("line"));
    DeliverQueued();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().contains(QStringLiteral("[many]")));
}

TEST_F(LogWindowTest, WhileSavesFailTheViewKeepsNoMoreThanTheLog)
{
    setThreshold(QStringLiteral("1"));
    QFile blocker(dir.filePath(QStringLiteral("LOG")));  // a file where the folder must go
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    TForm2 window(context);
    for (int i = 0; i < 3 * OperatorLog::kKeptSaves; ++i)
        web.append(QString::number(i));
    DeliverQueued();
    EXPECT_EQ(web.lineCount(), OperatorLog::kKeptSaves);
    EXPECT_EQ(window.webLogView()->blockCount(), OperatorLog::kKeptSaves);
    EXPECT_EQ(window.webLogView()->toPlainText().section(u'\n', -1), QString::number(3 * OperatorLog::kKeptSaves - 1));
}

TEST_F(LogWindowTest, ShowsOnTopAndHoldsTheOperatorWindow)
{
    TForm2 window(context);
    window.showPage(TForm2::Page::LogList);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_NE(window.windowModality(), Qt::NonModal);

    const QList<QPushButton *> closers
        = window.findChildren<QPushButton *>(QStringLiteral("CloseButton"));
    ASSERT_EQ(closers.size(), 3);
    for (const QPushButton *button : closers)
        EXPECT_EQ(button->text(), QStringLiteral("Закрити без змін  ..."));
    closers[1]->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(AdvertWindowTest, CountersPageFollowsTheCounters)
{
    AccountCounters &counters = context.accounts;
    TForm3 window(context);
    const auto value = [&](const char *name) {
        return window.findChild<QLabel *>(QString::fromLatin1(name))->text();
    };
    EXPECT_EQ(value("StartTime"), kNotSet);
    EXPECT_EQ(value("NewsLast"), kNotSet);

    counters.resetAtStart();
    counters.addNewsEntry();
    counters.addScan(true);
    DeliverQueued();
    EXPECT_EQ(value("Scans"), QStringLiteral("1"));
    EXPECT_EQ(value("NewsEntries"), QStringLiteral("1"));
    EXPECT_EQ(value("QuickEntries"), QStringLiteral("0"));
    EXPECT_EQ(value("StartTime"), counters.values().startTime);
    EXPECT_EQ(value("NewsLast"), counters.values().newsLast);
}

TEST_F(AdvertWindowTest, CreationPageCollectsProgressWithTheButtonOnlyInformative)
{
    TForm3 window(context);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);

    window.showCreationPage();
    window.addCreationProgress({QStringLiteral("01.05.2024 10:00:00")});
    window.addCreationProgress({QStringLiteral("CREATE TABLE TABLE_KLIENT"), QStringLiteral("OK")});

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.currentPage(), TForm3::Page::CreateTableBaza);
    EXPECT_EQ(window.creationProgress(),
              (QStringList{QStringLiteral("01.05.2024 10:00:00"),
                           QStringLiteral("CREATE TABLE TABLE_KLIENT"), QStringLiteral("OK")}));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Button1"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Створити базу даних"));
    EXPECT_FALSE(button->isEnabled());
}

}  // namespace
