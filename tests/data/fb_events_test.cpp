// fb::EventListener with the embedded engine (which delivers events within the process).

#include "support/fb_test_db.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// Collects handler calls (made on another thread) and lets the test wait for them.
class Recorder {
public:
    fb::EventListener::Handler handler()
    {
        return [this](const QString &event, unsigned count) {
            std::lock_guard lock(mutex_);
            counts_[event] += count;
            ++calls_;
            changed_.notify_all();
        };
    }
    // Waits until `event` has been counted at least `count` times in all.
    bool waitFor(const QString &event, unsigned count, std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return counts_[event] >= count; });
    }
    unsigned count(const QString &event)
    {
        std::lock_guard lock(mutex_);
        return counts_[event];
    }
    int calls()
    {
        std::lock_guard lock(mutex_);
        return calls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<QString, unsigned> counts_;
    int calls_ = 0;
};

class FbEventsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db_ = new kvtest::FbTestDb({
            "CREATE TABLE ZAKAZ (ID INTEGER NOT NULL PRIMARY KEY)",
            "CREATE TRIGGER ZAKAZ_AI FOR ZAKAZ AFTER INSERT AS BEGIN POST_EVENT 'ZAKAZ_NEW'; END",
        });
    }
    static void TearDownTestSuite()
    {
        delete db_;
        db_ = nullptr;
    }

    // Posts events from another attachment, committed or rolled back.
    static void post(const QStringList &events, bool commit = true)
    {
        auto attachment = db_->connect();
        fb::Transaction tr(*attachment);
        fb::Query q(tr);
        QString block = "EXECUTE BLOCK AS BEGIN ";
        for (const QString &event : events)
            block += QString("POST_EVENT '%1'; ").arg(event);
        q.execute(block + "END");
        if (commit)
            tr.commit();
        else
            tr.rollback();
    }

    static kvtest::FbTestDb *db_;
};

kvtest::FbTestDb *FbEventsTest::db_ = nullptr;

}  // namespace

TEST_F(FbEventsTest, CommittedPostReachesHandler)
{
    auto attachment = db_->connect();
    Recorder recorder;
    fb::EventListener listener(*attachment, {"DRIVER_FREE", "ORDER_NEW"}, recorder.handler());

    post({"ORDER_NEW", "ORDER_NEW", "SOMETHING_ELSE"});
    ASSERT_TRUE(recorder.waitFor("ORDER_NEW", 2));
    EXPECT_EQ(recorder.count("ORDER_NEW"), 2u);
    EXPECT_EQ(recorder.count("DRIVER_FREE"), 0u);  // the first (priming) delivery is no event

    post({"DRIVER_FREE"});  // queued again after each delivery
    ASSERT_TRUE(recorder.waitFor("DRIVER_FREE", 1));
    post({"ORDER_NEW"});
    ASSERT_TRUE(recorder.waitFor("ORDER_NEW", 3));
    EXPECT_EQ(recorder.count("DRIVER_FREE"), 1u);
}

TEST_F(FbEventsTest, TriggerEventAfterCommitOnSameAttachment)
{
    auto attachment = db_->connect();
    Recorder recorder;
    fb::EventListener listener(*attachment, {"ZAKAZ_NEW"}, recorder.handler());
    fb::Transaction tr(*attachment);
    fb::Query q(tr);
    q.execute("INSERT INTO ZAKAZ VALUES (?)", {1});
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorder.count("ZAKAZ_NEW"), 0u);  // not before the commit
    tr.commit();
    ASSERT_TRUE(recorder.waitFor("ZAKAZ_NEW", 1));
    q.execute("DELETE FROM ZAKAZ");
    tr.commit();
}

TEST_F(FbEventsTest, RolledBackPostIsNotDelivered)
{
    auto attachment = db_->connect();
    Recorder recorder;
    fb::EventListener listener(*attachment, {"ROLLED_BACK", "MARKER"}, recorder.handler());
    post({"ROLLED_BACK"}, false);
    post({"MARKER"});
    ASSERT_TRUE(recorder.waitFor("MARKER", 1));
    EXPECT_EQ(recorder.count("ROLLED_BACK"), 0u);
}

TEST_F(FbEventsTest, NoHandlerCallAfterDestruction)
{
    auto attachment = db_->connect();
    auto recorder = std::make_shared<Recorder>();
    {
        fb::EventListener listener(*attachment, {"GONE"}, recorder->handler());
        post({"GONE"});
        ASSERT_TRUE(recorder->waitFor("GONE", 1));
    }
    const int calls = recorder->calls();
    post({"GONE"});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(recorder->calls(), calls);

    // many listeners come and go quickly while events are posted
    for (int i = 0; i < 5; ++i) {
        fb::EventListener listener(*attachment, {"GONE"}, recorder->handler());
        post({"GONE"});
    }
    const int later = recorder->calls();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorder->calls(), later);
}

TEST_F(FbEventsTest, AttachmentClosedFirst)
{
    Recorder recorder;
    auto attachment = db_->connect();
    auto listener = std::make_unique<fb::EventListener>(*attachment, QStringList{"CLOSED"}, recorder.handler());
    attachment->close();
    post({"CLOSED"});
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorder.count("CLOSED"), 0u);
    listener.reset();  // no crash

    attachment->open(db_->params());
    listener = std::make_unique<fb::EventListener>(*attachment, QStringList{"CLOSED"}, recorder.handler());
    attachment.reset();  // the attachment object goes first
    listener.reset();
}

TEST_F(FbEventsTest, ListenerNeedsAnOpenAttachmentAndNames)
{
    fb::Attachment closed;
    EXPECT_THROW(fb::EventListener(closed, {"X"}, [](const QString &, unsigned) {}), fb::Error);
    auto attachment = db_->connect();
    EXPECT_THROW(fb::EventListener(*attachment, {}, [](const QString &, unsigned) {}), fb::Error);
}
