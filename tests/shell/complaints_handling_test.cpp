// The operator's handling of complaints on real databases, driven through the prompt
// interface as the window drives it.

#include "../common/qt_print.h"
#include "operator_tables.h"
#include "shell/complaints_handling.h"

namespace {

using namespace kvtest;

class ComplaintsHandlingTest : public OperatorTablesTest {
protected:
    void SetUp() override
    {
        OperatorTablesTest::SetUp();
        account(QStringLiteral("00220"), QStringLiteral("a"), QStringLiteral("0501111111"));
        // Codes that would read as the same number, or as none at all.
        account(QStringLiteral("220"), QStringLiteral("b"), QStringLiteral("0502222222"));
        account(QStringLiteral("ab<c"), QStringLiteral("c"), QStringLiteral("0503333333"));
        complaint(QStringLiteral("00220"), QStringLiteral("перша"));
        complaint(QStringLiteral("00330"), QStringLiteral("друга, без акаунта"));
        complaint(QStringLiteral("220"), QStringLiteral("третя"), "+");
        complaint(QStringLiteral("220"), QStringLiteral("четверта"));
        refresh(TDANI::Grid::Skarga);
    }
    QString messages() { return column(QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT ORDER BY TABLE_KLIENT_NP")); }
    // The numbers the complaints grid shows, in its order.
    QString shown()
    {
        ServiceLockGuard lock(ServiceLock());
        const GridSnapshot grid = context.danni.Snapshot(TDANI::Grid::Skarga);
        const qsizetype number = grid.columns.indexOf(QStringLiteral("TABLE_SKARGA_NP"));
        QStringList numbers;
        for (const QStringList &row : grid.rows)
            numbers << row.value(number);
        return numbers.join(u'|');
    }
    QString handled() { return column(QStringLiteral("SELECT TABLE_SKARGA_VIDPOV FROM TABLE_SKARGA ORDER BY TABLE_SKARGA_NP")); }

    ComplaintsHandling complaints{context};
};

TEST_F(ComplaintsHandlingTest, TheAnswerReachesTheSenderAloneAndMarkingNeverDeletes)
{
    // Newest first, unhandled only.
    EXPECT_EQ(shown(), QStringLiteral("4|2|1"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("3"));

    // An empty answer, or No, changes nothing.
    complaints.SpeedButton5Click(QString());
    complaints.SpeedButton5Click(QStringLiteral("ні"));
    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("Відправити відповідь на вибрану скаргу ?")});
    EXPECT_EQ(messages(), QStringLiteral("<null>|<null>|<null>"));

    // Yes, then No to marking: the answer lands, cut to 500, compared as text; the
    // complaint stays unhandled.
    complaints.selectRow(3);
    prompt.questions.clear();
    prompt.answers = {true, false};
    const QString answer = QStringLiteral("Дякуємо, ") + QString(600, u'ж');
    complaints.SpeedButton5Click(answer);
    settle();
    EXPECT_EQ(prompt.questions, (QStringList{QStringLiteral("Відправити відповідь на вибрану скаргу ?"),
                                             QStringLiteral("ПОЗНАЧИТИ СКАРГУ ЯК ОПРАЦЬОВАНУ (дана відповідь)  ???")}));
    EXPECT_EQ(messages(), answer.left(500) + QStringLiteral("|<null>|<null>"));
    EXPECT_EQ(handled(), QStringLiteral("-|-|+|-"));

    // A newer complaint arrives while the operator reads the question: the answer still
    // goes to the complaint that was selected, and only that one is marked.
    complaints.selectRow(1);
    prompt.answers = {true, true};
    prompt.whileAsking = [this] {
        complaint(QStringLiteral("00220"), QStringLiteral("п'ята"));
        refresh(TDANI::Grid::Skarga);
    };
    complaints.SpeedButton5Click(QStringLiteral("Рядок один\nРядок два"));
    settle();
    EXPECT_EQ(messages(), answer.left(500) + QStringLiteral("|Рядок один\r\nРядок два|<null>"));
    EXPECT_EQ(handled(), QStringLiteral("-|-|+|+|-"));
    EXPECT_EQ(shown(), QStringLiteral("5|2|1"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("3"));

    // A sender without an account: the operator is told nobody gets it; it can still be marked.
    complaints.selectRow(2);
    prompt.answers = {true, true};
    complaints.SpeedButton5Click(QStringLiteral("Відповідь"));
    settle();
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("У таблиці клієнтів web сервіса немає клієнта з кодом [00330]: "
                                                          "відповідь не отримає ніхто.")});
    EXPECT_EQ(handled(), QStringLiteral("-|+|+|+|-"));
    EXPECT_EQ(shown(), QStringLiteral("5|1"));

    std::vector<ClientSearch> searches;
    QObject::connect(&complaints, &ComplaintsHandling::clientsRequested,
                     [&](const ClientSearch &search) { searches.push_back(search); });
    complaints.SpeedButton10Click();
    EXPECT_EQ(searches, (std::vector<ClientSearch>{{ClientSearch::Field::Code, QStringLiteral("00220")}}));

    // Marking handled hides complaints from the unhandled list; none is ever deleted.
    complaints.CheckBox10Click(true);
    settle();
    EXPECT_EQ(shown(), QStringLiteral("5|4|3|2|1"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("2"));
    complaints.CheckBox10Click(false);
    settle();
    EXPECT_EQ(shown(), QStringLiteral("5|1"));

    prompt.questions.clear();
    complaints.SpeedButton7Click();
    EXPECT_EQ(handled(), QStringLiteral("-|+|+|+|-"));
    complaints.selectRow(2);
    prompt.answers = {true};
    complaints.SpeedButton7Click();
    settle();
    EXPECT_EQ(shown(), QStringLiteral("5"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("1"));
    prompt.answers = {true};
    complaints.SpeedButton9Click();
    settle();
    EXPECT_EQ(shown(), QString());
    EXPECT_EQ(handled(), QStringLiteral("+|+|+|+|+"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("0"));
    EXPECT_EQ(prompt.questions,
              (QStringList{QStringLiteral("Знищити вибрану скаргу (поставити помітку опрацьованості) ?"),
                           QStringLiteral("Знищити вибрану скаргу (поставити помітку опрацьованості) ?"),
                           QStringLiteral("Очистити список скарг (поставити помітку опрацьованості) ?")}));

    // On an empty list nothing is asked.
    prompt.questions.clear();
    complaints.SpeedButton5Click(QStringLiteral("x"));
    complaints.SpeedButton7Click();
    complaints.SpeedButton9Click();
    complaints.SpeedButton10Click();
    EXPECT_TRUE(prompt.questions.isEmpty());
    EXPECT_EQ(searches.size(), 1u);
    EXPECT_FALSE(complaints.SpeedButton6Click());
    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("Очистити текст відповіді ?")});
}

}  // namespace
