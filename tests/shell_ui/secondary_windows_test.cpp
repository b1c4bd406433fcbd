#include "scripted_prompt.h"
#include "ui_test_support.h"

#include "shell/account_counters.h"
#include "shell/operator_log.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LogWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    kvtest::ScriptedPrompt prompt;
    QString threshold = QStringLiteral("100");
    OperatorLog web{dir.path(), QStringLiteral("_LOG_PIDKL.RTF"), [this] { return threshold; }};
    OperatorLog mobile{dir.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"),
                       [this] { return threshold; }};
};

TEST_F(LogWindowTest, ViewsFollowTheirOwnLog)
{
    web.append(QStringLiteral("before the window"));
    TForm2 window(web, mobile, prompt);
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
    TForm2 window(web, mobile, prompt);
    threshold = QStringLiteral("2");
    QDir(dir.path()).mkdir(QStringLiteral("LOG"));
    web.append(QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    DeliverQueued();
    EXPECT_EQ(window.webLogView()->toPlainText(), QStringLiteral("three"));

    threshold = QStringLiteral("many");
    mobile.append(QStringLiteral("line"));
    DeliverQueued();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().contains(QStringLiteral("[many]")));
}

TEST_F(LogWindowTest, ShowsOnTopAndHoldsTheOperatorWindow)
{
    TForm2 window(web, mobile, prompt);
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

TEST(AdvertWindowTest, CountersPageFollowsTheCounters)
{
    AccountCounters counters;
    TForm3 window(counters);
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

TEST(AdvertWindowTest, CreationPageCollectsProgressWithTheButtonOnlyInformative)
{
    AccountCounters counters;
    TForm3 window(counters);
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
