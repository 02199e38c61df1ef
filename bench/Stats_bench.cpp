// The statistics window's sums on a generated 1,000,000-row book (half income, half expense):
// a year and the whole twenty years through the program, each beside the bare SQLite C API
// running the very same statements in the same run; and the window opening on a month.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchBook.h"
#include "QtBenchMain.h"
#include "data/ADODatabase.h"
#include "data/BookConnection.h"
#include "platform/ado/JetDialect.h"
#include "platform/skin/Skin.h"
#include "platform/ui/CDialog.h"
#include "query/QueryPeriod.h"
#include "stats/CStatisticsDlg.h"
#include "stats/StatsQuery.h"

namespace {

const DateTimeValue kYearFrom(2015, 1, 1), kYearTo(2016, 1, 1);
const DateTimeValue kAllFrom(kBenchFirstYear, 1, 1), kAllTo(kBenchFirstYear + kBenchYears, 1, 1);

void RunProgram(benchmark::State& state, const DateTimeValue& from, const DateTimeValue& to) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    long records = 0;
    for (auto _ : state) {
        const StatsResult result = QueryStats(db, from, to, {});
        records = result.total.Count();
        benchmark::DoNotOptimize(result.total.pay.fen);
    }
    state.counters["records"] = static_cast<double>(records);
}

// The engine alone: the same statements as the engine receives them from the program, each
// prepared, stepped through and finalised every time.
void RunEngine(benchmark::State& state, const DateTimeValue& from, const DateTimeValue& to) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2("data.mdb", &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        std::abort();
    std::vector<std::string> statements;
    for (const StatsStatementPart& part : StatsStatements(from, to, {}))
        statements.push_back(TranslateJetStatement(part.strSql).sql);
    for (auto _ : state) {
        long long fen = 0;
        for (const std::string& sql : statements) {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
                std::abort();
            while (sqlite3_step(stmt) == SQLITE_ROW)
                fen += sqlite3_column_int64(stmt, 3);
            sqlite3_finalize(stmt);
        }
        benchmark::DoNotOptimize(fen);
    }
    state.counters["statements"] = static_cast<double>(statements.size());
    sqlite3_close(db);
}

void BM_StatsYear_Program(benchmark::State& state) {
    RunProgram(state, kYearFrom, kYearTo);
}
void BM_StatsYear_Engine(benchmark::State& state) {
    RunEngine(state, kYearFrom, kYearTo);
}
void BM_StatsTwentyYears_Program(benchmark::State& state) {
    RunProgram(state, kAllFrom, kAllTo);
}
void BM_StatsTwentyYears_Engine(benchmark::State& state) {
    RunEngine(state, kAllFrom, kAllTo);
}

// From construction to a drawn window showing its month: the window opens on the month of
// "now", set to 15 June 2015, a month of the book with 4,000-odd records.
void BM_WindowShowsMonth(benchmark::State& state) {
    const QueryClock previous = SetQueryClock([] { return DateTimeValue(2015, 6, 15, 12); });
    long records = 0;
    for (auto _ : state) {
        CStatisticsDlg dlg;
        dlg.Create();
        benchmark::DoNotOptimize(dlg.grab());
        records = dlg.m_result.total.Count();
    }
    state.counters["records"] = static_cast<double>(records);
    SetQueryClock(previous);
}

}  // namespace

BENCHMARK(BM_StatsYear_Program)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_StatsYear_Engine)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
BENCHMARK(BM_StatsTwentyYears_Program)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_StatsTwentyYears_Engine)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_WindowShowsMonth)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv, [] {
        EnterBenchBook(TILLBOOK_BENCH_DIR, EnsureStatsBenchBook);
        dsLoadSkin("ControlSkin", 0);
    });
}
