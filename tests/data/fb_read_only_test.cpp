// fb::Query::openReadOnly: the shared read-committed transaction and the kept statements.

#include "support/fb_test_db.h"

#include <gtest/gtest.h>

namespace {

class FbReadOnlyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db_ = new kvtest::FbTestDb({"CREATE TABLE KLIENT (ID INTEGER NOT NULL PRIMARY KEY, DODATKOVO VARCHAR(40))"});
    }
    static void TearDownTestSuite()
    {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override { db_->run({"DELETE FROM KLIENT"}); }

    static QString lastId(fb::Query &q, const QString &piece)
    {
        q.openReadOnly("SELECT ID FROM KLIENT WHERE DODATKOVO LIKE '%' || ? || '%' ORDER BY ID", {piece});
        q.last();
        return q.field(0).asText();
    }

    static kvtest::FbTestDb *db_;
};

kvtest::FbTestDb *FbReadOnlyTest::db_ = nullptr;

}  // namespace

TEST_F(FbReadOnlyTest, EveryReadSeesWhatOthersCommittedBeforeIt)
{
    auto attachment = db_->connect();
    fb::Transaction tr(*attachment);
    fb::Query q(tr);
    EXPECT_EQ(lastId(q, "[00220]"), "");
    EXPECT_FALSE(tr.active());  // nothing started for the query's own transaction

    db_->exec("INSERT INTO KLIENT VALUES (1, 'x [00220] y')");
    EXPECT_EQ(lastId(q, "[00220]"), "1");
    db_->exec("UPDATE KLIENT SET ID = 7 WHERE ID = 1");
    EXPECT_EQ(lastId(q, "[00220]"), "7");

    // The same statement with a text of another length, and the first one again.
    db_->exec("INSERT INTO KLIENT VALUES (2, '[1]')");
    EXPECT_EQ(lastId(q, "[1]"), "2");
    EXPECT_EQ(lastId(q, "[00220]"), "7");

    // A write of the same connection is seen once committed; the commit closes the query.
    fb::Query writer(tr);
    writer.execute("DELETE FROM KLIENT WHERE ID = 7");
    tr.commit();
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(lastId(q, "[00220]"), "");
}

TEST_F(FbReadOnlyTest, WritesAndFailuresLeaveTheReaderUsable)
{
    db_->exec("INSERT INTO KLIENT VALUES (1, 'kept')");
    auto attachment = db_->connect();
    fb::Transaction tr(*attachment);
    fb::Query q(tr);
    EXPECT_THROW(q.openReadOnly("DELETE FROM KLIENT"), fb::Error);
    EXPECT_THROW(q.openReadOnly("SELECT ID FROM KLIENT WHERE ID = ?", {"not a number"}), fb::Error);
    EXPECT_THROW(q.openReadOnly("SELECT NOPE FROM KLIENT"), fb::Error);
    q.openReadOnly("SELECT DODATKOVO FROM KLIENT WHERE ID = ?", {1});
    EXPECT_EQ(q.field("DODATKOVO").asText(), "kept");

    // Closing frees the kept statements and the reader; the attachment opens again.
    attachment->close();
    EXPECT_THROW(q.openReadOnly("SELECT ID FROM KLIENT"), fb::Error);
    attachment->open(db_->params());
    q.openReadOnly("SELECT DODATKOVO FROM KLIENT WHERE ID = ?", {1});
    EXPECT_EQ(q.recordCount(), 1);
}
