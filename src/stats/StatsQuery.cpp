#include "stats/StatsQuery.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookSide.h"
#include "data/SqlText.h"
#include "query/QueryPeriod.h"

namespace {

std::string SideStatement(const BookSide& side, const QueryPeriod& period,
                          const StatsFilter& filter) {
    const std::string member = side.memberColumn, item = side.itemColumn;
    std::string sql = "select " + member + ", " + item + ", count(*), coalesce(sum(" +
                      FenOfColumnSql(side.amountColumn) + "), 0) from " + side.entryTable +
                      " where " + PeriodCondition(side.dateColumn, period);
    if (!filter.strMember.empty())
        sql += " and " + member + " = '" + SqlText(filter.strMember) + "'";
    if (!filter.strItem.empty())
        sql += " and " + item + " = '" + SqlText(filter.strItem) + "'";
    return sql + " group by " + member + ", " + item;
}

void Add(StatsLine& line, const std::string& key, bool income, const StatsFigure& figure) {
    line.strKey = key;
    StatsFigure& side = income ? line.income : line.pay;
    side.nCount += figure.nCount;
    side.fen += figure.fen;
}

std::int64_t ReadInteger(CADORecordset& rs, int index) {
    double value = 0;
    rs.GetFieldValue(index, value);
    return std::llround(value);
}

// Larger first by the given figures, then by key so equal groups keep a stable order.
template <class Key>
void SortDescending(std::vector<StatsLine>& lines, Key key) {
    std::stable_sort(lines.begin(), lines.end(), [&](const StatsLine& a, const StatsLine& b) {
        const auto ka = key(a), kb = key(b);
        return ka != kb ? ka > kb : a.strKey < b.strKey;
    });
}

}  // namespace

std::vector<StatsStatementPart> StatsStatements(const DateTimeValue& lower,
                                                const DateTimeValue& upper,
                                                const StatsFilter& filter) {
    std::vector<StatsStatementPart> parts;
    for (DateTimeValue from = lower; from < upper;) {
        const DateTimeValue next = MonthPeriod(from).to;
        const DateTimeValue to = next < upper ? next : upper;
        const std::string month = from.Format("%Y-%m");
        parts.push_back({month, true, SideStatement(kIncomeSide, {from, to}, filter)});
        parts.push_back({month, false, SideStatement(kPaySide, {from, to}, filter)});
        from = to;
    }
    return parts;
}

StatsResult QueryStats(CADODatabase& db, const DateTimeValue& lower, const DateTimeValue& upper,
                       const StatsFilter& filter) {
    StatsResult result;
    std::map<std::string, StatsLine> members, items, months;
    for (const StatsStatementPart& part : StatsStatements(lower, upper, filter)) {
        CADORecordset rs(&db);
        if (!rs.Open(db.GetActiveConnection(), part.strSql, CADORecordset::OpenQuery))
            continue;
        while (!rs.IsEOF()) {
            std::string member, item;
            rs.GetFieldValue(0, member);
            rs.GetFieldValue(1, item);
            const StatsFigure figure{static_cast<long>(ReadInteger(rs, 2)),
                                     Fen(ReadInteger(rs, 3))};
            Add(result.total, "", part.bIncome, figure);
            Add(members[member], member, part.bIncome, figure);
            Add(items[item], item, part.bIncome, figure);
            Add(months[part.strMonth], part.strMonth, part.bIncome, figure);
            rs.MoveNext();
        }
        rs.Close();
    }
    for (auto& [key, line] : members)
        result.members.push_back(line);
    for (auto& [key, line] : items)
        result.items.push_back(line);
    for (auto& [key, line] : months)
        result.months.push_back(line);
    SortDescending(result.members, [](const StatsLine& l) { return l.income.fen + l.pay.fen; });
    SortDescending(result.items,
                   [](const StatsLine& l) { return std::make_pair(l.pay.fen, l.income.fen); });
    return result;
}
