#include "query/StatsQuery.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/SqlText.h"

namespace {

struct Side {
    const char* table;
    const char* person;
    const char* amount;
    const char* date;
    const char* item;
};

constexpr Side kIncome{"normalIncome", "收入人员", "收入金额", "收入日期", "收入项目"};
constexpr Side kPay{"normalPay", "支出人员", "支出金额", "支出日期", "支出项目"};

std::string SideSelect(const Side& side, int sideNumber, const std::string& lower,
                       const std::string& upper, const StatsFilter& filter) {
    const std::string date = side.date;
    std::string sql = "select " + std::to_string(sideNumber) + " k, " + side.person + " p, " +
                      side.item + " i, substr(" + date + ", 1, 7) m, cast(round(" + side.amount +
                      " * 100) as integer) f from " + side.table + " where " + date + " >= #" +
                      lower + "# and " + date + " < #" + upper + "#";
    if (!filter.strMember.empty())
        sql += std::string(" and ") + side.person + " = '" + SqlText(filter.strMember) + "'";
    if (!filter.strItem.empty())
        sql += std::string(" and ") + side.item + " = '" + SqlText(filter.strItem) + "'";
    return sql;
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

std::string StatsStatement(const DateTimeValue& lower, const DateTimeValue& upper,
                           const StatsFilter& filter) {
    const std::string from = lower.Format("%Y-%m-%d");
    const std::string to = upper.Format("%Y-%m-%d");
    // The records are reduced once to sums per (side, member, item, month); the four
    // groupings are then sums of those few rows.
    return "with c as materialized (select k, p, i, m, count(*) n, coalesce(sum(f), 0) s from (" +
           SideSelect(kIncome, 0, from, to, filter) + " union all " +
           SideSelect(kPay, 1, from, to, filter) +
           ") group by k, p, i, m) "
           "select 't', '', k, sum(n), sum(s) from c group by k "
           "union all select 'p', p, k, sum(n), sum(s) from c group by p, k "
           "union all select 'i', i, k, sum(n), sum(s) from c group by i, k "
           "union all select 'm', m, k, sum(n), sum(s) from c group by m, k";
}

StatsResult QueryStats(CADODatabase& db, const DateTimeValue& lower, const DateTimeValue& upper,
                       const StatsFilter& filter) {
    StatsResult result;
    std::map<std::string, StatsLine> members, items, months;
    CADORecordset rs(&db);
    if (!rs.Open(db.GetActiveConnection(), StatsStatement(lower, upper, filter),
                 CADORecordset::OpenQuery))
        return result;
    while (!rs.IsEOF()) {
        std::string kind, key;
        rs.GetFieldValue(0, kind);
        rs.GetFieldValue(1, key);
        const bool income = ReadInteger(rs, 2) == 0;
        StatsFigure figure{static_cast<long>(ReadInteger(rs, 3)), ReadInteger(rs, 4)};
        StatsLine* line = nullptr;
        if (kind == "t")
            line = &result.total;
        else if (kind == "p")
            line = &members[key];
        else if (kind == "i")
            line = &items[key];
        else if (kind == "m")
            line = &months[key];
        if (line) {
            line->strKey = key;
            (income ? line->income : line->pay) = figure;
        }
        rs.MoveNext();
    }
    rs.Close();
    for (auto& [key, line] : members)
        result.members.push_back(line);
    for (auto& [key, line] : items)
        result.items.push_back(line);
    for (auto& [key, line] : months)
        result.months.push_back(line);
    SortDescending(result.members, [](const StatsLine& l) { return l.income.nFen + l.pay.nFen; });
    SortDescending(result.items,
                   [](const StatsLine& l) { return std::make_pair(l.pay.nFen, l.income.nFen); });
    result.total.strKey.clear();
    return result;
}
