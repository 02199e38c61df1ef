#include "stats/StatsTables.h"

#include <algorithm>
#include <cstdio>

#include "data/BookSide.h"

namespace {

void SideRows(StatsTable& table, const std::vector<StatsLine>& lines, FenStyle amounts) {
    for (const StatsLine& l : lines) {
        table.rows.push_back({l.strKey.empty() ? "（未填）" : l.strKey,
                              FenText(l.income.fen, amounts), FenText(l.pay.fen, amounts),
                              FenText(l.Balance(), amounts), std::to_string(l.Count())});
    }
}

void ItemRows(StatsTable& table, std::vector<StatsLine> lines, bool income, Fen whole,
              FenStyle amounts) {
    auto side = [income](const StatsLine& l) -> const StatsFigure& {
        return income ? l.income : l.pay;
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const StatsLine& a, const StatsLine& b) {
        return side(a).fen > side(b).fen;
    });
    for (const StatsLine& l : lines) {
        const StatsFigure& f = side(l);
        if (f.nCount == 0)
            continue;
        table.rows.push_back({l.strKey.empty() ? "（未填）" : l.strKey,
                              income ? kIncomeSide.name : kPaySide.name, FenText(f.fen, amounts),
                              ShareText(f.fen, whole), std::to_string(f.nCount)});
    }
}

}  // namespace

std::string ShareText(Fen part, Fen whole) {
    if (whole <= Fen())
        return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%",
                  static_cast<double>(part.Count()) * 100.0 / static_cast<double>(whole.Count()));
    return text;
}

StatsTable MakeStatsTable(const StatsResult& result, StatsView view, FenStyle amounts) {
    StatsTable table;
    switch (view) {
        case StatsView::Member:
            table.strTitle = "按成员";
            table.headers = {"成员", kIncomeSide.name, kPaySide.name, "结余", "笔数"};
            SideRows(table, result.members, amounts);
            break;
        case StatsView::Month:
            table.strTitle = "按月份";
            table.headers = {"月份", kIncomeSide.name, kPaySide.name, "结余", "笔数"};
            SideRows(table, result.months, amounts);
            break;
        case StatsView::Item:
            table.strTitle = "按项目";
            table.headers = {"项目", "类别", "金额", "占比", "笔数"};
            ItemRows(table, result.items, false, result.total.pay.fen, amounts);
            ItemRows(table, result.items, true, result.total.income.fen, amounts);
            break;
    }
    return table;
}
