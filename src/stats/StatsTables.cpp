#include "stats/StatsTables.h"

#include <algorithm>
#include <cstdio>

namespace {

void SideRows(StatsTable& table, const std::vector<StatsLine>& lines, FenText fenText) {
    for (const StatsLine& l : lines) {
        table.rows.push_back({l.strKey.empty() ? "（未填）" : l.strKey, fenText(l.income.nFen),
                              fenText(l.pay.nFen), fenText(l.BalanceFen()),
                              std::to_string(l.Count())});
    }
}

void ItemRows(StatsTable& table, std::vector<StatsLine> lines, bool income, std::int64_t whole,
              FenText fenText) {
    auto side = [income](const StatsLine& l) -> const StatsFigure& {
        return income ? l.income : l.pay;
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const StatsLine& a, const StatsLine& b) {
        return side(a).nFen > side(b).nFen;
    });
    for (const StatsLine& l : lines) {
        const StatsFigure& f = side(l);
        if (f.nCount == 0)
            continue;
        table.rows.push_back({l.strKey.empty() ? "（未填）" : l.strKey, income ? "收入" : "支出",
                              fenText(f.nFen), ShareText(f.nFen, whole), std::to_string(f.nCount)});
    }
}

}  // namespace

std::string PlainFen(std::int64_t fen) {
    char text[32];
    const std::uint64_t magnitude =
        fen < 0 ? 0 - static_cast<std::uint64_t>(fen) : static_cast<std::uint64_t>(fen);
    std::snprintf(text, sizeof text, "%s%llu.%02llu", fen < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100),
                  static_cast<unsigned long long>(magnitude % 100));
    return text;
}

std::string ShareText(std::int64_t part, std::int64_t whole) {
    if (whole <= 0)
        return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%",
                  static_cast<double>(part) * 100.0 / static_cast<double>(whole));
    return text;
}

StatsTable MakeStatsTable(const StatsResult& result, StatsView view, FenText fenText) {
    StatsTable table;
    switch (view) {
        case StatsView::Member:
            table.strTitle = "按成员";
            table.headers = {"成员", "收入", "支出", "结余", "笔数"};
            SideRows(table, result.members, fenText);
            break;
        case StatsView::Month:
            table.strTitle = "按月份";
            table.headers = {"月份", "收入", "支出", "结余", "笔数"};
            SideRows(table, result.months, fenText);
            break;
        case StatsView::Item:
            table.strTitle = "按项目";
            table.headers = {"项目", "类别", "金额", "占比", "笔数"};
            ItemRows(table, result.items, false, result.total.pay.nFen, fenText);
            ItemRows(table, result.items, true, result.total.income.nFen, fenText);
            break;
    }
    return table;
}
