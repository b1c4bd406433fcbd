// The in-memory client list against the statements it stands in for, on the same rows
// of a real KLIENT table, and its reader thread against changes made meanwhile.

#include "data/client_list_reader.h"
#include "data/like_pattern.h"
#include "support/fb_test_db.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>
#include <memory>

namespace {

const QStringList kTable = {QStringLiteral(
    "CREATE TABLE KLIENT (KLIENT_NUMBER INTEGER NOT NULL PRIMARY KEY, KLIENT_DODATKOVO VARCHAR(500), "
    "KLIENT_FIO VARCHAR(100), KLIENT_ADRESS VARCHAR(200), KLIENT_TELEFON VARCHAR(50), KLIENT_BALANS DOUBLE PRECISION, "
    "KLIENT_ZNIZHKA DOUBLE PRECISION, KLIENT_KIL_VIKLIK INTEGER, KLIENT_KIL_FREE_VIKLIK INTEGER, "
    "KLIENT_DATA_NARODZENNIA DATE)")};

// Codes as the dispatchers write them, with remarks around, twice, unclosed, nested
// brackets and none; telephones with the LIKE wildcards and separators in them.
const char *const kRows[][3] = {
    {"1", "[00220]", "0501234567"},
    {"2", "старий [00220] постійний", "0671112233"},
    {"3", "[00221][00222]", "050-123"},
    {"4", nullptr, nullptr},
    {"5", "[[00223]", "5%0_1"},
    {"6", "[0022]", "0501234567"},
    {"7", "[00224", "(050) 1234567"},
    {"8", "[ 00225 ]", "%"},
    {"9", "", ""},
};

class ClientListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto &row : kRows) {
            const auto text = [](const char *value) { return value ? fb::Param(QString::fromUtf8(value)) : fb::Param(nullptr); };
            db.exec(QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO, KLIENT_FIO, KLIENT_TELEFON, "
                                   "KLIENT_KIL_VIKLIK) VALUES (?, ?, ?, ?, ?)"),
                    {QString::fromLatin1(row[0]).toLongLong(), text(row[1]), QStringLiteral("Клієнт ") + QLatin1String(row[0]),
                     text(row[2]), QString::fromLatin1(row[0]).toLongLong() * 10});
        }
        attachment = db.connect();
        transaction = std::make_unique<fb::Transaction>(*attachment);
        list = std::make_unique<ClientList>(ClientListReader::ReadAll(*transaction));
    }

    QStringList numbersBySql(const QString &where, const fb::Params &params)
    {
        fb::Query query(*transaction);
        query.openReadOnly(QStringLiteral("SELECT KLIENT_FIO FROM KLIENT WHERE ") + where, params);
        QStringList names;
        for (const auto &row : query.rows())
            names << fb::valueText(row[0]);
        return names;
    }

    kvtest::FbTestDb db{kTable};
    std::unique_ptr<fb::Attachment> attachment;
    std::unique_ptr<fb::Transaction> transaction;
    std::unique_ptr<ClientList> list;
};

TEST_F(ClientListTest, PiecesFindTheRowsTheCodeStatementFinds)
{
    for (const char *piece : {"[00220]", "[00221]", "[00222]", "[00223]", "[0022]", "[00224]", "[ 00225 ]", "[99999]",
                              "[]", "[[00223]"}) {
        const QString text = QString::fromUtf8(piece);
        const std::optional<std::vector<int>> rows = list->withPiece(text);
        ASSERT_TRUE(rows) << piece;
        QStringList names;
        for (const int row : *rows)
            names << list->rows()[size_t(row)].fio;
        EXPECT_EQ(names, numbersBySql(QStringLiteral("KLIENT_DODATKOVO LIKE '%' || ? || '%'"), {text})) << piece;
    }
}

TEST_F(ClientListTest, TelephoneCountsAreThoseOfTheLiteralStatement)
{
    const QString escape = QString::fromLatin1(kLikeEscape);
    for (const char *telephone : {"0501234567", "050", "123", "5%0_1", "%", "_", "50", "", "9", "1234567", "06711122334"})
        for (const char *piece : {"", "[00220]", "[0022]", "[00223]"}) {
            const QString text = QString::fromUtf8(telephone);
            const std::optional<int> count = list->countWithTelephone(text, QString::fromUtf8(piece));
            ASSERT_TRUE(count) << telephone << piece;
            QString where = QStringLiteral("KLIENT_TELEFON LIKE '%' || ? || '%'") + escape;
            fb::Params params{LikeLiteral(text)};
            if (*piece) {
                where += QStringLiteral(" AND KLIENT_DODATKOVO LIKE '%' || ? || '%'");
                params.emplace_back(QString::fromUtf8(piece));
            }
            EXPECT_EQ(*count, numbersBySql(where, params).size()) << telephone << " " << piece;
        }
}

TEST_F(ClientListTest, TextsWhoseCaseTheDatabaseMayIgnoreAreLeftToIt)
{
    EXPECT_FALSE(list->withPiece(QStringLiteral("[abc]")));
    EXPECT_FALSE(list->withPiece(QStringLiteral("[кот]")));
    EXPECT_FALSE(list->withPiece(QStringLiteral("00220")));
    EXPECT_FALSE(list->withPiece(QStringLiteral("[00]220]")));
    EXPECT_FALSE(list->countWithTelephone(QStringLiteral("050abc")));
    EXPECT_FALSE(list->countWithTelephone(QStringLiteral("050"), QStringLiteral("[x]")));
}

// Waits for the reader to publish what `seen` expects; false after a generous while.
bool eventually(const ClientListReader &reader, const std::function<bool(const ClientList &)> &seen)
{
    for (int i = 0; i < 1000; ++i) {
        const std::shared_ptr<const ClientList> list = reader.current();
        if (list && seen(*list))
            return true;
        QThread::msleep(20);
    }
    return false;
}

const ClientRecord *withCode(const ClientList &list, const char *piece)
{
    const std::optional<std::vector<int>> rows = list.withPiece(QString::fromLatin1(piece));
    return rows && !rows->empty() ? &list.rows()[size_t(rows->back())] : nullptr;
}

TEST_F(ClientListTest, TheReaderSeesInsertsUpdatesAndDeletions)
{
    ClientListReader reader;
    std::atomic<int> reports = 0;
    reader.start(db.params(), std::chrono::milliseconds(50), [&reports](const QString &) { ++reports; });
    ASSERT_TRUE(eventually(reader, [](const ClientList &list) { return list.rows().size() == std::size(kRows); }));

    db.exec(QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO, KLIENT_FIO, KLIENT_KIL_FREE_VIKLIK) "
                           "VALUES (10, '[00310]', 'Новий', 2)"));
    EXPECT_TRUE(eventually(reader, [](const ClientList &list) { return withCode(list, "[00310]"); }));

    db.exec(QStringLiteral("UPDATE KLIENT SET KLIENT_KIL_FREE_VIKLIK = 3 WHERE KLIENT_NUMBER = 10"));
    EXPECT_TRUE(eventually(reader, [](const ClientList &list) {
        const ClientRecord *client = withCode(list, "[00310]");
        return client && client->kilFreeViklik == QStringLiteral("3");
    }));

    db.exec(QStringLiteral("DELETE FROM KLIENT WHERE KLIENT_NUMBER = 10"));
    EXPECT_TRUE(eventually(reader, [](const ClientList &list) { return !withCode(list, "[00310]"); }));

    reader.stop();
    EXPECT_FALSE(reader.current());
    EXPECT_EQ(reports, 0);
}

TEST_F(ClientListTest, AReaderWithoutItsDatabaseSaysSoOnceAndKeepsNoList)
{
    ClientListReader reader;
    std::mutex mutex;
    QStringList reports;
    fb::ConnectParams params = db.params();
    params.database += QStringLiteral(".missing");
    reader.start(params, std::chrono::milliseconds(20), [&](const QString &line) {
        std::lock_guard lock(mutex);
        reports << line;
    });
    for (int i = 0; i < 500; ++i) {
        {
            std::lock_guard lock(mutex);
            if (!reports.isEmpty())
                break;
        }
        QThread::msleep(20);
    }
    QThread::msleep(200);  // several more failed reads
    reader.stop();
    EXPECT_EQ(reports.size(), 1);
    EXPECT_FALSE(reader.current());
}

}  // namespace
