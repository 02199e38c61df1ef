// A 10,000-row Alipay export (GB18030, generated in the current layout): reading it, the
// preview window opening on it (read, plan against the book, fill the list), and the import
// into a fresh book, beside the bare SQLite C API inserting the same number of rows.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>

#include "BillSamples.h"
#include "QtBenchMain.h"
#include "bills/BillImport.h"
#include "bills/BillReader.h"
#include "bills/CBillImportDlg.h"
#include "data/ADODatabase.h"
#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "platform/skin/Skin.h"
#include "platform/ui/FileDialog.h"
#include "res/ResourceIds.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRows = 10000;
const std::string kStatement = "statement.csv";

void FreshBook() {
    fs::copy_file("clean.mdb", "data.mdb", fs::copy_options::overwrite_existing);
}

void BM_BillRead(benchmark::State& state) {
    const std::string bytes = ReadBytes(kStatement);
    for (auto _ : state) {
        auto read = ReadBill(bytes);
        benchmark::DoNotOptimize(std::get<BillStatement>(read).rows.size());
    }
}

void BM_BillPreviewWindow(benchmark::State& state) {
    FreshBook();
    SetOpenFileHook([](const std::string&, const std::string&) { return kStatement; });
    int shown = 0;
    for (auto _ : state) {
        CBillImportDlg dlg;
        dlg.Create();
        dlg.SendCommand(IDC_BILL_BROWSE);
        shown = dlg.m_listPreview.GetItemCount();
    }
    if (shown != kRows)
        std::abort();
    state.counters["rows"] = shown;
}

void BM_BillImport(benchmark::State& state) {
    const BillStatement statement = std::get<BillStatement>(ReadBillFile(kStatement));
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshBook();
        state.ResumeTiming();
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        const BillImportPlan plan = PlanBillImport(db, statement);
        added = ApplyBillImport(db, plan, "爸爸").nAdded;
    }
    state.counters["added"] = added;
}

// The floor: as many entries and import records as the import writes, in one transaction
// through prepared statements.
void BM_BillImport_Engine(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshBook();
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open("data.mdb", &db);
        sqlite3_exec(db,
                     "BEGIN IMMEDIATE; CREATE TABLE t (a INTEGER PRIMARY KEY, p TEXT, o TEXT, "
                     "s TEXT, d TEXT, m REAL, x TEXT, n INTEGER, i TEXT, UNIQUE (p, o))",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* pay = nullptr;
        sqlite3_stmt* record = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO normalPay (支出人员, 支出项目, 支出金额, 支出日期, 备注) "
                           "VALUES ('爸爸', '餐饮', ?1, '2026-01-01 10:00:00', '商户 商品')",
                           -1, &pay, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO t (p, o, s, d, m, x, n, i) VALUES ('支付宝', ?1, "
                           "'交易成功', '2026-01-01 10:00:00', ?2, 'normalPay', ?3, '餐饮')",
                           -1, &record, nullptr);
        for (int i = 0; i < kRows * 37 / 40; ++i) {
            sqlite3_bind_double(pay, 1, i / 100.0);
            sqlite3_step(pay);
            sqlite3_reset(pay);
            sqlite3_bind_text(record, 1, std::to_string(202610000000 + i).c_str(), -1,
                              SQLITE_TRANSIENT);
            sqlite3_bind_double(record, 2, i / 100.0);
            sqlite3_bind_int64(record, 3, sqlite3_last_insert_rowid(db));
            sqlite3_step(record);
            sqlite3_reset(record);
        }
        sqlite3_finalize(pay);
        sqlite3_finalize(record);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

}  // namespace

BENCHMARK(BM_BillRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BillPreviewWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BillImport)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BillImport_Engine)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv, [] {
        const fs::path dir = TILLBOOK_BENCH_DIR;
        fs::create_directories(dir);
        fs::current_path(dir);
        if (!fs::exists("clean.mdb"))
            CreateBook("clean.mdb");
        WriteBytes(kStatement, ToGb18030(AlipaySample(kRows)));
        dsLoadSkin("ControlSkin", 0);
    });
}
