#pragma once

#include <string>
#include <vector>

#include "data/DateTimeValue.h"
#include "data/Fen.h"

class CADODatabase;

// How many records one side of the book has in a group, and their sum.
struct StatsFigure {
    long nCount = 0;
    Fen fen;
};

// One group: a member, an item or a month ("2026-03"), with its income and its expenses.
struct StatsLine {
    std::string strKey;
    StatsFigure income;
    StatsFigure pay;

    Fen Balance() const { return income.fen - pay.fen; }
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

// One statement of a period's sums: the records of one side of the book in one calendar month
// of the period, each amount rounded to fen and the fen summed as integers by the database,
// grouped by member and item over the date index. Its rows are (member, item, count, fen).
struct StatsStatementPart {
    std::string strMonth;  // "2026-03"
    bool bIncome;
    std::string strSql;
};

// The statements for [lower, upper), month by month: many small groupings sort faster than
// one over the whole period, and the month of each is known without grouping by it.
std::vector<StatsStatementPart> StatsStatements(const DateTimeValue& lower,
                                                const DateTimeValue& upper,
                                                const StatsFilter& filter);

// Runs StatsStatements on an open book and adds the groups up into the totals and the tables
// by member, item and month. Database failures are thrown as the data layer throws them.
StatsResult QueryStats(CADODatabase& db, const DateTimeValue& lower, const DateTimeValue& upper,
                       const StatsFilter& filter);
