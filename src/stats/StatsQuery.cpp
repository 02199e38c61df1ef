#include "stats/StatsQuery.h"

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

std::string SideStatement(const Side& side, const std::string& from, const std::string& to,
                          const StatsFilter& filter) {
    const std::string date = side.date;
    std::string sql = std::string("select ") + side.person + ", " + side.item +
                      ", count(*), coalesce(sum(cast(round(" + side.amount +
                      " * 100) as integer)), 0) from " + side.table + " where " + date + " >= #" +
                      from + "# and " + date + " < #" + to + "#";
    if (!filter.strMember.empty())
        sql += std::string(" and ") + side.person + " = '" + SqlText(filter.strMember) + "'";
    if (!filter.strItem.empty())
        sql += std::string(" and ") + side.item + " = '" + SqlText(filter.strItem) + "'";
    return sql + " group by " + side.person + ", " + side.item;
}

void Add(StatsLine& line, const std::string& key, bool income, const StatsFigure& figure) {
    line.strKey = key;
    StatsFigure& side = income ? line.income : line.pay;
    side.nCount += figure.nCount;
    side.nFen += figure.nFen;
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
        const int y = from.GetYear(), m = from.GetMonth();
        const DateTimeValue next =
            m == 12 ? DateTimeValue(y + 1, 1, 1) : DateTimeValue(y, m + 1, 1);
        const DateTimeValue to = next < upper ? next : upper;
        const std::string a = from.Format("%Y-%m-%d"), b = to.Format("%Y-%m-%d");
        const std::string month = from.Format("%Y-%m");
        parts.push_back({month, true, SideStatement(kIncome, a, b, filter)});
        parts.push_back({month, false, SideStatement(kPay, a, b, filter)});
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
        rs.Open(db.GetActiveConnection(), part.strSql, CADORecordset::OpenQuery);
        while (!rs.IsEOF()) {
            std::string member, item;
            rs.GetFieldValue(0, member);
            rs.GetFieldValue(1, item);
            const StatsFigure figure{static_cast<long>(ReadInteger(rs, 2)), ReadInteger(rs, 3)};
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
    SortDescending(result.members, [](const StatsLine& l) { return l.income.nFen + l.pay.nFen; });
    SortDescending(result.items,
                   [](const StatsLine& l) { return std::make_pair(l.pay.nFen, l.income.nFen); });
    return result;
}
