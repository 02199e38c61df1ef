// Walking one year of a 1,000,000-row book through CADORecordset, against the
// sqlite3 command line doing the same select; and adding one row.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchBook.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"

namespace {

std::string g_self;
std::string g_dir;

const char* kYearQuery =
    "select * from normalIncome where 收入日期 > #2015-01-01# and 收入日期 < #2016-01-01#";
const char* kYearQueryCli =
    "select * from normalIncome where 收入日期 > '2015-01-01 00:00:00' and 收入日期 < "
    "'2016-01-01 00:00:00'";

const char* ConnectionString() {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";
}

// Reads every row the way the query list does; returns the row count.
long WalkYear() {
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), kYearQuery, CADORecordset::OpenQuery);
    long rows = 0;
    std::string number, person, item;
    double amount = 0;
    DateTimeValue when;
    while (!rs.IsEOF()) {
        rs.GetFieldValue(0, number);
        rs.GetFieldValue(1, person);
        rs.GetFieldValue(2, amount);
        rs.GetFieldValue(3, when);
        rs.GetFieldValue(4, item);
        benchmark::DoNotOptimize(amount);
        ++rows;
        rs.MoveNext();
    }
    return rows;
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
    return usage.ru_maxrss / 1024.0;
}

void RunCli() {
    const std::string command =
        "sqlite3 data.mdb \"" + std::string(kYearQueryCli) + "\" > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

void BM_WalkYear_Recordset(benchmark::State& state) {
    long rows = 0;
    for (auto _ : state)
        rows = WalkYear();
    state.counters["rows"] = static_cast<double>(rows);
    const char* argv[] = {g_self.c_str(), "--walk-once", nullptr};
    state.counters["peak_MB"] = PeakMegabytes(argv, false);
}

void BM_WalkYear_Sqlite3Cli(benchmark::State& state) {
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

// The entry dialog's way: open the table by name, add, store.
void BM_AddRow_OpenTable(benchmark::State& state) {
    CADODatabase db;
    db.SetConnectionString(ConnectionString());
    db.Open();
    for (auto _ : state) {
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable);
        AddIncomeRow(rs);
    }
}

// AddNew/SetFieldValue/Update alone, on an already open recordset.
void BM_AddRow_Update(benchmark::State& state) {
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
BENCHMARK(BM_WalkYear_Sqlite3Cli)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_AddRow_OpenTable)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddRow_Update)->Unit(benchmark::kMicrosecond)->Iterations(200);

int main(int argc, char** argv) {
    g_self = std::filesystem::canonical("/proc/self/exe").string();
    if (argc >= 2 && std::strcmp(argv[1], "--walk-once") == 0) {
        return WalkYear() > 0 ? 0 : 1;
    }
    g_dir = TILLBOOK_BENCH_DIR;
    std::filesystem::create_directories(g_dir);
    std::printf("Book: %s/data.mdb (made on first run)\n", g_dir.c_str());
    EnsureBenchBook(g_dir + "/data.mdb");
    std::filesystem::current_path(g_dir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveAddedRows();
    return 0;
}
