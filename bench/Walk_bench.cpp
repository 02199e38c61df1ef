// Walking one year of a 1,000,000-row book through CADORecordset, against the
// bare SQLite C API and the sqlite3 command line doing the same select; adding
// one row; and the costs that must not grow with the table (record counts,
// opening a table by name, closing).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchBook.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "platform/ado/RowStore.h"

namespace {

std::string g_self;
std::string g_dir;       // the 1,000,000-row book
std::string g_smallDir;  // the 100,000-row book

// Makes the book with `rows` rows the one "data.mdb" names.
void UseBook(int rows) {
    std::filesystem::current_path(rows == kBenchRows ? g_dir : g_smallDir);
}

const char* kYearQuery =
    "select * from normalIncome where 收入日期 > #2015-01-01# and 收入日期 < #2016-01-01#";
const char* kYearQueryCli =
    "select * from normalIncome where 收入日期 > '2015-01-01 00:00:00' and 收入日期 < "
    "'2016-01-01 00:00:00'";

const char* ConnectionString() {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";
}

// Heap bytes in use (the allocator's own count, mapped blocks included), less what the row
// store's pool keeps idle for the next query.
double HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd - CRowStore::IdleBytes());
}

// Reads every row the way the query list does; returns the row count. `held`
// receives the heap the open recordset holds once it has answered IsEOF.
long WalkYear(double* held = nullptr, const char* query = kYearQuery) {
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    CADORecordset rs(&db);
    const double before = HeapBytes();
    rs.Open(db.GetActiveConnection(), query, CADORecordset::OpenQuery);
    if (held != nullptr) {
        rs.IsEOF();
        *held = HeapBytes() - before;
    }
    return WalkIncomeRows(rs);
}

// Peak resident memory (MB) of a fresh process running `argv`.
double PeakMegabytes(const char* const argv[], bool toDevNull) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (toDevNull) {
            std::freopen("/dev/null", "w", stdout);
        }
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void RunCli() {
    const std::string command =
        "sqlite3 data.mdb \"" + std::string(kYearQueryCli) + "\" > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

void BM_WalkYear_Recordset(benchmark::State& state) {
    UseBook(kBenchRows);
    long rows = 0;
    for (auto _ : state)
        rows = WalkYear();
    state.counters["rows"] = static_cast<double>(rows);
    double held = 0;
    WalkYear(&held);
    state.counters["bytes_per_row"] = held / static_cast<double>(rows);
    const char* argv[] = {g_self.c_str(), "--walk-once", nullptr};
    state.counters["peak_MB"] = PeakMegabytes(argv, false);
}

// The same rows and fields read with the bare C API.
long WalkYearSqliteApi(const char* query = kYearQueryCli) {
    sqlite3* db = nullptr;
    sqlite3_open_v2("data.mdb", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, query, -1, &stmt, nullptr);
    long rows = 0;
    std::string number, person, item, when;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        number = std::to_string(sqlite3_column_int64(stmt, 0));
        person = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        const double amount = sqlite3_column_double(stmt, 2);
        when = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
        item = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 4));
        benchmark::DoNotOptimize(amount);
        ++rows;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

void BM_WalkYear_SqliteApi(benchmark::State& state) {
    UseBook(kBenchRows);
    long rows = 0;
    for (auto _ : state)
        rows = WalkYearSqliteApi();
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_WalkYear_Sqlite3Cli(benchmark::State& state) {
    UseBook(kBenchRows);
    for (auto _ : state)
        RunCli();
    const std::string sqlite3 = "/usr/bin/sqlite3";
    const char* argv[] = {sqlite3.c_str(), "data.mdb", kYearQueryCli, nullptr};
    state.counters["peak_MB"] = PeakMegabytes(argv, true);
}

// One income row, written field by field as the entry dialog does.
void AddIncomeRow(CADORecordset& rs) {
    rs.AddNew();
    rs.SetFieldValue("收入人员", std::string("妈妈"));
    rs.SetFieldValue("收入金额", 12.5);
    rs.SetFieldValue("收入日期", DateTimeValue(2030, 1, 1, 8));
    rs.SetFieldValue("收入项目", std::string("工资"));
    rs.SetFieldValue("备注", std::string());
    rs.Update();
}

// The entry dialog's way: open the table by name, ask IsEOF, add, store.
void AddRowThroughTable(CADODatabase& db) {
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable);
    benchmark::DoNotOptimize(rs.IsEOF());
    AddIncomeRow(rs);
}

void BM_AddRow_OpenTable(benchmark::State& state) {
    UseBook(kBenchRows);
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    for (auto _ : state)
        AddRowThroughTable(db);
    const char* argv[] = {g_self.c_str(), "--add-once", nullptr};
    state.counters["peak_MB"] = PeakMegabytes(argv, false);
}

// A loop that asks the record count on every row, over the first N rows.
void BM_RecordCountEveryRow(benchmark::State& state) {
    UseBook(kBenchRows);
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    const std::string query =
        "select * from normalIncome where 编号 <= " + std::to_string(state.range(0));
    for (auto _ : state) {
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(), query, CADORecordset::OpenQuery);
        long sum = 0;
        for (long i = 0; i < rs.GetRecordCount(); ++i) {
            sum += rs.IsBOF() ? 0 : 1;
            rs.MoveNext();
        }
        benchmark::DoNotOptimize(sum);
    }
}

// Close alone, on a recordset that has read a year's rows.
void BM_CloseAfterYear(benchmark::State& state) {
    UseBook(kBenchRows);
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    for (auto _ : state) {
        state.PauseTiming();
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(), kYearQuery, CADORecordset::OpenQuery);
        benchmark::DoNotOptimize(rs.IsEOF());
        state.ResumeTiming();
        rs.Close();
    }
}

// AddNew/SetFieldValue/Update alone, on an already open recordset.
void BM_AddRow_Update(benchmark::State& state) {
    UseBook(kBenchRows);
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "select * from normalIncome where 收入日期 > #2030-01-01#",
            CADORecordset::OpenQuery);
    for (auto _ : state) {
        AddIncomeRow(rs);
    }
}

// About 5,000 rows from either book: the year 2015 of the small one, its first 36 and a half
// days in the big one. Walking them should cost the same: the engine finds the first by the
// date index and the recordset never looks at the rest of the book.
const char* kSameRowsQuery[] = {
    "select * from normalIncome where 收入日期 > #2015-01-01# and 收入日期 < #2016-01-01#",
    "select * from normalIncome where 收入日期 > #2015-01-01# and 收入日期 < #2015-02-06 "
    "12:00:00#"};
const char* kSameRowsQueryCli[] = {
    "select * from normalIncome where 收入日期 > '2015-01-01 00:00:00' and 收入日期 < "
    "'2016-01-01 00:00:00'",
    "select * from normalIncome where 收入日期 > '2015-01-01 00:00:00' and 收入日期 < "
    "'2015-02-06 12:00:00'"};

int BookRows(const benchmark::State& state) {
    return state.range(0) == 0 ? kBenchRows / 10 : kBenchRows;
}

void BM_WalkSameRows_Recordset(benchmark::State& state) {
    UseBook(BookRows(state));
    long rows = 0;
    for (auto _ : state)
        rows = WalkYear(nullptr, kSameRowsQuery[state.range(0)]);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["book_rows"] = BookRows(state);
    state.counters["per_row"] = benchmark::Counter(
        static_cast<double>(rows),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_WalkSameRows_SqliteApi(benchmark::State& state) {
    UseBook(BookRows(state));
    long rows = 0;
    for (auto _ : state)
        rows = WalkYearSqliteApi(kSameRowsQueryCli[state.range(0)]);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["book_rows"] = BookRows(state);
    state.counters["per_row"] = benchmark::Counter(
        static_cast<double>(rows),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void RemoveAddedRows() {
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "delete from normalIncome where 收入日期 >= #2030-01-01#",
            CADORecordset::OpenDefault);
}

}  // namespace

BENCHMARK(BM_WalkYear_Recordset)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_WalkYear_SqliteApi)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_WalkYear_Sqlite3Cli)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
// Argument 0: the 100,000-row book; 1: the 1,000,000-row book.
BENCHMARK(BM_WalkSameRows_Recordset)
    ->ArgName("big_book")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1)
    ->UseRealTime();
BENCHMARK(BM_WalkSameRows_SqliteApi)
    ->ArgName("big_book")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1)
    ->UseRealTime();
BENCHMARK(BM_AddRow_OpenTable)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddRow_Update)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_RecordCountEveryRow)
    ->Unit(benchmark::kMillisecond)
    ->Arg(10000)
    ->Arg(20000)
    ->Iterations(3);
BENCHMARK(BM_CloseAfterYear)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    g_self = std::filesystem::canonical("/proc/self/exe").string();
    if (argc >= 2 && std::strcmp(argv[1], "--walk-once") == 0) {
        return WalkYear() > 0 ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--api-once") == 0) {
        return WalkYearSqliteApi() > 0 ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--add-once") == 0) {
        CADODatabase db;
        db.SetConnectionString(ConnectionString());
        db.Open();
        AddRowThroughTable(db);
        return 0;
    }
    g_dir = TILLBOOK_BENCH_DIR;
    g_smallDir = g_dir + "-100k";
    EnterBenchBook(g_smallDir, EnsureSmallBenchBook);
    EnterBenchBook(g_dir, EnsureBenchBook);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    UseBook(kBenchRows);
    RemoveAddedRows();
    return 0;
}
