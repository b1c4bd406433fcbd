// The operator's handling of complaints on real databases, driven through the prompt
// interface as the window drives it.

#include "../common/qt_print.h"
#include "operator_tables.h"
#include "shell/complaints_handling.h"

namespace {

class ComplaintsHandlingTest : public kvtest::OperatorTablesTest {
protected:
    void complain(const std::vector<fb::Params> &rows)
    {
        sql("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_KOD) VALUES (%1, ?, ?)", rows,
            "TABLE_SKARGA");
    }
    // The numbers the complaints grid shows, in its order.
    QString shown()
    {
        ServiceLockGuard lock(ServiceLock());
        const GridSnapshot grid = context.danni.Snapshot(TDANI::Grid::Skarga);
        QStringList numbers;
        for (const QStringList &row : grid.rows)
            numbers << row.value(grid.columns.indexOf(QStringLiteral("TABLE_SKARGA_NP")));
        return numbers.join(u'|');
    }
    ComplaintsHandling handling{context};
};

TEST_F(ComplaintsHandlingTest, TheAnswerReachesTheSenderAloneAndHandledComplaintsStay)
{
    // Codes that read as the same number, or as none at all, belong to other accounts.
    sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD) VALUES (%1, ?)", {{"00220"}, {"220"}, {"ab<c"}},
        "TABLE_KLIENT");
    complain({{"-", "00220"}, {"-", "00330"}, {"+", "220"}, {"-", "220"}});
    EXPECT_EQ(shown(), QStringLiteral("4|2|1"));  // newest first, unhandled only

    choose(TDANI::Grid::Skarga, 3);
    prompt.answers = {true, false, true, true, true, true, true, true};
    const QString answer = QStringLiteral("Дякуємо, ") + QString(600, u'ж');
    handling.SpeedButton5Click(answer);
    // A newer complaint arrives while the operator reads the question: the answer still
    // goes to the one selected, and only that one is marked.
    choose(TDANI::Grid::Skarga, 1);
    prompt.whileAsking = [this] { complain({{"-", "00220"}}); };
    handling.SpeedButton5Click(QStringLiteral("Рядок один\nРядок два"));
    EXPECT_EQ(column("SELECT COALESCE(TABLE_KLIENT_POVID, '-') FROM TABLE_KLIENT ORDER BY TABLE_KLIENT_NP"),
              answer.left(500) + QStringLiteral("|Рядок один\r\nРядок два|-"));
    EXPECT_EQ(column("SELECT TABLE_SKARGA_VIDPOV FROM TABLE_SKARGA ORDER BY TABLE_SKARGA_NP"), QStringLiteral("-|-|+|+|-"));

    // No account has the code: the operator is told; the complaint can still be marked.
    choose(TDANI::Grid::Skarga, 2);
    handling.SpeedButton5Click(QStringLiteral("Відповідь"));
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("У таблиці клієнтів web сервіса немає клієнта з кодом [00330]: "
                                                          "відповідь не отримає ніхто.")});
    EXPECT_EQ(shown(), QStringLiteral("5|1"));
    std::vector<ClientSearch> searches;
    QObject::connect(&handling, &ComplaintsHandling::clientsRequested, [&](const ClientSearch &s) { searches.push_back(s); });
    handling.SpeedButton10Click();
    EXPECT_EQ(searches, (std::vector<ClientSearch>{{ClientSearch::Field::Code, QStringLiteral("00220")}}));

    handling.CheckBox10Click(true);
    EXPECT_EQ(shown(), QStringLiteral("5|4|3|2|1"));
    handling.CheckBox10Click(false);
    handling.SpeedButton7Click();
    EXPECT_EQ(shown(), QStringLiteral("5"));
    handling.SpeedButton9Click();
    EXPECT_EQ(column("SELECT COUNT(*) || MIN(TABLE_SKARGA_VIDPOV) FROM TABLE_SKARGA"), QStringLiteral("5+"));
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("0"));
    const QStringList asked = prompt.questions;
    handling.SpeedButton5Click(QStringLiteral("x"));
    handling.SpeedButton9Click();
    EXPECT_EQ(prompt.questions, asked);  // an empty list asks nothing
}

}  // namespace
