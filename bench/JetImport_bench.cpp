// Importing the largest table of the sample Jet files ("Order Details" of
// nwind.mdb, 2155 rows) into a new SQLite file, against mdbtools' own route,
// `mdb-export | sqlite3 .import`, measured in the same run. Both end with a
// file on disk. Rows per second are the items_per_second column.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "JetCopy.h"

namespace fs = std::filesystem;

namespace {

const std::string kSource = TILLBOOK_JET_SAMPLE;
const std::string kTable = "Order Details";

fs::path OutDir() {
    const fs::path dir =
        fs::temp_directory_path() / ("tillbook-import-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

void BM_TillbookImport(benchmark::State& state) {
    const fs::path out = OutDir() / "book.db";
    long long rows = 0;
    for (auto _ : state) {
        JetCopyStats stats;
        const auto image = CopyJetFile(kSource, kTable, stats);
        const int fd = ::open(out.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        if (::write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size()))
            state.SkipWithError("write failed");
        ::fsync(fd);
        ::close(fd);
        rows += stats.rows;
    }
    state.SetItemsProcessed(rows);
    fs::remove_all(out.parent_path());
}
BENCHMARK(BM_TillbookImport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MdbExportIntoSqlite3Import(benchmark::State& state) {
    const fs::path out = OutDir() / "cli.db";
    const std::string command = "rm -f '" + out.string() + "' && mdb-export '" + kSource + "' '" +
                                kTable + "' | sqlite3 '" + out.string() +
                                "' '.import --csv /dev/stdin od'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("mdb-export | sqlite3 failed");
    }
    state.SetItemsProcessed(state.iterations() * 2155);
    fs::remove_all(out.parent_path());
}
BENCHMARK(BM_MdbExportIntoSqlite3Import)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
