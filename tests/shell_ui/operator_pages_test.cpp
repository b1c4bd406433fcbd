// The requests and complaints pages, offscreen, over real databases.

#include "operator_tables.h"
#include "ui_test_support.h"

#include "shell/ui/complaints_page.h"
#include "shell/ui/operator_grid.h"
#include "shell/ui/requests_page.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <thread>

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

TEST_F(OperatorPagesTest, AClickOnRowsARefreshHasReplacedLeavesGridAndDatasetOnOneRow)
{
    ComplaintsPage complaints(context);
    const QString insert = QStringLiteral("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_KOD, "
                                          "TABLE_SKARGA_TEXT) VALUES (%1, '-', '00101', ?)");
    sql(insert, {{"Перша"}, {"Друга"}}, "TABLE_SKARGA");
    DeliverQueued();
    auto *memo = child<QPlainTextEdit>(complaints, "DBMemo1");
    const auto datasetText = [this] {
        ServiceLockGuard lock(ServiceLock());
        return context.danni.GPRS_TABL_SKARGA.field(QStringLiteral("TABLE_SKARGA_TEXT")).asText();
    };
    const auto datasetRow = [this] {
        ServiceLockGuard lock(ServiceLock());
        return context.danni.GPRS_TABL_SKARGA.recNo();
    };

    // A client complains from a web thread: the new rows are on their way to the grid when
    // the operator clicks "Перша" among the rows still shown.
    std::thread([&] { sql(insert, {{"Третя"}}, "TABLE_SKARGA"); }).join();
    complaints.grid()->setCurrentCell(1, 0);
    for (int delivered = 0; delivered < 2; ++delivered) {
        EXPECT_EQ(complaints.grid()->rowCount(), 3) << delivered;
        EXPECT_EQ(complaints.grid()->currentRow() + 1, datasetRow()) << delivered;
        EXPECT_EQ(memo->toPlainText(), datasetText()) << delivered;
        DeliverQueued();
    }

    // On rows that are current, the click moves the dataset, and the answer goes where
    // the memo shows.
    complaints.grid()->setCurrentCell(2, 0);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Перша"));
    prompt.answers = {true, true};
    child<QPlainTextEdit>(complaints, "RichEdit1")->setPlainText(QStringLiteral("Вибачте"));
    child<QPushButton>(complaints, "SpeedButton5")->click();
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_SKARGA_TEXT FROM TABLE_SKARGA WHERE TABLE_SKARGA_VIDPOV = '+'")),
              QStringLiteral("Перша"));
}

}  // namespace
