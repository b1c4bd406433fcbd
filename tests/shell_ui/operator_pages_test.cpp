// The requests and complaints pages, offscreen, over real databases: what the operator
// sees and what the buttons do.

#include "operator_tables.h"
#include "ui_test_support.h"

#include "shell/ui/complaints_page.h"
#include "shell/ui/operator_grid.h"
#include "shell/ui/requests_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using namespace kvtest;

class OperatorPagesTest : public OperatorTablesTest {
protected:
    template <class W> W *child(const QWidget &page, const char *name)
    {
        auto *found = page.findChild<W *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const QWidget &page, const char *name) { return child<QLineEdit>(page, name)->text(); }
    bool enabled(const QWidget &page, const char *name) { return child<QPushButton>(page, name)->isEnabled(); }
    void click(const QWidget &page, const char *name)
    {
        child<QPushButton>(page, name)->click();
        DeliverQueued();
    }
    static void choose(OperatorGrid *grid, int row)
    {
        grid->setCurrentCell(row, 0);
        DeliverQueued();
    }
};

TEST_F(OperatorPagesTest, RequestsPageComparesAndCreatesTheAccount)
{
    context.settings.POVID_PRI_CREAT_ACCAUNT = QStringLiteral("Вітаємо вас у системі замовлень");
    RequestsPage page(context);
    std::vector<ClientSearch> searches;
    QObject::connect(&page, &RequestsPage::clientsRequested, [&](const ClientSearch &s) { searches.push_back(s); });
    EXPECT_FALSE(enabled(page, "SpeedButton11"));
    EXPECT_FALSE(enabled(page, "SpeedButton12"));

    account(QStringLiteral("00102"), QStringLiteral("p"), QStringLiteral("0671112233"));
    request(QStringLiteral("00101"), QStringLiteral("one"), QStringLiteral("0500000001"), QStringLiteral("примітка"));
    request(QStringLiteral("00102"), QStringLiteral("two"), QStringLiteral("0671112233"), QString());
    refresh(TDANI::Grid::Zayavki);
    DeliverQueued();
    ASSERT_EQ(page.grid()->rowCount(), 2);
    EXPECT_EQ(page.grid()->item(0, 3)->text(), QStringLiteral("00101"));
    EXPECT_EQ(text(page, "Edit23"), QStringLiteral("00101"));
    EXPECT_EQ(text(page, "Edit28"), QStringLiteral("примітка"));
    EXPECT_EQ(text(page, "Edit15"), QStringLiteral("Коваленко Олена Петрівна"));
    EXPECT_TRUE(enabled(page, "SpeedButton35"));
    EXPECT_FALSE(enabled(page, "SpeedButton11"));

    choose(page.grid(), 1);
    EXPECT_EQ(text(page, "Edit25"), QStringLiteral("two"));
    EXPECT_FALSE(enabled(page, "SpeedButton35"));
    click(page, "SpeedButton11");
    click(page, "SpeedButton12");
    EXPECT_EQ(searches, (std::vector<ClientSearch>{{ClientSearch::Field::Code, QStringLiteral("00102")},
                                                   {ClientSearch::Field::Telephone, QStringLiteral("0671112233")}}));

    choose(page.grid(), 0);
    click(page, "SpeedButton17");
    EXPECT_EQ(text(page, "Edit26"), QStringLiteral("Вітаємо вас у системі замовлень"));
    prompt.answers = {true};
    click(page, "SpeedButton35");
    EXPECT_EQ(page.grid()->rowCount(), 1);
    EXPECT_EQ(text(page, "Edit23"), QStringLiteral("00102"));
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = '00101'")),
              QStringLiteral("Вітаємо вас у системі замовлень"));
    // The personal message stays for the next account.
    EXPECT_EQ(text(page, "Edit26"), QStringLiteral("Вітаємо вас у системі замовлень"));
    click(page, "SpeedButton16");
    EXPECT_EQ(text(page, "Edit26"), QString());
}

TEST_F(OperatorPagesTest, ComplaintsPageShowsTheTextAndSendsTheAnswer)
{
    ComplaintsPage page(context);
    account(QStringLiteral("00101"), QStringLiteral("p"), QStringLiteral("0500000001"));
    complaint(QStringLiteral("00101"), QStringLiteral("Водій запізнився"));
    complaint(QStringLiteral("00101"), QStringLiteral("Дякую за поїздку"), "+");
    complaint(QStringLiteral("00101"), QStringLiteral("Брудне авто"));
    refresh(TDANI::Grid::Skarga);
    DeliverQueued();
    auto *memo = child<QPlainTextEdit>(page, "DBMemo1");
    ASSERT_EQ(page.grid()->rowCount(), 2);
    EXPECT_EQ(page.grid()->item(0, 0)->text(), QStringLiteral("3"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Брудне авто"));
    choose(page.grid(), 1);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Водій запізнився"));

    child<QPlainTextEdit>(page, "RichEdit1")->setPlainText(QStringLiteral("Вибачте,\nводія покарано"));
    prompt.answers = {true, true};
    click(page, "SpeedButton5");
    EXPECT_EQ(column(QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT")),
              QStringLiteral("Вибачте,\r\nводія покарано"));
    ASSERT_EQ(page.grid()->rowCount(), 1);
    EXPECT_EQ(page.grid()->item(0, 0)->text(), QStringLiteral("3"));

    child<QCheckBox>(page, "CheckBox10")->click();
    DeliverQueued();
    EXPECT_EQ(page.grid()->rowCount(), 3);
    prompt.answers = {true};
    click(page, "SpeedButton6");
    EXPECT_EQ(child<QPlainTextEdit>(page, "RichEdit1")->toPlainText(), QString());
}

}  // namespace
