// fb::Query against an embedded database: parameters, conversions, cursor, errors.

#include "support/fb_test_db.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const QStringList kSchema = {
    "CREATE TABLE KLIENT (ID INTEGER NOT NULL PRIMARY KEY, TABLE_KLIENT_KOD VARCHAR(10), "
    "NAME VARCHAR(40), CODE CHAR(5), NOTE BLOB SUB_TYPE TEXT, LEGACY VARCHAR(20) CHARACTER SET NONE)",
    "CREATE TABLE TYPES (ID INTEGER NOT NULL PRIMARY KEY, SI SMALLINT, I INTEGER, BI BIGINT, "
    "NUM NUMERIC(15,2), DCM DECIMAL(9,3), F FLOAT, DP DOUBLE PRECISION, C CHAR(5), VC VARCHAR(20), "
    "D DATE, T TIME, TS TIMESTAMP, B BOOLEAN, TXT BLOB SUB_TYPE TEXT)",
    "CREATE EXCEPTION E_CYR 'Заказ не найден'",
};

class FbQueryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db_ = new kvtest::FbTestDb(kSchema); }
    static void TearDownTestSuite()
    {
        delete db_;
        db_ = nullptr;
    }

    void SetUp() override
    {
        db_->run({"DELETE FROM KLIENT", "DELETE FROM TYPES"});
        attachment_ = db_->connect();
        transaction_ = std::make_unique<fb::Transaction>(*attachment_);
    }
    void TearDown() override
    {
        transaction_.reset();
        attachment_.reset();
    }

    fb::Transaction &tr() { return *transaction_; }

    void insertKlient(int id, const QString &kod, const QString &name)
    {
        fb::Query q(tr());
        q.execute("INSERT INTO KLIENT (ID, TABLE_KLIENT_KOD, NAME) VALUES (?, ?, ?)", {id, kod, name});
    }

    int count(const QString &sql, const fb::Params &params = {})
    {
        fb::Query q(tr());
        q.open(sql, params);
        return q.recordCount();
    }

    static kvtest::FbTestDb *db_;
    std::unique_ptr<fb::Attachment> attachment_;
    std::unique_ptr<fb::Transaction> transaction_;
};

kvtest::FbTestDb *FbQueryTest::db_ = nullptr;

template <class T>
const T &as(const fb::Field &field)
{
    EXPECT_TRUE(std::holds_alternative<T>(field.value())) << field.name().toStdString() << " has another type";
    static const T empty{};
    const T *value = std::get_if<T>(&field.value());
    return value ? *value : empty;
}

}  // namespace

TEST_F(FbQueryTest, ParametersOfEachTypeRoundTrip)
{
    const QDate date(2024, 2, 29);
    const QTime time(23, 59, 58, 123);
    const QDateTime moment(QDate(1999, 12, 31), QTime(1, 2, 3, 456));
    fb::Query q(tr());
    EXPECT_EQ(q.execute("INSERT INTO TYPES (ID, SI, I, BI, NUM, DCM, F, DP, C, VC, D, T, TS, TXT) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                        {1, -7, 2000000000, qint64(9000000000000000000LL), 12.34, 1.5, 0.1, 47.415, "ab", "text",
                         date, time, moment, "long text"}),
              1);
    q.open("SELECT * FROM TYPES WHERE ID = ?", {1});
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(as<qint64>(q.field("SI")), -7);
    EXPECT_EQ(as<qint64>(q.field("I")), 2000000000);
    EXPECT_EQ(as<qint64>(q.field("BI")), 9000000000000000000LL);
    EXPECT_DOUBLE_EQ(as<double>(q.field("NUM")), 12.34);
    EXPECT_EQ(q.field("NUM").asText(), QString("12,34"));
    EXPECT_DOUBLE_EQ(as<double>(q.field("DCM")), 1.5);
    EXPECT_EQ(as<double>(q.field("F")), 0.1);  // REAL shown as its shortest decimal
    EXPECT_EQ(as<double>(q.field("DP")), 47.415);
    EXPECT_EQ(as<QString>(q.field("C")), QString("ab   "));  // CHAR keeps its padding
    EXPECT_EQ(as<QString>(q.field("VC")), QString("text"));
    EXPECT_EQ(as<QDate>(q.field("D")), date);
    EXPECT_EQ(as<QTime>(q.field("T")), time);
    EXPECT_EQ(as<QDateTime>(q.field("TS")), moment);
    EXPECT_EQ(as<QString>(q.field("TXT")), QString("long text"));
    EXPECT_EQ(q.field("TS").asText(), QString("31.12.1999 01:02:03"));
    EXPECT_EQ(q.field("D").asText(), QString("29.02.2024"));
}

TEST_F(FbQueryTest, ExpressionTypes)
{
    fb::Query q(tr());
    q.open("SELECT TRUE AS IS_TRUE, FALSE AS IS_FALSE, CAST(12.34 AS NUMERIC(4,2)) AS SMALL_NUM, "
           "CAST(-98765.4321 AS NUMERIC(18,4)) AS BIG_NUM, CAST(5 AS SMALLINT) AS SI, "
           "CAST('2024-05-06 07:08:09.5' AS TIMESTAMP) AS TS, 1.5e0 * 2 AS DBL, 7 / 2 AS INT_DIV "
           "FROM RDB$DATABASE");
    EXPECT_EQ(as<qint64>(q.field("IS_TRUE")), 1);
    EXPECT_EQ(as<qint64>(q.field("IS_FALSE")), 0);
    EXPECT_DOUBLE_EQ(as<double>(q.field("SMALL_NUM")), 12.34);
    EXPECT_EQ(q.field("BIG_NUM").asText(), QString("-98765,4321"));
    EXPECT_EQ(as<qint64>(q.field("SI")), 5);
    EXPECT_EQ(as<QDateTime>(q.field("TS")), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 500)));
    EXPECT_EQ(as<double>(q.field("DBL")), 3.0);
    EXPECT_EQ(as<qint64>(q.field("INT_DIV")), 3);
}

TEST_F(FbQueryTest, TextParametersConvertToOtherColumnTypes)
{
    fb::Query q(tr());
    q.execute("INSERT INTO TYPES (ID, I, NUM, DP, D, TS) VALUES (?, ?, ?, ?, ?, ?)",
              {"2", "15", "3.25", "2.5", "15.01.2024", "2024-01-15 10:20:30"});
    q.open("SELECT I, NUM, D, TS FROM TYPES WHERE ID = 2");
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("I").asInt(), 15);
    EXPECT_DOUBLE_EQ(q.field("NUM").asDouble(), 3.25);
    EXPECT_EQ(q.field("D").asDate(), QDate(2024, 1, 15));
    EXPECT_EQ(q.field("TS").asDateTime(), QDateTime(QDate(2024, 1, 15), QTime(10, 20, 30)));

    // comparisons, as Firebird converts a string to the column's type
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE I = ?", {"15"}), 1);
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE I = ?", {"16"}), 0);
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE D = ?", {"15.01.2024"}), 1);
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE D = ?", {"2024-01-15"}), 1);
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE D < ?", {"01.01.2024"}), 0);
    // ...and refuses what is no number, as Firebird does
    EXPECT_THROW(count("SELECT * FROM TYPES WHERE I = ?", {"abc"}), fb::Error);
}

TEST_F(FbQueryTest, NumbersComparedWithTextColumns)
{
    insertKlient(1, "42", "Answer");
    insertKlient(2, "042", "Padded");
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {42}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {43}), 0);
    // The number is converted to the parameter's type, the column's VARCHAR(10), as in
    // any Firebird client: a wider number fails the conversion (texts do not, see
    // TooLongComparisonValueMatchesNothing).
    EXPECT_THROW(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {qint64(12345678901234LL)}), fb::Error);
    fb::Query q(tr());
    q.execute("INSERT INTO KLIENT (ID, TABLE_KLIENT_KOD, NAME) VALUES (?, ?, ?)", {3, 7, 2.5});
    q.open("SELECT TABLE_KLIENT_KOD, NAME FROM KLIENT WHERE ID = 3");
    EXPECT_EQ(q.field("TABLE_KLIENT_KOD").asText(), QString("7"));
    EXPECT_EQ(q.field("NAME").asDouble(), 2.5);
}

TEST_F(FbQueryTest, NullsRoundTrip)
{
    fb::Query q(tr());
    q.execute("INSERT INTO TYPES (ID, SI, I, BI, NUM, F, DP, C, VC, D, T, TS, B, TXT) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
              {3, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, QDate(), QTime(),
               QDateTime(), nullptr, nullptr});
    q.open("SELECT * FROM TYPES WHERE ID = 3");
    ASSERT_EQ(q.recordCount(), 1);
    for (int i = 1; i < q.fieldCount(); ++i) {
        EXPECT_TRUE(q.field(i).isNull()) << q.fieldNames()[i].toStdString();
        EXPECT_EQ(q.field(i).asText(), QString());
    }
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE ID = 3 AND VC IS NOT DISTINCT FROM ?", {nullptr}), 1);
    EXPECT_EQ(count("SELECT * FROM TYPES WHERE VC = ?", {nullptr}), 0);
    q.open("SELECT CAST(NULL AS INTEGER) AS X, NULL AS Y FROM RDB$DATABASE");
    EXPECT_TRUE(q.field("X").isNull());
    EXPECT_TRUE(q.field("Y").isNull());
}

TEST_F(FbQueryTest, TooLongComparisonValueMatchesNothing)
{
    insertKlient(1, "K-1", "First");
    insertKlient(2, "0123456789", "Full width");
    const QString tooLong = QString("0123456789").repeated(4);  // 40 characters against VARCHAR(10)
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {tooLong}), 0);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {"0123456789"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ? OR NAME = ?", {tooLong, "First"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD IN (?, ?)", {tooLong, "K-1"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD <> ?", {tooLong}), 2);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE CODE = ?", {"TOO LONG FOR CHAR 5"}), 0);
    fb::Query q(tr());
    EXPECT_EQ(q.execute("DELETE FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {tooLong}), 0);
    EXPECT_EQ(q.execute("UPDATE KLIENT SET NAME = ? WHERE TABLE_KLIENT_KOD = ?", {"y", tooLong}), 0);
    // an empty text is a valid value too
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {""}), 0);
}

TEST_F(FbQueryTest, LikeAndFriendsWork)
{
    insertKlient(1, "AB1", "Иванов");
    insertKlient(2, "AB2", "Петров");
    insertKlient(3, "XY3", "Сидоров");
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD LIKE ?", {"AB%"}), 2);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD LIKE ?", {"%3"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD LIKE ?", {QString("A").repeated(30) + "%"}), 0);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE NAME LIKE ?", {"%ов"}), 3);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE NAME STARTING WITH ?", {"Пет"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE NAME CONTAINING ?", {"ИДОР"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE UPPER(NAME) = UPPER(?)", {"иванов"}), 1);
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD || ? = ?", {"-", "AB1-"}), 1);
}

TEST_F(FbQueryTest, InsertOfFittingValueWorksAndTooLongFails)
{
    fb::Query q(tr());
    EXPECT_EQ(q.execute("INSERT INTO KLIENT (ID, TABLE_KLIENT_KOD) VALUES (?, ?)", {1, "0123456789"}), 1);
    q.open("SELECT TABLE_KLIENT_KOD FROM KLIENT WHERE ID = 1");
    EXPECT_EQ(q.field("TABLE_KLIENT_KOD").asText(), QString("0123456789"));
    try {
        q.execute("INSERT INTO KLIENT (ID, TABLE_KLIENT_KOD) VALUES (?, ?)", {2, "0123456789A"});
        FAIL() << "a value longer than its column must not be stored";
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("truncation")) << e.text().toStdString();
    }
    EXPECT_THROW(q.execute("UPDATE KLIENT SET TABLE_KLIENT_KOD = ? WHERE ID = 1", {"0123456789AB"}), fb::Error);
    EXPECT_EQ(count("SELECT * FROM KLIENT"), 1);
}

TEST_F(FbQueryTest, QuotesInValuesReachColumnsUnchanged)
{
    const QStringList values = {"O'Brien", "' OR '1'='1", "x'; DELETE FROM KLIENT; --", "\"quoted\" ?", "back\\slash"};
    for (int i = 0; i < values.size(); ++i)
        insertKlient(i + 1, QString::number(i), values[i]);
    insertKlient(100, "other", "Other");
    for (int i = 0; i < values.size(); ++i) {
        fb::Query q(tr());
        q.open("SELECT ID, NAME FROM KLIENT WHERE NAME = ?", {values[i]});
        ASSERT_EQ(q.recordCount(), 1) << values[i].toStdString();
        EXPECT_EQ(q.field("ID").asInt(), i + 1);
        EXPECT_EQ(q.field("NAME").asText(), values[i]);
    }
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE TABLE_KLIENT_KOD = ?", {"' OR '1'='1"}), 0);
    EXPECT_EQ(count("SELECT * FROM KLIENT"), values.size() + 1);
}

TEST_F(FbQueryTest, CyrillicRoundTrip)
{
    const QString name = "Водитель Ёлкин №7 «такси»";
    const QString note = QString("Примечание: подъезд 3, код домофона 45#. ").repeated(20);
    fb::Query q(tr());
    q.execute("INSERT INTO KLIENT (ID, NAME, CODE, NOTE, LEGACY) VALUES (?, ?, ?, ?, ?)",
              {1, name, "Ёж", note, "Старое поле"});
    q.execute("INSERT INTO KLIENT (ID, NAME) VALUES (2, 'Литерал в тексте запроса')");
    q.open("SELECT NAME, CODE, NOTE, LEGACY FROM KLIENT WHERE NAME = ?", {name});
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("NAME").asText(), name);
    EXPECT_EQ(q.field("CODE").asText(), QString("Ёж   "));
    EXPECT_EQ(q.field("NOTE").asText(), note);
    EXPECT_EQ(q.field("LEGACY").asText(), QString("Старое поле"));
    EXPECT_EQ(count("SELECT * FROM KLIENT WHERE LEGACY = ?", {"Старое поле"}), 1);
    q.open("SELECT NAME, 'ещё' AS WORD, CHAR_LENGTH(NAME) AS LEN FROM KLIENT WHERE ID = 2");
    EXPECT_EQ(q.field("NAME").asText(), QString("Литерал в тексте запроса"));
    EXPECT_EQ(q.field("WORD").asText(), QString("ещё"));
    EXPECT_EQ(q.field("LEN").asInt(), 24);
}

TEST_F(FbQueryTest, LongTextGoesIntoBlob)
{
    const QString text = QString("Длинный текст новостей. ").repeated(3000);  // ~72 000 bytes
    fb::Query q(tr());
    q.execute("INSERT INTO KLIENT (ID, NOTE) VALUES (?, ?)", {1, text});
    q.open("SELECT NOTE FROM KLIENT WHERE ID = 1");
    EXPECT_EQ(q.field("NOTE").asText(), text);
    q.execute("UPDATE KLIENT SET NOTE = ? WHERE ID = 1", {"короткий"});
    q.open("SELECT NOTE FROM KLIENT WHERE ID = 1");
    EXPECT_EQ(q.field("NOTE").asText(), QString("короткий"));
}

TEST_F(FbQueryTest, ColumnNamesAndFieldLookup)
{
    insertKlient(1, "K", "Name");
    fb::Query q(tr());
    q.open("SELECT id, name AS client_name, \"TABLE_KLIENT_KOD\" AS \"MixedCase\", COUNT(*) FROM KLIENT "
           "GROUP BY 1, 2, 3");
    EXPECT_EQ(q.fieldNames(), QStringList({"ID", "CLIENT_NAME", "MixedCase", "COUNT"}));
    EXPECT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.field("client_name").asText(), QString("Name"));
    EXPECT_EQ(q.field("Client_Name").name(), QString("CLIENT_NAME"));
    EXPECT_EQ(q.field("mixedcase").asText(), QString("K"));
    EXPECT_EQ(q.field(3).asInt(), 1);
    EXPECT_THROW(q.field("NO_SUCH_FIELD"), fb::Error);
    EXPECT_THROW(q.field(4), fb::Error);
    EXPECT_THROW(q.field(-1), fb::Error);
}

TEST_F(FbQueryTest, CursorMovesLikeADataset)
{
    for (int i = 1; i <= 3; ++i)
        insertKlient(i, QString::number(i), QString("N%1").arg(i));
    fb::Query q(tr());
    q.open("SELECT ID FROM KLIENT ORDER BY ID");
    EXPECT_TRUE(q.isOpen());
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_FALSE(q.isEmpty());
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.field("ID").asInt(), 1);

    q.next();
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_FALSE(q.bof());
    q.next();
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_FALSE(q.eof());
    q.next();  // past the end: eof, stays on the last row
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_EQ(q.field("ID").asInt(), 3);
    q.prior();
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.recNo(), 2);
    q.prior();
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_FALSE(q.bof());
    q.prior();  // before the start: bof, stays on the first row
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recNo(), 1);

    q.last();
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_TRUE(q.eof());
    EXPECT_FALSE(q.bof());
    q.first();
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    q.moveBy(2);
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_FALSE(q.eof());
    q.moveBy(-1);
    EXPECT_EQ(q.recNo(), 2);
    q.moveBy(10);
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_TRUE(q.eof());
    q.moveBy(-10);
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_TRUE(q.bof());

    // the usual loop
    QList<qint64> ids;
    for (q.first(); !q.eof(); q.next())
        ids << q.field("ID").asInt();
    EXPECT_EQ(ids, QList<qint64>({1, 2, 3}));
    ids.clear();
    for (q.last(); !q.bof(); q.prior())
        ids << q.field("ID").asInt();
    EXPECT_EQ(ids, QList<qint64>({3, 2, 1}));
    EXPECT_EQ(q.rows().size(), 3u);

    q.close();
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(q.recordCount(), 0);
}

TEST_F(FbQueryTest, EmptyResult)
{
    fb::Query q(tr());
    q.open("SELECT ID, NAME FROM KLIENT WHERE ID = ?", {999});
    EXPECT_TRUE(q.isOpen());
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.fieldNames(), QStringList({"ID", "NAME"}));
    EXPECT_TRUE(q.field("NAME").isNull());
    q.next();
    q.prior();
    q.last();
    q.moveBy(3);
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_TRUE(q.eof() && q.bof());
}

TEST_F(FbQueryTest, ExecuteReportsAffectedRows)
{
    for (int i = 1; i <= 3; ++i)
        insertKlient(i, "K", "N");
    fb::Query q(tr());
    EXPECT_EQ(q.execute("UPDATE KLIENT SET NAME = ? WHERE ID > ?", {"M", 1}), 2);
    EXPECT_EQ(q.execute("UPDATE KLIENT SET NAME = ? WHERE ID > ?", {"M", 10}), 0);
    EXPECT_EQ(q.execute("DELETE FROM KLIENT"), 3);
    EXPECT_EQ(q.execute("EXECUTE BLOCK AS BEGIN END"), 0);
}

TEST_F(FbQueryTest, StatementKindsAndTheirMethods)
{
    fb::Query q(tr());
    EXPECT_THROW(q.execute("SELECT * FROM KLIENT"), fb::Error);
    EXPECT_THROW(q.execute("INSERT INTO KLIENT (ID) VALUES (1) RETURNING ID"), fb::Error);
    EXPECT_THROW(q.execute("COMMIT"), fb::Error);
    EXPECT_THROW(q.open("INSERT INTO KLIENT (ID) VALUES (1)"), fb::Error);
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(count("SELECT * FROM KLIENT"), 0);

    // RETURNING and EXECUTE BLOCK ... RETURNS give one row through open()
    q.open("INSERT INTO KLIENT (ID, NAME) VALUES (?, ?) RETURNING ID, NAME", {5, "Returned"});
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("ID").asInt(), 5);
    EXPECT_EQ(q.field("NAME").asText(), QString("Returned"));
    q.open("EXECUTE BLOCK (X VARCHAR(10) = ?) RETURNS (Y VARCHAR(20)) AS BEGIN Y = X || '!'; SUSPEND; END",
           {"hi"});
    EXPECT_EQ(q.field("Y").asText(), QString("hi!"));
    EXPECT_THROW(q.open("EXECUTE BLOCK (X VARCHAR(2) = ?) RETURNS (Y VARCHAR(20)) AS BEGIN Y = X; SUSPEND; END",
                        {"too long"}),
                 fb::Error);  // declared block parameters keep their width
    q.open("EXECUTE BLOCK (N INTEGER = ?) RETURNS (I INTEGER) AS BEGIN I = 0; "
           "WHILE (I < N) DO BEGIN I = I + 1; SUSPEND; END END",
           {4});
    EXPECT_EQ(q.recordCount(), 4);
    // a text parameter in the select list
    q.open("SELECT ? AS ECHO FROM RDB$DATABASE", {"эхо"});
    EXPECT_EQ(q.field("ECHO").asText(), QString("эхо"));
    // markers inside literals and comments are no parameters
    q.open("SELECT '?' AS Q FROM KLIENT /* ? */ WHERE NAME = ? -- ?\n", {"Returned"});
    EXPECT_EQ(q.field("Q").asText(), QString("?"));
}

TEST_F(FbQueryTest, ParameterCountMustMatch)
{
    fb::Query q(tr());
    EXPECT_THROW(q.open("SELECT * FROM KLIENT WHERE ID = ?"), fb::Error);
    EXPECT_THROW(q.open("SELECT * FROM KLIENT WHERE ID = ?", {1, 2}), fb::Error);
    EXPECT_THROW(q.execute("DELETE FROM KLIENT", {1}), fb::Error);
}

TEST_F(FbQueryTest, ErrorsBecomeFbErrorWithMessage)
{
    fb::Query q(tr());
    try {
        q.open("SELECT * FROM NO_SUCH_TABLE");
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("Table unknown")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("NO_SUCH_TABLE"));
    }
    insertKlient(1, "A", "B");
    try {
        insertKlient(1, "A", "B");
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("PRIMARY or UNIQUE KEY")) << e.text().toStdString();
    }
    try {
        q.execute("EXECUTE BLOCK AS BEGIN EXCEPTION E_CYR; END");
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("Заказ не найден")) << e.text().toStdString();
    }
    try {
        q.execute("EXECUTE BLOCK AS BEGIN EXCEPTION E_CYR 'Водитель ' || 'занят'; END");
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("Водитель занят")) << e.text().toStdString();
    }
    EXPECT_THROW(q.open("SELEKT 1 FROM RDB$DATABASE"), fb::Error);
    // the transaction is still usable after errors
    EXPECT_EQ(count("SELECT * FROM KLIENT"), 1);
}

// Databases of the old program have no default character set.
TEST(FbNoneCharsetDatabase, TextsRoundTripAndCompare)
{
    kvtest::FbTestDb db({"CREATE TABLE T (KOD VARCHAR(10), NAME VARCHAR(40))"}, "NONE", 4096);
    auto attachment = db.connect();
    fb::Transaction tr(*attachment);
    fb::Query q(tr);
    q.execute("INSERT INTO T VALUES (?, ?)", {"К-1", "Пассажир Ёлкин"});
    q.open("SELECT * FROM T WHERE KOD = ?", {"К-1"});
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field("NAME").asText(), QString("Пассажир Ёлкин"));
    q.open("SELECT * FROM T WHERE KOD = ?", {QString("Ж").repeated(40)});
    EXPECT_EQ(q.recordCount(), 0);
    q.open("SELECT * FROM T WHERE NAME LIKE ?", {"%Ёлкин"});
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_THROW(q.execute("INSERT INTO T (KOD) VALUES (?)", {QString("Ж").repeated(11)}), fb::Error);
}
