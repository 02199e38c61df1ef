// Importing Jet files into new SQLite files, against mdbtools' own route,
// `mdb-export | sqlite3 .import`, measured in the same run: the largest table of
// the samples ("Order Details" of nwind.mdb, 2155 rows) read in this process, and
// every table of every file of the peer set read as the import reads it (in a
// child process). Both end with files on disk. Rows per second are the
// items_per_second column.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BoundedJetCopy.h"
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

std::vector<fs::path> PeerFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(TILLBOOK_JET_PEER)) {
        if (e.path().extension() == ".mdb")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void WriteImage(const fs::path& out, const std::string& image) {
    const int fd = ::open(out.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    const bool whole =
        ::write(fd, image.data(), image.size()) == static_cast<ssize_t>(image.size());
    ::fsync(fd);
    ::close(fd);
    if (!whole)
        std::abort();
}

void BM_TillbookImportPeerSet(benchmark::State& state) {
    const fs::path out = OutDir() / "book.db";
    const auto files = PeerFiles();
    long long rows = 0;
    for (auto _ : state) {
        for (const fs::path& file : files) {
            JetCopyStats stats;
            WriteImage(out, CopyJetFileBounded(file, {}, stats, nullptr,
                                               JetReadLimitsFor(fs::file_size(file))));
            rows += stats.rows;
        }
    }
    state.SetItemsProcessed(rows);
    fs::remove_all(out.parent_path());
}
BENCHMARK(BM_TillbookImportPeerSet)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// One shell script: each table of each file through mdb-export into sqlite3 .import.
void BM_MdbExportIntoSqlite3ImportPeerSet(benchmark::State& state) {
    const fs::path out = OutDir() / "cli.db";
    std::string script;
    long long rows = 0;
    for (const fs::path& file : PeerFiles()) {
        script += "rm -f " + Quoted(out) + "\n";
        FILE* list = ::popen(("mdb-tables -1 " + Quoted(file)).c_str(), "r");
        char line[512];
        while (list != nullptr && std::fgets(line, sizeof line, list) != nullptr) {
            std::string table(line);
            table.erase(table.find_last_not_of("\r\n") + 1);
            script += "mdb-export " + Quoted(file) + " " + Quoted(table) + " | sqlite3 " +
                      Quoted(out) + " " + Quoted(".import --csv /dev/stdin \"" + table + "\"") +
                      " || exit 1\n";
            FILE* count = ::popen(("mdb-count " + Quoted(file) + " " + Quoted(table)).c_str(), "r");
            if (count != nullptr && std::fgets(line, sizeof line, count) != nullptr)
                rows += std::atoll(line);
            if (count != nullptr)
                ::pclose(count);
        }
        if (list != nullptr)
            ::pclose(list);
    }
    const fs::path scriptFile = out.parent_path() / "import.sh";
    {
        FILE* f = std::fopen(scriptFile.c_str(), "w");
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    const std::string command = "sh " + Quoted(scriptFile) + " 2>/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("mdb-export | sqlite3 failed");
    }
    state.SetItemsProcessed(state.iterations() * rows);
    fs::remove_all(out.parent_path());
}
BENCHMARK(BM_MdbExportIntoSqlite3ImportPeerSet)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
