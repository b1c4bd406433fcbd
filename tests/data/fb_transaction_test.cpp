// fb::Transaction and fb::Attachment life cycles against an embedded database.

#include "support/fb_test_db.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FbTransactionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db_ = new kvtest::FbTestDb({"CREATE TABLE ORDERS (ID INTEGER NOT NULL PRIMARY KEY, NOTE VARCHAR(20))"});
    }
    static void TearDownTestSuite()
    {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override { db_->run({"DELETE FROM ORDERS"}); }

    static int countOrders(fb::Transaction &tr)
    {
        fb::Query q(tr);
        q.open("SELECT COUNT(*) AS N FROM ORDERS");
        return int(q.field("N").asInt());
    }
    static int committedOrders()
    {
        auto attachment = db_->connect();
        fb::Transaction tr(*attachment);
        return countOrders(tr);
    }

    static kvtest::FbTestDb *db_;
};

kvtest::FbTestDb *FbTransactionTest::db_ = nullptr;

}  // namespace

TEST_F(FbTransactionTest, StartsWithTheFirstStatement)
{
    auto attachment = db_->connect();
    fb::Transaction tr(*attachment);
    EXPECT_FALSE(tr.active());
    EXPECT_EQ(&tr.attachment(), attachment.get());
    fb::Query q(tr);
    q.execute("INSERT INTO ORDERS VALUES (1, 'a')");
    EXPECT_TRUE(tr.active());
    tr.commit();
    EXPECT_FALSE(tr.active());
    EXPECT_THROW(tr.commit(), fb::Error);  // nothing to commit
    tr.commitIfActive();                    // fine
    tr.rollback();                          // nothing to roll back: fine
    q.open("SELECT * FROM ORDERS");         // a new transaction
    EXPECT_TRUE(tr.active());
    tr.commitIfActive();
    EXPECT_FALSE(tr.active());
    EXPECT_EQ(committedOrders(), 1);
}

TEST_F(FbTransactionTest, CommitClosesOpenQueries)
{
    auto attachment = db_->connect();
    fb::Transaction tr(*attachment);
    fb::Query insert(tr);
    insert.execute("INSERT INTO ORDERS VALUES (1, 'a')");
    fb::Query a(tr);
    fb::Query b(tr);
    a.open("SELECT * FROM ORDERS");
    b.open("SELECT * FROM ORDERS");
    EXPECT_TRUE(a.isOpen());
    EXPECT_TRUE(b.isOpen());
    {
        fb::Query gone(tr);  // registers and unregisters itself
        gone.open("SELECT * FROM ORDERS");
    }
    tr.commit();
    EXPECT_FALSE(a.isOpen());
    EXPECT_FALSE(b.isOpen());
    EXPECT_EQ(a.recordCount(), 0);
    EXPECT_TRUE(a.eof());
    a.open("SELECT * FROM ORDERS");
    EXPECT_EQ(a.recordCount(), 1);
    tr.rollback();
    EXPECT_FALSE(a.isOpen());
}

TEST_F(FbTransactionTest, SnapshotIsolation)
{
    auto attachment = db_->connect();
    fb::Transaction writer(*attachment);
    fb::Transaction reader(*attachment);
    EXPECT_EQ(countOrders(reader), 0);  // the reader's snapshot starts here

    fb::Query q(writer);
    q.execute("INSERT INTO ORDERS VALUES (1, 'new')");
    EXPECT_EQ(countOrders(writer), 1);
    EXPECT_EQ(countOrders(reader), 0);  // uncommitted: invisible
    writer.commit();
    EXPECT_EQ(countOrders(reader), 0);  // committed after the snapshot began: still invisible
    reader.commit();
    EXPECT_EQ(countOrders(reader), 1);  // a new statement, a new snapshot
}

TEST_F(FbTransactionTest, DestructionRollsBack)
{
    auto attachment = db_->connect();
    {
        fb::Transaction tr(*attachment);
        fb::Query q(tr);
        q.execute("INSERT INTO ORDERS VALUES (1, 'lost')");
        EXPECT_TRUE(tr.active());
    }
    EXPECT_EQ(committedOrders(), 0);
    {
        fb::Transaction tr(*attachment);
        fb::Query q(tr);
        q.execute("INSERT INTO ORDERS VALUES (2, 'lost too')");
        tr.rollback();
        EXPECT_FALSE(tr.active());
        q.execute("INSERT INTO ORDERS VALUES (3, 'kept')");
        tr.commit();
    }
    EXPECT_EQ(committedOrders(), 1);
}

TEST_F(FbTransactionTest, ClosingTheAttachmentEndsItsTransactions)
{
    auto attachment = db_->connect();
    fb::Transaction tr(*attachment);
    fb::Query q(tr);
    q.execute("INSERT INTO ORDERS VALUES (1, 'x')");
    q.open("SELECT * FROM ORDERS");
    attachment->close();  // rolls back instead of failing with an active transaction
    EXPECT_FALSE(attachment->isOpen());
    EXPECT_FALSE(tr.active());
    EXPECT_FALSE(q.isOpen());
    EXPECT_THROW(q.open("SELECT * FROM ORDERS"), fb::Error);
    attachment->close();  // again: nothing happens
    EXPECT_EQ(committedOrders(), 0);

    attachment->open(db_->params());  // the same objects work again
    q.execute("INSERT INTO ORDERS VALUES (2, 'y')");
    tr.commit();
    EXPECT_EQ(committedOrders(), 1);
}

TEST_F(FbTransactionTest, AttachmentDestroyedBeforeTransaction)
{
    auto attachment = db_->connect();
    auto tr = std::make_unique<fb::Transaction>(*attachment);
    auto q = std::make_unique<fb::Query>(*tr);
    q->execute("INSERT INTO ORDERS VALUES (1, 'x')");
    attachment.reset();
    EXPECT_FALSE(tr->active());
    EXPECT_THROW(q->execute("INSERT INTO ORDERS VALUES (2, 'y')"), fb::Error);
    q.reset();
    tr.reset();  // no crash
    EXPECT_EQ(committedOrders(), 0);
}

TEST(FbAttachment, CreateOpenClose)
{
    kvtest::TempDir dir;
    fb::ConnectParams params{dir.filePath("NEW.FDB"), "SYSDBA", "masterkey"};
    fb::Attachment::createDatabase(params, 16384, "WIN1251");
    EXPECT_TRUE(QFileInfo::exists(params.database));
    EXPECT_THROW(fb::Attachment::createDatabase(params, 16384, "WIN1251"), fb::Error);  // exists

    fb::Attachment attachment;
    EXPECT_FALSE(attachment.isOpen());
    attachment.open(params);
    EXPECT_TRUE(attachment.isOpen());
    {
        fb::Transaction tr(attachment);
        fb::Query q(tr);
        q.open("SELECT d.MON$PAGE_SIZE AS PAGE_SIZE, d.MON$SQL_DIALECT AS DIALECT, "
               "TRIM(r.RDB$CHARACTER_SET_NAME) AS CHARSET, "
               "(SELECT TRIM(c.RDB$CHARACTER_SET_NAME) FROM MON$ATTACHMENTS a JOIN RDB$CHARACTER_SETS c "
               "  ON c.RDB$CHARACTER_SET_ID = a.MON$CHARACTER_SET_ID "
               "  WHERE a.MON$ATTACHMENT_ID = CURRENT_CONNECTION) AS CONNECTION_CHARSET "
               "FROM MON$DATABASE d CROSS JOIN RDB$DATABASE r");
        EXPECT_EQ(q.field("PAGE_SIZE").asInt(), 16384);
        EXPECT_EQ(q.field("DIALECT").asInt(), 3);
        EXPECT_EQ(q.field("CHARSET").asText(), QString("WIN1251"));
        EXPECT_EQ(q.field("CONNECTION_CHARSET").asText(), QString("WIN1251"));
    }
    attachment.close();
    EXPECT_FALSE(attachment.isOpen());
    attachment.close();
    attachment.open(params);
    EXPECT_TRUE(attachment.isOpen());
}

TEST(FbAttachment, FailuresBecomeErrors)
{
    kvtest::TempDir dir;
    fb::Attachment attachment;
    try {
        attachment.open({dir.filePath("MISSING.FDB"), "SYSDBA", "masterkey"});
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("MISSING.FDB")) << e.text().toStdString();
    }
    EXPECT_FALSE(attachment.isOpen());
    EXPECT_THROW(fb::Attachment::createDatabase({dir.filePath("no/such/dir/X.FDB"), "SYSDBA", "x"}, 8192, "WIN1251"),
                 fb::Error);
    fb::Transaction tr(attachment);
    fb::Query q(tr);
    EXPECT_THROW(q.open("SELECT 1 FROM RDB$DATABASE"), fb::Error);
}
