// fb::valueText, fb::Field conversions, fb::Error: no database needed.

#include "data/fb.h"

#include <gtest/gtest.h>

TEST(FbValues, RegionalText)
{
    EXPECT_EQ(fb::valueText(fb::Value{}), QString());
    EXPECT_EQ(fb::valueText(qint64(-42)), QString("-42"));
    EXPECT_EQ(fb::valueText(47.415), QString("47,415"));
    EXPECT_EQ(fb::valueText(30.0), QString("30"));
    EXPECT_EQ(fb::valueText(QString("abc")), QString("abc"));
    EXPECT_EQ(fb::valueText(QDate(2024, 1, 5)), QString("05.01.2024"));
    EXPECT_EQ(fb::valueText(QTime(7, 8, 9)), QString("07:08:09"));
    EXPECT_EQ(fb::valueText(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))), QString("31.12.2024 23:59:58"));
}

TEST(FbValues, FieldNumbers)
{
    EXPECT_EQ(fb::Field("A", qint64(7)).asInt(), 7);
    EXPECT_EQ(fb::Field("A", 7.6).asInt(), 8);
    EXPECT_EQ(fb::Field("A", QString(" 12 ")).asInt(), 12);
    EXPECT_EQ(fb::Field("A", QString("12,5")).asDouble(), 12.5);
    EXPECT_EQ(fb::Field("A", QString("12.5")).asDouble(), 12.5);
    EXPECT_EQ(fb::Field("A", qint64(3)).asDouble(), 3.0);
    EXPECT_EQ(fb::Field("A", fb::Value{}).asInt(), 0);
    EXPECT_EQ(fb::Field("A", fb::Value{}).asDouble(), 0.0);
    EXPECT_TRUE(fb::Field("A", fb::Value{}).isNull());
    EXPECT_EQ(fb::Field("A", fb::Value{}).asText(), QString());
    EXPECT_THROW(fb::Field("A", QString("abc")).asInt(), fb::Error);
    EXPECT_THROW(fb::Field("A", QString("")).asInt(), fb::Error);
    EXPECT_THROW(fb::Field("A", QString("1x")).asDouble(), fb::Error);
    EXPECT_THROW(fb::Field("A", QDate(2024, 1, 1)).asInt(), fb::Error);
    try {
        fb::Field("SUMMA", QString("много")).asDouble();
        FAIL();
    } catch (const fb::Error &e) {
        EXPECT_TRUE(e.text().contains("SUMMA"));
        EXPECT_TRUE(e.text().contains("много"));
    }
}

TEST(FbValues, FieldDatesAndTimes)
{
    const QDate date(2024, 3, 8);
    const QTime time(13, 45, 10);
    const QDateTime moment(date, time);
    EXPECT_EQ(fb::Field("D", date).asDate(), date);
    EXPECT_EQ(fb::Field("D", moment).asDate(), date);
    EXPECT_EQ(fb::Field("D", QString("08.03.2024")).asDate(), date);
    EXPECT_EQ(fb::Field("D", QString("08.03.2024 13:45:10")).asDate(), date);
    EXPECT_EQ(fb::Field("T", time).asTime(), time);
    EXPECT_EQ(fb::Field("T", moment).asTime(), time);
    EXPECT_EQ(fb::Field("T", QString("13:45:10")).asTime(), time);
    EXPECT_EQ(fb::Field("TS", moment).asDateTime(), moment);
    EXPECT_EQ(fb::Field("TS", date).asDateTime(), QDateTime(date, QTime(0, 0)));
    EXPECT_EQ(fb::Field("TS", QString("08.03.2024 13:45:10")).asDateTime(), moment);
    EXPECT_EQ(fb::Field("TS", QString("08.03.2024")).asDateTime(), QDateTime(date, QTime(0, 0)));
    EXPECT_FALSE(fb::Field("D", fb::Value{}).asDate().isValid());
    EXPECT_FALSE(fb::Field("D", QString("")).asDate().isValid());
    EXPECT_THROW(fb::Field("D", QString("yesterday")).asDate(), fb::Error);
    EXPECT_THROW(fb::Field("T", qint64(5)).asTime(), fb::Error);
    EXPECT_THROW(fb::Field("TS", QString("31.02.2024 10:00:00")).asDateTime(), fb::Error);
}

TEST(FbValues, ErrorKeepsUnicode)
{
    const fb::Error error(QString("Ошибка: €"));
    EXPECT_EQ(error.text(), QString("Ошибка: €"));
}

TEST(FbValues, ParamsHoldTheirTypes)
{
    EXPECT_TRUE(std::holds_alternative<std::monostate>(fb::Param(nullptr).value()));
    EXPECT_EQ(std::get<qint64>(fb::Param(5).value()), 5);
    EXPECT_EQ(std::get<QString>(fb::Param("Ёж").value()), QString("Ёж"));
}
