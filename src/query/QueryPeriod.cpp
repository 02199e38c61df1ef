#include "query/QueryPeriod.h"

#include <utility>

namespace {

QueryClock& Clock() {
    static QueryClock clock;
    return clock;
}

DateTimeValue Midnight(const DateTimeValue& when) {
    return DateTimeValue(when.GetYear(), when.GetMonth(), when.GetDay());
}

}  // namespace

QueryPeriod TodayPeriod(const DateTimeValue& now) {
    const DateTimeValue today = Midnight(now);
    return {today, today.AddDays(1)};
}

QueryPeriod WeekPeriod(const DateTimeValue& now) {
    const DateTimeValue sunday = Midnight(now).AddDays(-now.GetDayOfWeek());
    return {sunday, sunday.AddDays(7)};
}

QueryPeriod MonthPeriod(const DateTimeValue& now) {
    const int year = now.GetYear();
    const int month = now.GetMonth();
    return {DateTimeValue(year, month, 1),
            month == 12 ? DateTimeValue(year + 1, 1, 1) : DateTimeValue(year, month + 1, 1)};
}

QueryPeriod YearPeriod(const DateTimeValue& now) {
    return {DateTimeValue(now.GetYear(), 1, 1), DateTimeValue(now.GetYear() + 1, 1, 1)};
}

QueryPeriod IntervalPeriod(const DateTimeValue& first, const DateTimeValue& last) {
    return {Midnight(first), Midnight(last).AddDays(1)};
}

std::string PeriodBoundText(const DateTimeValue& bound) {
    return bound.Format("%Y-%m-%d");
}

std::string PeriodCondition(const std::string& column, const QueryPeriod& period) {
    return column + " >= #" + PeriodBoundText(period.from) + "# and " + column + " < #" +
           PeriodBoundText(period.to) + "#";
}

QueryClock SetQueryClock(QueryClock clock) {
    return std::exchange(Clock(), std::move(clock));
}

DateTimeValue QueryNow() {
    return Clock() ? Clock()() : DateTimeValue::GetCurrentTime();
}
