#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/DateTimeValue.h"

class CADODatabase;

// How many records one side of the book has in a group, and their sum in fen.
struct StatsFigure {
    long nCount = 0;
    std::int64_t nFen = 0;
};

// One group: a member, an item or a month ("2026-03"), with its income and its expenses.
struct StatsLine {
    std::string strKey;
    StatsFigure income;
    StatsFigure pay;

    std::int64_t BalanceFen() const { return income.nFen - pay.nFen; }
    long Count() const { return income.nCount + pay.nCount; }
};

// Optional filters, as the query dialogs offer them; an empty text filters nothing.
struct StatsFilter {
    std::string strMember;
    std::string strItem;  // compared with the income item and the expense item alike
};

struct StatsResult {
    StatsLine total;
    std::vector<StatsLine> members;  // larger turnover first
    std::vector<StatsLine> items;    // larger expense first, then larger income
    std::vector<StatsLine> months;   // in calendar order
};

// The one statement that sums a period [lower, upper) of both tables: every amount is rounded
// to fen and summed as an integer by the database, grouped by member, item and month in one
// pass over the date indexes. Each result row is (kind, key, side, count, fen), kind being
// 't' total, 'p' member, 'i' item or 'm' month, side 0 income and 1 expense.
std::string StatsStatement(const DateTimeValue& lower, const DateTimeValue& upper,
                           const StatsFilter& filter);

// Runs StatsStatement on an open book. Database failures are thrown as the data layer throws
// them.
StatsResult QueryStats(CADODatabase& db, const DateTimeValue& lower, const DateTimeValue& upper,
                       const StatsFilter& filter);
