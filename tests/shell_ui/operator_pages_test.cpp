// The requests and complaints pages, offscreen, over real databases.

#include "operator_tables.h"
#include "ui_test_support.h"

#include "shell/ui/complaints_page.h"
#include "shell/ui/operator_grid.h"
#include "shell/ui/requests_page.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using OperatorPagesTest = kvtest::OperatorTablesTest;

template <class W> W *child(const QWidget &page, const char *name) { return page.findChild<W *>(QString::fromLatin1(name)); }

TEST_F(OperatorPagesTest, RequestsAndComplaintsPagesShowTheSelectionAndAct)
{
    RequestsPage requests(context);
    ComplaintsPage complaints(context);
    prompt.answers = {true, true, true};
    sql("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD) VALUES (1, '00101')");
    sql("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_KOD, TABLE_SKARGA_TEXT) "
        "VALUES (%1, '-', '00101', ?)", {{"Водій запізнився"}, {"Брудне авто"}}, "TABLE_SKARGA");
    DeliverQueued();
    EXPECT_EQ(child<QLineEdit>(requests, "Edit15")->text(), QStringLiteral("Коваленко Олена Петрівна"));
    EXPECT_FALSE(child<QPushButton>(requests, "SpeedButton11")->isEnabled());
    // A template longer than the column is taken whole, to be refused as such, not cut.
    context.settings.POVID_PRI_CREAT_ACCAUNT = QString(600, u'т');
    child<QPushButton>(requests, "SpeedButton17")->click();
    child<QPushButton>(requests, "SpeedButton35")->click();
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("Особисте повідомлення довше допустимого (не більше 500 символів). Клієнта не створено !"));
    prompt.answers = {true, true, true};
    child<QLineEdit>(requests, "Edit26")->setText(QStringLiteral("Вітаємо"));
    child<QPushButton>(requests, "SpeedButton35")->click();
    DeliverQueued();
    EXPECT_EQ(requests.grid()->rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(requests, "SpeedButton35")->isEnabled());

    auto *memo = child<QPlainTextEdit>(complaints, "DBMemo1");
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Брудне авто"));
    complaints.grid()->setCurrentCell(1, 0);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Водій запізнився"));
    child<QPlainTextEdit>(complaints, "RichEdit1")->setPlainText(QStringLiteral("Вибачте"));
    child<QPushButton>(complaints, "SpeedButton5")->click();
    DeliverQueued();
    EXPECT_EQ(complaints.grid()->rowCount(), 1);
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT")), QStringLiteral("Вибачте"));
}

}  // namespace
