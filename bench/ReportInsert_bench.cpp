// Filling and emptying the report list row by row, against a bare QTreeWidget given the same
// rows as ready-made items: appending, inserting every row at the top (which must not grow
// quadratically), and deleting all rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "QtBenchMain.h"
#include "ReportBenchDlg.h"

namespace {

class CBenchDlg : public CReportBenchDlg {
public:
    CBenchDlg() {
        m_list.InsertReportColumn(0, "名称", LVCFMT_LEFT, 100);
        m_list.InsertReportColumn(1, "备注", LVCFMT_LEFT, 100);
        show();
    }
};

std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("工资" + std::to_string(i));
    return names;
}

void ReportInsert(benchmark::State& state, bool atTop) {
    const auto names = Names(static_cast<int>(state.range(0)));
    CBenchDlg dlg;
    for (auto _ : state) {
        for (const std::string& name : names)
            dlg.m_list.InsertRow(atTop ? 0 : dlg.m_list.GetItemCount(), name, {"备注"});
        QApplication::processEvents();
        state.PauseTiming();
        dlg.m_list.DeleteAllRows();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void PlainInsert(benchmark::State& state, bool atTop) {
    const auto names = Names(static_cast<int>(state.range(0)));
    CBenchDlg dlg;
    QTreeWidget* tree = dlg.m_list.List();
    for (auto _ : state) {
        for (const std::string& name : names) {
            auto* item =
                new QTreeWidgetItem({QString::fromStdString(name), QStringLiteral("备注")});
            tree->insertTopLevelItem(atTop ? 0 : tree->topLevelItemCount(), item);
        }
        QApplication::processEvents();
        state.PauseTiming();
        tree->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReportInsertRow_Append(benchmark::State& state) {
    ReportInsert(state, false);
}
void BM_PlainTree_Append(benchmark::State& state) {
    PlainInsert(state, false);
}
void BM_ReportInsertRow_AtTop(benchmark::State& state) {
    ReportInsert(state, true);
}
void BM_PlainTree_AtTop(benchmark::State& state) {
    PlainInsert(state, true);
}

void BM_ReportDeleteAllRows(benchmark::State& state) {
    const auto names = Names(static_cast<int>(state.range(0)));
    CBenchDlg dlg;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& name : names)
            dlg.m_list.InsertRow(dlg.m_list.GetItemCount(), name, {"备注"});
        QApplication::processEvents();
        state.ResumeTiming();
        dlg.m_list.DeleteAllRows();
        QApplication::processEvents();
    }
}

void BM_PlainTree_Clear(benchmark::State& state) {
    const auto names = Names(static_cast<int>(state.range(0)));
    CBenchDlg dlg;
    QTreeWidget* tree = dlg.m_list.List();
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& name : names)
            tree->addTopLevelItem(
                new QTreeWidgetItem({QString::fromStdString(name), QStringLiteral("备注")}));
        QApplication::processEvents();
        state.ResumeTiming();
        tree->clear();
        QApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_ReportInsertRow_Append)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTree_Append)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportInsertRow_AtTop)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTree_AtTop)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportDeleteAllRows)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTree_Clear)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
