// The framework's date-time value: day counts from 30 December 1899 and spans between times.
#include "framework/ole_date_time.h"

#include <gtest/gtest.h>

namespace {

std::tm Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(COleDateTime, DayCountsFromTheEpoch) {
    EXPECT_DOUBLE_EQ(COleDateTime::FromLocalTime(Local(1899, 12, 30)).m_dt, 0.0);
    EXPECT_DOUBLE_EQ(COleDateTime::FromLocalTime(Local(1900, 1, 1)).m_dt, 2.0);
    EXPECT_DOUBLE_EQ(COleDateTime::FromLocalTime(Local(2000, 1, 1)).m_dt, 36526.0);
    EXPECT_DOUBLE_EQ(COleDateTime::FromLocalTime(Local(2000, 3, 1)).m_dt, 36586.0); // leap year
    EXPECT_DOUBLE_EQ(COleDateTime::FromLocalTime(Local(1999, 12, 6, 18)).m_dt, 36500.75);
}

TEST(COleDateTime, SpanIsInDaysAndZeroWhenEitherIsInvalid) {
    const COleDateTime start = COleDateTime::FromLocalTime(Local(2026, 12, 31, 23, 59, 50));
    const COleDateTime end = COleDateTime::FromLocalTime(Local(2027, 1, 1, 0, 0, 5));
    EXPECT_NEAR((end - start) * 86400.0, 15.0, 1e-6);
    EXPECT_EQ(end - COleDateTime(0.0, COleDateTime::invalid), 0.0);
    EXPECT_EQ(COleDateTime(5.0, COleDateTime::null) - start, 0.0);
    EXPECT_EQ(COleDateTime::FromLocalTime(Local(99, 1, 1)).m_status, COleDateTime::invalid);
}

TEST(COleDateTime, CurrentTimeIsValidAndRecent) {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    ASSERT_EQ(now.m_status, COleDateTime::valid);
    EXPECT_GT(now.m_dt, COleDateTime::FromLocalTime(Local(2020, 1, 1)).m_dt);
}

} // namespace
