// The year query (one year of a 1,000,000-row book, every field read as the query list reads
// it) on the server book against the file book, and psql running the same statement on the
// same server over the same local socket. The benchmark starts its own throw-away server
// (scripts/pg-test-server) and fills it once from the file book with `tillbook-db copy`.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchBook.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "platform/ado/JetDialect.h"

namespace {

const char* kYearQuery =
    "select * from normalIncome where 收入日期 > #2015-01-01# and 收入日期 < #2016-01-01#";
const std::string kServerFolder = "/tmp/tillbook-pg-bench";
const std::string kServerBook =
    "postgresql:///tillbook_bench?host=" + kServerFolder + "&user=tillbook";

long WalkYear(const std::string& book) {
    CADODatabase db;
    db.SetConnectionString(book);
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), kYearQuery, CADORecordset::OpenQuery);
    return WalkIncomeRows(rs);
}

void BM_YearQuery_File(benchmark::State& state) {
    long rows = 0;
    for (auto _ : state)
        rows = WalkYear("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb");
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_YearQuery_Server(benchmark::State& state) {
    long rows = 0;
    for (auto _ : state)
        rows = WalkYear(kServerBook);
    state.counters["rows"] = static_cast<double>(rows);
}

// psql fetching the same rows (the statement as the server is given it), output discarded.
void BM_YearQuery_Psql(benchmark::State& state) {
    const std::string sql = TranslateJetStatement(kYearQuery, EngineKind::PostgreSQL).sql;
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            execlp("psql", "psql", "-X", "-q", "-A", "-t", "-h", kServerFolder.c_str(), "-U",
                   "tillbook", "-d", "tillbook_bench", "-c", sql.c_str(), nullptr);
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("psql failed");
    }
}

}  // namespace

BENCHMARK(BM_YearQuery_File)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_YearQuery_Server)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_YearQuery_Psql)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

int main(int argc, char** argv) {
    EnterBenchBook(TILLBOOK_BENCH_DIR, &EnsureBenchBook);
    const std::string script = std::string(TILLBOOK_SOURCE_DIR) + "/scripts/pg-test-server";
    const std::string file = std::filesystem::absolute("data.mdb").string();
    const std::string prepare = "\"" + script + "\" start " + kServerFolder + " " +
                                TILLBOOK_DB_TOOL + " >/dev/null && createdb -h " + kServerFolder +
                                " -U tillbook tillbook_bench && " + TILLBOOK_DB_TOOL + " copy \"" +
                                file + "\" '" + kServerBook + "' >/dev/null && psql -X -q -h " +
                                kServerFolder +
                                " -U tillbook -d tillbook_bench -c 'VACUUM ANALYZE'";
    if (std::system(prepare.c_str()) != 0) {
        std::fprintf(stderr, "cannot start the benchmark server\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("\"" + script + "\" stop " + kServerFolder).c_str());
    return 0;
}
