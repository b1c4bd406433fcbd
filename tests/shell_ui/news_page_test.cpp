#include "scripted_prompt.h"

#include "common/rtf_reader.h"
#include "common/rtf_writer.h"
#include "shell/news_text.h"
#include "shell/ui/news_page.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? RtfToPlainText(file.readAll()) : QString();
}

class NewsPageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    kvtest::ScriptedPrompt prompt;
    QString news() const { return QDir(dir.path()).filePath(QStringLiteral("NEWS.rtf")); }
};

TEST_F(NewsPageTest, MissingFileIsCreatedWithTheRequestForNews)
{
    NewsText held(dir.path());
    NewsPage page(held, prompt);
    page.SpeedButton18Click();

    EXPECT_EQ(page.text(), QStringLiteral("Вкажіть свої новини !!!"));
    ASSERT_TRUE(QFile::exists(news()));
    EXPECT_EQ(fileText(news()), QStringLiteral("Вкажіть свої новини !!!"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(NewsPageTest, ShowsTheFileAndReloadsItOnRequest)
{
    ASSERT_TRUE(
        SaveRtf(news(), {QStringLiteral("Нові тарифи з 1 травня"), QStringLiteral("Знижка 10%")}));
    NewsText held(dir.path());
    ASSERT_TRUE(held.load().isEmpty());
    NewsPage page(held, prompt);
    EXPECT_EQ(page.text(), QStringLiteral("Нові тарифи з 1 травня\nЗнижка 10%"));

    ASSERT_TRUE(SaveRtf(news(), {QStringLiteral("Працюємо цілодобово")}));
    page.SpeedButton18Click();
    EXPECT_EQ(page.text(), QStringLiteral("Працюємо цілодобово"));
    EXPECT_EQ(held.text(), QStringLiteral("Працюємо цілодобово")) << "the clients get what the page shows";
}

TEST_F(NewsPageTest, UnwritableFolderIsReported)
{
    NewsText held(QDir(dir.path()).filePath(QStringLiteral("missing/folder")));
    NewsPage page(held, prompt);
    page.SpeedButton18Click();

    EXPECT_EQ(page.text(), QStringLiteral("Вкажіть свої новини !!!"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(
        prompt.messages.front().startsWith(QStringLiteral("Неможливо записати файл новин")));
}

}  // namespace
