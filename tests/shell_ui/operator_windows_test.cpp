// The clients table window and the advert schedule window, offscreen, over real databases.

#include "operator_tables.h"
#include "ui_test_support.h"

#include "shell/ui/advert_schedule_page.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/clients_page.h"
#include "shell/ui/operator_grid.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using OperatorWindowsTest = kvtest::OperatorTablesTest;

template <class W> W *child(const QWidget &window, const char *name)
{
    W *found = window.findChild<W *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST_F(OperatorWindowsTest, ClientsWindowSearchesAndEdits)
{
    sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, "
        "TABLE_KLIENT_BAN) VALUES (%1, ?, 'pass', '067', '-')",
        {{"00101"}, {"00220"}, {"10101"}}, "TABLE_KLIENT");
    TForm2 window(context);
    window.showClients({ClientSearch::Field::Code, QStringLiteral("0101")});
    DeliverQueued();
    EXPECT_EQ(window.clientsPage()->grid()->rowCount(), 2);

    // Enter in a search box searches, and leaves the window open.
    auto *code = child<QComboBox>(window, "ComboBox2");
    code->setEditText(QStringLiteral("220"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(code->lineEdit(), &enter);
    DeliverQueued();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.clientsPage()->grid()->rowCount(), 1);

    TypeInto(child<QLineEdit>(window, "Edit1"), QStringLiteral("new'pass"));
    child<QPlainTextEdit>(window, "Memo1")->setPlainText(QStringLiteral("Вітаємо"));
    prompt.answers = {true};
    child<QPushButton>(window, "SpeedButton3")->click();
    EXPECT_EQ(column("SELECT TABLE_KLIENT_PASS || TABLE_KLIENT_POVID FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = '00220'"),
              QStringLiteral("new'passВітаємо"));

    window.close();
    ServiceLockGuard lock(ServiceLock());
    EXPECT_FALSE(context.danni.GPRS_TABL_KLIENT.isOpen());
}

TEST_F(OperatorWindowsTest, AdvertWindowCreatesAndCounts)
{
    TForm3 window(context);
    window.showPage(TForm3::Page::Reklama);
    child<QComboBox>(window, "ComboBox1")->setEditText(QStringLiteral("Кав'ярня \"Ранок\""));
    child<QPlainTextEdit>(window, "Memo1")->setPlainText(QStringLiteral("Кава <b>100%</b>"));
    prompt.answers = {true};
    child<QToolButton>(window, "SpeedButton11")->click();
    DeliverQueued();
    EXPECT_EQ(window.schedulePage()->grid()->rowCount(), 1);
    EXPECT_TRUE(child<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
    EXPECT_EQ(child<QLabel>(window, "SelectionTotal")->text(), QStringLiteral("1"));

    child<QToolButton>(window, "SpeedButton14")->click();
    EXPECT_FALSE(window.isVisible());
    ServiceLockGuard lock(ServiceLock());
    EXPECT_FALSE(context.danni.GPRS_TABL_REKLAMA.isOpen());
}

}  // namespace
