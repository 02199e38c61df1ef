// Sorting a full report list by a header click: 10,000 rows by an amount column and by a
// column of Chinese names.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "QtBenchMain.h"
#include "ReportBenchDlg.h"

namespace {

constexpr int kRows = 10000;

std::vector<std::vector<std::string>> MakeRows() {
    static const char* const surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵",
                                           "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
    static const char* const given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊",
                                        "军", "洋", "勇", "艳", "杰", "娟", "涛", "明"};
    std::mt19937 random(20261206);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < kRows; ++i) {
        char amount[32];
        std::snprintf(amount, sizeof amount, "%0.1f", static_cast<double>(random() % 1000000) / 10.0);
        rows.push_back(
            {std::string(surnames[random() % 16]) + given[random() % 16] + given[random() % 16],
             amount});
    }
    return rows;
}

void SortByColumn(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    const auto rows = MakeRows();
    CReportBenchDlg dlg;
    dlg.m_list.InsertReportColumn(0, "姓名", LVCFMT_LEFT, 100);
    dlg.m_list.InsertReportColumn(1, "金额", LVCFMT_RIGHT, 80);
    for (auto _ : state) {
        state.PauseTiming();
        dlg.m_list.DeleteAllRows();
        for (const auto& row : rows)
            dlg.m_list.InsertRow(dlg.m_list.GetItemCount(), row[0], {row[1]});
        dlg.m_list.m_header.m_nSortColumn = -1;
        state.ResumeTiming();
        Notification click{CReportBenchDlg::kList, Event::ColumnClick, column};
        dlg.m_list.OnColumnClick(click);
    }
    state.SetLabel(column == 0 ? "Chinese names" : "amounts");
}
BENCHMARK(SortByColumn)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
