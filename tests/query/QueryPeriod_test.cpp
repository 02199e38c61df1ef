#include <gtest/gtest.h>

#include "query/QueryPeriod.h"

namespace {

struct PeriodCase {
    const char* name;
    QueryPeriod (*period)(const DateTimeValue&);
    DateTimeValue now;
    const char* from;
    const char* to;
};

class Periods : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(Periods, BoundsAreWholeDays) {
    const PeriodCase& c = GetParam();
    const QueryPeriod period = c.period(c.now);
    EXPECT_EQ(PeriodBoundText(period.from), c.from) << c.name;
    EXPECT_EQ(PeriodBoundText(period.to), c.to) << c.name;
    EXPECT_EQ(period.from.GetHour(), 0);
    EXPECT_EQ(period.from.GetMinute(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Periods,
    ::testing::Values(
        PeriodCase{"today", TodayPeriod, {2026, 12, 6, 14, 5}, "2026-12-06", "2026-12-07"},
        PeriodCase{"today, last of year",
                   TodayPeriod,
                   {2026, 12, 31, 23, 59, 59},
                   "2026-12-31",
                   "2027-01-01"},
        PeriodCase{"today at midnight", TodayPeriod, {2026, 3, 1}, "2026-03-01", "2026-03-02"},
        // 6 December 2026 is a Sunday: its own week starts that day.
        PeriodCase{"week on Sunday", WeekPeriod, {2026, 12, 6, 9}, "2026-12-06", "2026-12-13"},
        PeriodCase{"week on Saturday", WeekPeriod, {2026, 12, 12, 22}, "2026-12-06", "2026-12-13"},
        PeriodCase{"week across the year", WeekPeriod, {2027, 1, 1, 8}, "2026-12-27", "2027-01-03"},
        PeriodCase{"month", MonthPeriod, {2026, 2, 28, 12}, "2026-02-01", "2026-03-01"},
        PeriodCase{
            "month of December", MonthPeriod, {2026, 12, 31, 23}, "2026-12-01", "2027-01-01"},
        PeriodCase{
            "year on 31 December", YearPeriod, {2026, 12, 31, 23, 59}, "2026-01-01", "2027-01-01"},
        PeriodCase{"year on 1 January", YearPeriod, {2027, 1, 1}, "2027-01-01", "2028-01-01"}));

TEST(IntervalPeriod, IncludesItsLastDayAndIgnoresTimesOfDay) {
    QueryPeriod same = IntervalPeriod({2026, 12, 6, 23}, {2026, 12, 6, 1});
    EXPECT_EQ(PeriodBoundText(same.from), "2026-12-06");
    EXPECT_EQ(PeriodBoundText(same.to), "2026-12-07");
    // As the dialog opens: the first of the month to now lists today too.
    QueryPeriod opened = IntervalPeriod({2026, 12, 1}, {2026, 12, 6, 14, 5});
    EXPECT_EQ(PeriodBoundText(opened.to), "2026-12-07");
    // Last before first: the upper bound is not above the lower, so nothing matches.
    QueryPeriod backwards = IntervalPeriod({2026, 12, 6}, {2026, 12, 4});
    EXPECT_FALSE(backwards.from < backwards.to);
}

TEST(PeriodCondition, LowerBoundIncludedUpperExcluded) {
    EXPECT_EQ(PeriodCondition("收入日期", TodayPeriod({2026, 12, 6, 14})),
              "收入日期 >= #2026-12-06# and 收入日期 < #2026-12-07#");
}

TEST(QueryClock, ATestClockIsReadUntilReplaced) {
    const DateTimeValue fixed(2026, 12, 6, 14, 5);
    QueryClock previous = SetQueryClock([fixed] { return fixed; });
    EXPECT_EQ(QueryNow(), fixed);
    SetQueryClock(previous);
    EXPECT_FALSE(QueryNow() == fixed);
}

}  // namespace
