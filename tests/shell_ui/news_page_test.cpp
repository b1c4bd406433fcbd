#include "../common/rtf_runs_print.h"
#include "scripted_prompt.h"
#include "ui_test_support.h"

#include "common/rtf_reader.h"
#include "common/rtf_writer.h"
#include "shell/news_text.h"
#include "shell/ui/news_document.h"
#include "shell/ui/news_editor.h"
#include "shell/ui/news_page.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fileText(const QString &path) { return RtfToPlainText(bytes(path)); }

QString S(const char *text) { return QString::fromUtf8(text); }

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

TEST_F(NewsPageTest, EditedNewsAreSavedOverAKeptCopyAndReachTheClientsAtOnce)
{
    const RtfRuns before{{S("Старі новини"), true, std::nullopt}};
    ASSERT_TRUE(SaveFormattedRtf(news(), before));
    const QByteArray previous = bytes(news());
    NewsText held(dir.path());
    ASSERT_TRUE(held.load().isEmpty());
    NewsPage page(held, prompt);
    QPointer<NewsEditor> editor = page.editNews();
    QTextEdit *text = editor->editor();
    EXPECT_EQ(DocumentRuns(*text->document()), before) << "the file as it stands, bold kept";

    // A bold heading, then a paragraph with a price in colour.
    text->clear();
    editor->setBold(true);
    text->insertPlainText(S("Нові тарифи"));
    editor->setBold(false);
    text->insertPlainText(S("\nЗнижка "));
    editor->setColour(QColor(0xC0, 0, 0));
    text->insertPlainText(S("10% Łódź 🚕"));
    editor->save();

    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(bytes(news() + QStringLiteral(".bak")), previous);
    // A paragraph's end has the look of what it ends.
    EXPECT_EQ(RtfToRuns(bytes(news())), (RtfRuns{{S("Нові тарифи\n"), true, std::nullopt},
                                                  {S("Знижка "), false, std::nullopt},
                                                  {S("10% Łódź 🚕"), false, 0xC00000u}}));
    EXPECT_TRUE(bytes(news()).startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    const QString plain = S("Нові тарифи\nЗнижка 10% Łódź 🚕");
    EXPECT_EQ(held.text(), plain) << "pages and phones read the text held";
    EXPECT_EQ(page.text(), plain);
    DeliverQueued();
    EXPECT_TRUE(editor.isNull()) << "closed after the save";
}

TEST_F(NewsPageTest, AFailedSaveChangesNothingAndUnsavedChangesAreAskedAbout)
{
    ASSERT_TRUE(SaveRtf(news(), {S("Старі новини")}));
    const QByteArray previous = bytes(news());
    // The copy cannot take the place of a folder of that name.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("NEWS.rtf.bak/inside")));
    NewsText held(dir.path());
    NewsPage page(held, prompt);
    QPointer<NewsEditor> editor = page.editNews();
    editor->editor()->selectAll();
    editor->editor()->insertPlainText(S("Нові новини"));
    editor->save();

    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().contains(QStringLiteral("NEWS.rtf.bak"))) << prompt.messages.front().toStdString();
    EXPECT_EQ(bytes(news()), previous);
    EXPECT_EQ(held.text(), S("Старі новини"));
    EXPECT_TRUE(editor->isVisible()) << "the edit is not lost";

    // Closing with the changes unsaved asks first: No keeps the editor, Yes closes it.
    prompt.answers = {false, true};
    for (const bool closed : {false, true}) {
        editor->reject();
        DeliverQueued();
        EXPECT_EQ(editor.isNull() || !editor->isVisible(), closed);
    }
    EXPECT_EQ(prompt.questions.size(), 2);
}

}  // namespace
