// The query dialog on the generated 1,000,000-row book: "今年" (about 50,000 records) and
// "本月" (about 4,000) from the button press until every row is in the list model, against
// the bare recordset walk of the same statement in the same run; the heap the listed rows
// hold against the heap the walk's recordset holds; scrolling and closing with a year listed;
// and what the engine plans for each filter.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>
#include <cstdio>
#include <memory>

#include "BenchBook.h"
#include "QtBenchMain.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/RowStore.h"
#include "query/CIncomeInquiryDlg.h"
#include "res/ResourceIds.h"

namespace {

// Mid-2015: the year and the month of the book's middle.
const DateTimeValue kNow(2015, 6, 15, 12);

// The allocator's count, mapped blocks included, less what the row store's pool keeps idle.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd - CRowStore::IdleBytes();
}

std::string YearStatement() {
    return BuildInquiryStatement(kIncomeInquiry, YearPeriod(kNow), "", "");
}

// The floor: the same statement walked through the recordset, every field read as the
// dialog reads it, nothing kept.
void BM_Year_RecordsetWalk(benchmark::State& state) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    long rows = 0;
    std::size_t held = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(), YearStatement(), CADORecordset::OpenQuery);
        rows = WalkIncomeRows(rs);
        held = std::max(held, HeapInUse() - before);
        rs.Close();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["heap_MB"] = static_cast<double>(held) / 1e6;
    state.counters["bytes_per_row"] =
        rows ? static_cast<double>(held) / static_cast<double>(rows) : 0;
}

void PressAndShow(CIncomeInquiryDlg& dlg, int id) {
    dlg.SendCommand(id);
    QApplication::processEvents();  // the view takes in the rows
}

void DialogQuery(benchmark::State& state, int id) {
    CIncomeInquiryDlg dlg;
    dlg.Create();
    dlg.show();
    QApplication::processEvents();
    std::size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dlg.m_listResult.DeleteAllItems();
        QApplication::processEvents();
        const std::size_t before = HeapInUse();
        state.ResumeTiming();
        PressAndShow(dlg, id);
        state.PauseTiming();
        held = std::max(held, HeapInUse() - before);
        state.ResumeTiming();
    }
    const int rows = dlg.m_listResult.GetItemCount();
    state.counters["rows"] = rows;
    state.counters["heap_MB"] = static_cast<double>(held) / 1e6;
    state.counters["bytes_per_row"] =
        rows ? static_cast<double>(held) / static_cast<double>(rows) : 0;
}

void BM_Year_DialogPress(benchmark::State& state) {
    DialogQuery(state, IDC_INQ_YEAR);
}

void BM_Month_DialogPress(benchmark::State& state) {
    DialogQuery(state, IDC_INQ_MONTH);
}

// With a year listed: from the top to the bottom and back, each step painted.
void BM_Year_ScrollPaged(benchmark::State& state) {
    CIncomeInquiryDlg dlg;
    dlg.Create();
    dlg.show();
    PressAndShow(dlg, IDC_INQ_YEAR);
    QTreeView* view = dlg.m_listResult.List();
    QScrollBar* bar = view->verticalScrollBar();
    for (auto _ : state) {
        for (int step = 0; step < 20; ++step) {
            bar->setValue(bar->maximum() * step / 19);
            view->viewport()->repaint();
        }
    }
    state.SetLabel("20 pages painted");
}

// With a year listed: the list resized, then the dialog closed and destroyed.
void BM_Year_ResizeAndClose(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto dlg = std::make_unique<CIncomeInquiryDlg>();
        dlg->Create();
        dlg->show();
        PressAndShow(*dlg, IDC_INQ_YEAR);
        state.ResumeTiming();
        QTreeView* view = dlg->m_listResult.List();
        view->resize(view->width() - 40, view->height() - 40);
        view->viewport()->repaint();
        dlg->SendCommand(IDOK);
        dlg.reset();
        QApplication::processEvents();
    }
}

void PrintQueryPlans() {
    sqlite3* db = nullptr;
    sqlite3_open_v2("data.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    const QueryPeriod year = YearPeriod(kNow);
    const std::pair<const char*, const char*> filters[] = {
        {"", ""}, {"妈妈", ""}, {"", "工资"}, {"妈妈", "工资"}};
    for (const auto& [member, item] : filters) {
        const std::string jet = BuildInquiryStatement(kIncomeInquiry, year, member, item);
        const std::string sql = "EXPLAIN QUERY PLAN " + TranslateJetStatement(jet).sql;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        std::printf("%s\n", jet.c_str());
        while (sqlite3_step(stmt) == SQLITE_ROW)
            std::printf("    plan: %s\n",
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(BM_Year_RecordsetWalk)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_Year_DialogPress)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_Month_DialogPress)->Unit(benchmark::kMillisecond)->MinTime(1)->UseRealTime();
BENCHMARK(BM_Year_ScrollPaged)->Unit(benchmark::kMillisecond)->MinTime(1)->UseRealTime();
BENCHMARK(BM_Year_ResizeAndClose)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv, [] {
        EnterBenchBook(TILLBOOK_BENCH_DIR, EnsureBenchBook);
        SetQueryClock([] { return kNow; });
        PrintQueryPlans();
    });
}
