// Backing up the 1,000,000-row book: the program's verified backup (online copy, integrity
// check, sync, rename) and the copy alone, beside the floor `sqlite3 BOOK ".backup FILE"`.
// And the start of the program with a backup due against one without: the main window must
// not wait for the backup, which runs on its own thread.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "BenchBook.h"
#include "QtBenchMain.h"
#include "app/CCofferDlg.h"
#include "data/BookBackup.h"
#include "platform/ado/DatabaseBackup.h"

namespace fs = std::filesystem;

namespace {

void Report(benchmark::State& state, const std::string& file) {
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
    state.counters["book_MB"] = static_cast<double>(fs::file_size("data.mdb")) / (1024.0 * 1024.0);
}

void BM_Backup_Verified(benchmark::State& state) {
    std::string made;
    for (auto _ : state) {
        made = BackUpBook("data.mdb", "bench-backups").path;
        state.PauseTiming();
        Report(state, made);
        fs::remove(made);
        state.ResumeTiming();
    }
}

void BM_Backup_CopyOnly(benchmark::State& state) {
    for (auto _ : state) {
        CopyLiveDatabase("data.mdb", "bench-copy.mdb");
        state.PauseTiming();
        Report(state, "bench-copy.mdb");
        fs::remove("bench-copy.mdb");
        state.ResumeTiming();
    }
}

void BM_Backup_Floor_Sqlite3Cli(benchmark::State& state) {
    for (auto _ : state) {
        if (std::system("sqlite3 data.mdb '.backup bench-cli.mdb'") != 0)
            state.SkipWithError("sqlite3 .backup failed");
        state.PauseTiming();
        Report(state, "bench-cli.mdb");
        fs::remove("bench-cli.mdb");
        state.ResumeTiming();
    }
}

// The start: the backup thread started (or finding nothing due), the main window made and
// shown. The backup's own end is waited for outside the timing.
void Start(benchmark::State& state, bool due,
           std::chrono::milliseconds delay = std::chrono::seconds(3)) {
    const std::string book = fs::absolute("data.mdb").string();
    for (auto _ : state) {
        state.PauseTiming();
        // Both kinds of start follow a backup of the book (the last one's, or one made here),
        // so the caches are as cold for each.
        if (due) {
            fs::remove_all("backups");
        } else {
            if (!fs::exists("backups"))
                BackUpBook(book);
            fs::remove(BackUpBook(book, "bench-scratch").path);
        }
        state.ResumeTiming();
        std::optional<CStartupBackup> backup(std::in_place, book, delay);
        auto dlg = std::make_unique<CCofferDlg>();
        dlg->Create();
        dlg->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        backup.reset();
        dlg.reset();
        state.ResumeTiming();
    }
}

void BM_Startup_NoBackupDue(benchmark::State& state) {
    Start(state, false);
}

void BM_Startup_BackupDue(benchmark::State& state) {
    Start(state, true);
}

// The same without the program's head start: the backup shares the processor with the window.
void BM_Startup_BackupDueAtOnce(benchmark::State& state) {
    Start(state, true, std::chrono::milliseconds(0));
}

}  // namespace

BENCHMARK(BM_Backup_Verified)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Backup_CopyOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Backup_Floor_Sqlite3Cli)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Startup_NoBackupDue)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Startup_BackupDue)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Startup_BackupDueAtOnce)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv, [] { EnterBenchBook(TILLBOOK_BENCH_DIR, EnsureBenchBook); });
}
