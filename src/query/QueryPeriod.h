#pragma once

#include <functional>
#include <string>

#include "data/DateTimeValue.h"

// A span of whole days for a period query: from midnight of its first day (included) to
// midnight after its last day (excluded), so a record stamped exactly 00:00:00 belongs to
// the day it starts and is never lost between two periods.
struct QueryPeriod {
    DateTimeValue from;  // first day, 00:00:00, included
    DateTimeValue to;    // the day after the last day, 00:00:00, excluded
};

// The day of `now` alone.
QueryPeriod TodayPeriod(const DateTimeValue& now);
// The week of `now`, Sunday to Saturday.
QueryPeriod WeekPeriod(const DateTimeValue& now);
// The calendar month of `now`.
QueryPeriod MonthPeriod(const DateTimeValue& now);
// The calendar year of `now`.
QueryPeriod YearPeriod(const DateTimeValue& now);
// The days `first` through `last`, both included; empty when `last` is before `first`.
// Only their dates count, not their times of day.
QueryPeriod IntervalPeriod(const DateTimeValue& first, const DateTimeValue& last);

// A bound as the date text a statement's #...# literal takes: "2026-12-06".
std::string PeriodBoundText(const DateTimeValue& bound);
// "<column> >= #from# and <column> < #to#".
std::string PeriodCondition(const std::string& column, const QueryPeriod& period);

// The clock the period buttons read "now" from: the local clock unless a test sets another.
// Returns the clock it replaced; an empty function restores the local clock.
using QueryClock = std::function<DateTimeValue()>;
QueryClock SetQueryClock(QueryClock clock);
DateTimeValue QueryNow();
