// The clients table window and the advert schedule window, offscreen, over real databases.

#include "operator_tables.h"
#include "ui_test_support.h"

#include "shell/ui/advert_schedule_page.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/clients_page.h"
#include "shell/ui/operator_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
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

void pressEnter(QComboBox *combo)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(combo->lineEdit(), &press);
}

TEST_F(OperatorWindowsTest, ClientsWindowSearchesEditsAndExports)
{
    sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, "
        "TABLE_KLIENT_BAN) VALUES (%1, ?, 'pass', ?, '-')",
        {{"00101", "0671112233"}, {"00220", "0501234567"}, {"10101", "0990000000"}}, "TABLE_KLIENT");
    TForm2 window(context);
    window.showClients({ClientSearch::Field::Code, QStringLiteral("0101")});
    DeliverQueued();
    EXPECT_EQ(window.clientsPage()->grid()->rowCount(), 2);
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), QStringLiteral("00101"));

    auto *code = child<QComboBox>(window, "ComboBox2");
    code->setEditText(QStringLiteral("220"));
    pressEnter(code);
    DeliverQueued();
    EXPECT_EQ(window.clientsPage()->grid()->rowCount(), 1);
    EXPECT_FALSE(child<QCheckBox>(window, "CheckBox2")->isChecked());

    TypeInto(child<QLineEdit>(window, "Edit1"), QStringLiteral("new'pass"));
    child<QCheckBox>(window, "CheckBox1")->setChecked(true);
    EXPECT_TRUE(child<QDateEdit>(window, "DateTimePicker1")->isVisible());
    child<QDateEdit>(window, "DateTimePicker1")->setDate(QDate::currentDate().addDays(3));
    child<QPlainTextEdit>(window, "Memo1")->setPlainText(QStringLiteral("Ви заблоковані"));
    prompt.answers = {true};
    child<QPushButton>(window, "SpeedButton3")->click();
    DeliverQueued();
    EXPECT_EQ(column("SELECT TABLE_KLIENT_PASS || TABLE_KLIENT_BAN || TABLE_KLIENT_POVID FROM TABLE_KLIENT "
                     "WHERE TABLE_KLIENT_KOD = '00220'"),
              QStringLiteral("new'pass+Ви заблоковані"));
    EXPECT_EQ(window.clientsPage()->grid()->item(0, 0)->text(), QStringLiteral("+"));

    child<QPushButton>(window, "SpeedButton9")->click();
    ASSERT_FALSE(prompt.messages.isEmpty());
    EXPECT_TRUE(prompt.messages.last().contains(QStringLiteral("TABLE_KLIENT"))) << prompt.messages.last().toStdString();
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("EXPORT"))).entryList(QDir::Files).size(), 1);

    window.close();
    ServiceLockGuard lock(ServiceLock());
    EXPECT_FALSE(context.danni.GPRS_TABL_KLIENT.isOpen());
}

TEST_F(OperatorWindowsTest, AdvertWindowCreatesEditsAndCounts)
{
    TForm3 window(context);
    window.showPage(TForm3::Page::Reklama);
    EXPECT_EQ(child<QLabel>(window, "SelectionTotal")->text(), QStringLiteral("0"));

    child<QComboBox>(window, "ComboBox1")->setEditText(QStringLiteral("Кав'ярня \"Ранок\""));
    TypeInto(child<QLineEdit>(window, "Edit2"), QStringLiteral("http://cafe.example"));
    child<QPlainTextEdit>(window, "Memo1")->setPlainText(QStringLiteral("Кава <b>100%</b>"));
    child<QCheckBox>(window, "CheckBox1")->setChecked(true);
    prompt.answers = {true, true};
    child<QToolButton>(window, "SpeedButton11")->click();
    DeliverQueued();
    EXPECT_EQ(window.schedulePage()->grid()->rowCount(), 1);
    EXPECT_TRUE(child<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
    EXPECT_EQ(child<QLabel>(window, "SelectionActive")->text(), QStringLiteral("1"));
    EXPECT_EQ(child<QLabel>(window, "ClientActive")->text(), QStringLiteral("1"));

    // Edit mode brings the row into the fields; the action saves what is changed there.
    child<QToolButton>(window, "SpeedButton9")->click();
    EXPECT_EQ(child<QToolButton>(window, "SpeedButton11")->text(), QStringLiteral("Дія РЕДАГУВАТИ"));
    EXPECT_EQ(child<QComboBox>(window, "ComboBox1")->currentText(), QStringLiteral("Кав'ярня \"Ранок\""));
    child<QCheckBox>(window, "CheckBox1")->setChecked(false);
    child<QToolButton>(window, "SpeedButton11")->click();
    DeliverQueued();
    EXPECT_EQ(column("SELECT TABLE_REK_ACTIV || TABLE_REK_TEXT FROM TABLE_REKLAMA"), QStringLiteral("-Кава <b>100%</b>"));
    EXPECT_EQ(child<QLabel>(window, "SelectionActive")->text(), QStringLiteral("0"));

    child<QToolButton>(window, "SpeedButton14")->click();
    EXPECT_FALSE(window.isVisible());
    ServiceLockGuard lock(ServiceLock());
    EXPECT_FALSE(context.danni.GPRS_TABL_REKLAMA.isOpen());
}

}  // namespace
