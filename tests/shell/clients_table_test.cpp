// The clients table window's logic on real databases, driven through the prompt
// interface as the window drives it.

#include "../common/qt_print.h"
#include "operator_tables.h"
#include "shell/clients_table.h"

namespace {

using Column = ClientColumn;

class ClientsTableTest : public kvtest::OperatorTablesTest {
protected:
    void SetUp() override
    {
        OperatorTablesTest::SetUp();
        sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, "
            "TABLE_KLIENT_BAN, TABLE_KLIENT_POVID, TABLE_KLIENT_DODAT) VALUES (%1, ?, ?, ?, ?, ?, ?)",
            {{"00120", "o'k", "0671112233", "+", "Привіт", nullptr},
             {"00312", "pass", "0501234567", "-", nullptr, "VIP"},
             {"5%12", "p_1", "(067) 111", "+", "Знижка 50%", nullptr},
             {"5_12", "p1", "0671112233", "-", nullptr, "вул. Лесі"},
             {"00777", "x", "0990000000", nullptr, nullptr, nullptr}},
            "TABLE_KLIENT");
        table.FormShow();
    }
    // The codes the grid shows, in its order.
    QString shown()
    {
        ServiceLockGuard lock(ServiceLock());
        const GridSnapshot grid = context.danni.Snapshot(TDANI::Grid::Klient);
        QStringList codes;
        for (const QStringList &row : grid.rows)
            codes << row.value(grid.columns.indexOf(QStringLiteral("TABLE_KLIENT_KOD")));
        return codes.join(u'|');
    }
    void select(const QString &code)
    {
        const QStringList codes = shown().split(u'|');
        choose(TDANI::Grid::Klient, int(codes.indexOf(code)) + 1);
        table.GPRS_TABL_KLIENTAfterScroll();
        ASSERT_EQ(table.selection().code, code);
    }
    ClientEdit current() const
    {
        const ClientSelection &s = table.selection();
        return {s.password, s.telephone, s.banned, s.banDate, s.banTime, s.message, s.extra};
    }
    // The stored columns of an account, from the password on.
    QString row(const QString &code)
    {
        return column("SELECT TABLE_KLIENT_PASS || '|' || TABLE_KLIENT_TELEF || '|' || TABLE_KLIENT_BAN || '|' || "
                      "COALESCE(TABLE_KLIENT_DATBAN || ' ' || TABLE_KLIENT_TIMEBAN, '-') || '|' || "
                      "COALESCE(TABLE_KLIENT_POVID, '-') || '|' || COALESCE(TABLE_KLIENT_DODAT, '-') "
                      "FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = '" + code + "'");
    }
    ClientsTable table{context};
};

struct FilterCase {
    const char *name;
    std::vector<std::pair<Column, QString>> ticked;
    const char *codes;
};

TEST_F(ClientsTableTest, FiltersMatchTypedTextLiterally)
{
    const QString tooLong(600, u'ж');
    const std::vector<FilterCase> cases = {
        {"code and ban", {{Column::Code, "12"}, {Column::Ban, "+"}}, "00120|5%12"},
        {"empty code matches every coded account", {{Column::Code, ""}}, "00120|00312|00777|5%12|5_12"},
        {"percent is no wildcard", {{Column::Code, "%"}}, "5%12"},
        {"underscore is no wildcard", {{Column::Code, "_"}}, "5_12"},
        {"quote", {{Column::Password, "o'k"}}, "00120"},
        {"Cyrillic message", {{Column::Message, "Привіт"}}, "00120"},
        {"telephone and additional data", {{Column::Telephone, "0671112233"}, {Column::Extra, "Лесі"}}, "5_12"},
        {"empty ban is skipped", {{Column::Ban, ""}, {Column::Extra, "VIP"}}, "00312"},
        {"longer than the column", {{Column::Message, tooLong}}, ""},
        {"characters the database cannot hold", {{Column::Extra, QStringLiteral("VIP 😀")}}, ""},
        {"percent in a message", {{Column::Message, "50%"}}, "5%12"},
    };
    for (const FilterCase &c : cases) {
        ClientFilters filters;
        for (const auto &[column, text] : c.ticked)
            filters[size_t(column)] = {true, text};
        table.search(filters);
        EXPECT_EQ(shown(), QString::fromUtf8(c.codes)) << c.name;
    }
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    table.SpeedButton10Click();
    EXPECT_EQ(shown(), QStringLiteral("00120|00312|00777|5%12|5_12"));
    EXPECT_EQ(table.suggestions(Column::Code, QStringLiteral("%")), QStringList{QStringLiteral("5%12")});
    EXPECT_EQ(table.suggestions(Column::Telephone, QStringLiteral("067")),
              (QStringList{QStringLiteral("(067) 111"), QStringLiteral("0671112233")}));
}

TEST_F(ClientsTableTest, EditsAreCheckedBeforeAskingAndRefusedWholly)
{
    select(QStringLiteral("00120"));
    const QString before = row(QStringLiteral("00120"));
    const QDate tomorrow = QDate::currentDate().addDays(1);

    struct Refused {
        const char *name;
        std::function<void(ClientEdit &)> change;
        const char *message;
    };
    const std::vector<Refused> refused = {
        {"password over its column", [](ClientEdit &e) { e.password = QStringLiteral("12345678901"); }, "Пароль довше"},
        {"telephone over its column", [](ClientEdit &e) { e.telephone = QString(31, u'7'); }, "Телефон довше"},
        {"empty password", [](ClientEdit &e) { e.password.clear(); }, "пароль або телефон нульове значення"},
        {"ban already over", [](ClientEdit &e) { e.banDate = QDate::currentDate().addDays(-1); }, "вже минув"},
        {"emoji in a memo", [](ClientEdit &e) { e.extra = QStringLiteral("🚕"); }, "Windows-1251"},
    };
    for (const Refused &r : refused) {
        prompt.messages.clear();
        prompt.questions.clear();
        ClientEdit edit = current();
        edit.banDate = tomorrow;
        r.change(edit);
        table.editSelected(edit);
        ASSERT_EQ(prompt.messages.size(), 1) << r.name;
        EXPECT_TRUE(prompt.messages.front().contains(QString::fromUtf8(r.message))) << r.name;
        EXPECT_TRUE(prompt.questions.isEmpty()) << r.name;
        EXPECT_EQ(row(QStringLiteral("00120")), before) << r.name;
    }

    // A ban set here, then saved again untouched, keeps its day and time.
    prompt.messages.clear();
    prompt.answers = {true, true, true, false};
    ClientEdit edit = current();
    edit.banDate = tomorrow;
    edit.banTime = QTime(9, 30);
    edit.message = QStringLiteral("Рядок один\nРядок два") + QString(600, u'ї');
    table.editSelected(edit);
    table.editSelected(current());
    const QString banned = row(QStringLiteral("00120"));
    EXPECT_TRUE(banned.startsWith(QStringLiteral("o'k|0671112233|+|%1 09:30:00.0000|Рядок один\r\nРядок дваїїї")
                                      .arg(tomorrow.toString(QStringLiteral("yyyy-MM-dd")))))
        << banned.toStdString();
    EXPECT_EQ(banned.section(u'|', 4, 4).size(), 500);
    EXPECT_EQ(table.selection().banDate, tomorrow);

    // Unticking the ban and emptying the memo clears the ban's columns and stores null.
    edit = current();
    edit.banned = false;
    edit.message.clear();
    table.editSelected(edit);
    EXPECT_EQ(row(QStringLiteral("00120")), QStringLiteral("o'k|0671112233|-|-|-|-"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // No to the delete question keeps the account; the grid stays on its row.
    table.deleteSelected();
    EXPECT_EQ(shown(), QStringLiteral("00120|00312|00777|5%12|5_12"));
    select(QStringLiteral("00777"));
    prompt.answers = {true};
    table.deleteSelected();
    EXPECT_EQ(shown(), QStringLiteral("00120|00312|5%12|5_12"));
    EXPECT_EQ(table.selection().code, QStringLiteral("5%12"));
}

TEST_F(ClientsTableTest, BanPickersOfferAnEndThatCanBeSavedAndShowAStoredBanAsStored)
{
    sql("UPDATE TABLE_KLIENT SET TABLE_KLIENT_DATBAN = ?, TABLE_KLIENT_TIMEBAN = ? WHERE TABLE_KLIENT_KOD = '5%12'",
        {{QDate(2031, 1, 2), QTime(7, 8, 9)}});
    table.SpeedButton10Click();
    const QDateTime now = QDateTime::currentDateTime();
    const struct {
        const char *code;
        bool banned;
        QDateTime end;
    } cases[] = {
        {"00312", false, now.addDays(1)},                        // no ban: this time tomorrow
        {"00777", false, now.addDays(1)},                        // no ban flag at all
        {"5%12", true, QDateTime(QDate(2031, 1, 2), QTime(7, 8, 9))},  // as stored
        {"00120", true, now},                                    // a ban without its day and time
    };
    for (const auto &c : cases) {
        select(QString::fromUtf8(c.code));
        const ClientSelection &s = table.selection();
        EXPECT_EQ(s.banned, c.banned) << c.code;
        EXPECT_LE(qAbs(QDateTime(s.banDate, s.banTime).secsTo(c.end)), 60) << c.code;
    }

    // Ticking the box and saving at once bans the account until tomorrow.
    select(QStringLiteral("00312"));
    prompt.answers = {true};
    ClientEdit edit = current();
    edit.banned = true;
    table.editSelected(edit);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(row(QStringLiteral("00312")).section(u'|', 2, 3).left(12),
              QStringLiteral("+|") + QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
}

TEST_F(ClientsTableTest, LiftedBansReachTheShownGridAndTheEditPanel)
{
    ClientFilters filters;
    filters[size_t(Column::Ban)] = {true, QStringLiteral("+")};
    table.search(filters);
    select(QStringLiteral("5%12"));
    sql("UPDATE TABLE_KLIENT SET TABLE_KLIENT_DATBAN = ?, TABLE_KLIENT_TIMEBAN = ? WHERE TABLE_KLIENT_BAN = '+'",
        {{QDate::currentDate().addDays(-1), QTime(12, 0)}});
    {
        ServiceLockGuard lock(ServiceLock());
        context.danni.ReleaseExpiredBans();
    }
    settle();
    EXPECT_EQ(shown(), QString());
    EXPECT_FALSE(table.selection().any);
    EXPECT_EQ(table.selection().code, kNotSet);
}

}  // namespace
