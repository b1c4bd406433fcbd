#include "common/regional_format.h"
#include "shell/ui/ukrainian_ui.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString buttonText(QMessageBox::StandardButton which)
{
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    return box.button(which)->text().remove(u'&');
}

TEST(UkrainianUiTest, QtsOwnTextsSpeakUkrainianWhileTheServiceKeepsItsFormats)
{
    {
        const UkrainianUi ukrainian;
        ASSERT_TRUE(ukrainian.problem().isEmpty()) << ukrainian.problem().toStdString();
        EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("Так"));
        EXPECT_EQ(buttonText(QMessageBox::No), QStringLiteral("Ні"));

        QDateEdit picker(QDate(2026, 12, 9));
        picker.setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        picker.setCalendarPopup(true);
        EXPECT_EQ(picker.text(), QStringLiteral("09.12.2026"));
        EXPECT_EQ(picker.calendarWidget()->locale().standaloneMonthName(12), QStringLiteral("грудень"));

        // Logs, pages and answers are written while the window runs.
        EXPECT_EQ(RegionalFormat::numberText(12345.5), QStringLiteral("12345,5"));
        EXPECT_EQ(RegionalFormat::dateTimeText(QDateTime(QDate(2026, 3, 5), QTime(9, 7))),
                  QStringLiteral("05.03.2026 09:07:00"));
    }
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("Yes")) << "undone when it goes";
}

}  // namespace
