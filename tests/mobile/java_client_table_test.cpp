#include "mobile/java_client_table.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kStart(QDate(2026, 3, 1), QTime(12, 0, 0));

TEST(JavaClientTable, SlotsAreTakenFirstFreeFirstAndFoundFirstMatchFirst)
{
    JavaClientTable table;
    table.reset(3, kStart);
    ASSERT_EQ(table.take(QStringLiteral("10.0.0.1"), kStart, 10), &table.at(0));
    ASSERT_EQ(table.take(QStringLiteral("10.0.0.2"), kStart, 10), &table.at(1));
    JavaClientTable::release(table.at(0), kStart);
    EXPECT_EQ(table.take(QStringLiteral("10.0.0.3"), kStart, 10), &table.at(0));
    EXPECT_EQ(table.take(QStringLiteral("10.0.0.2"), kStart, 10), &table.at(2));
    EXPECT_EQ(table.take(QStringLiteral("10.0.0.4"), kStart, 10), nullptr);
    EXPECT_EQ(table.find(QStringLiteral("10.0.0.2")), &table.at(1));
    EXPECT_EQ(table.find(QString()), nullptr);
}

TEST(JavaClientTable, TakingAndReleasingSetTheirFieldsAndKeepTheOthers)
{
    JavaClientTable table;
    table.reset(1, kStart);
    TTableJavaClient &slot = table.at(0);
    slot.FIO = QStringLiteral("Іваненко");
    slot.CountActiveZam = 2;
    slot.CountInput = 4;
    slot.StatusZam = QStringLiteral("<CountActiveZam>2</CountActiveZam>");
    slot.ReadBuffer = "left";
    slot.NumZam = 9;

    const QDateTime later = kStart.addSecs(30);
    table.take(QStringLiteral("10.0.0.1"), later, 10);
    EXPECT_EQ(slot.CodClient, QStringLiteral("0"));
    EXPECT_TRUE(slot.ReadBuffer.isEmpty());
    EXPECT_EQ(slot.TimeVhid, later);
    EXPECT_EQ(slot.TimeVihid, later.addSecs(600));
    EXPECT_EQ(slot.NumZam, 0);
    EXPECT_EQ(slot.FIO, QStringLiteral("Іваненко"));
    EXPECT_EQ(slot.CountActiveZam, 2);
    EXPECT_EQ(slot.CountInput, 4);
    EXPECT_FALSE(slot.StatusZam.isEmpty());

    slot.CodClient = QStringLiteral("220");
    slot.Coded = true;
    const QDateTime end = kStart.addSecs(90);
    JavaClientTable::release(slot, end);
    EXPECT_TRUE(slot.IP.isEmpty());
    EXPECT_EQ(slot.CodClient, QStringLiteral("0"));
    EXPECT_EQ(slot.TimeVhid, end);
    EXPECT_EQ(slot.TimeVihid, end);
    EXPECT_EQ(slot.CountInput, 0);
    EXPECT_FALSE(slot.Coded);
    EXPECT_TRUE(slot.StatusZam.isEmpty());
    EXPECT_EQ(slot.CountActiveZam, 2);
    EXPECT_EQ(slot.FIO, QStringLiteral("Іваненко"));
}

TEST(JavaClientTable, ACodeOtherThanZeroOrBlankIsALogin)
{
    TTableJavaClient slot;
    EXPECT_FALSE(slot.loggedIn());
    for (const char *code : {"", " ", "0", " 0\r\n"}) {
        slot.CodClient = QString::fromLatin1(code);
        EXPECT_FALSE(slot.loggedIn()) << code;
    }
    for (const char *code : {"220", "00", " 7 ", "abc"}) {
        slot.CodClient = QString::fromLatin1(code);
        EXPECT_TRUE(slot.loggedIn()) << code;
    }
}

}  // namespace
