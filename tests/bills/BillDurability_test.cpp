#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BillBook.h"
#include "BillSamples.h"
#include "data/BookFile.h"
#include "support/TempBook.h"

namespace {

namespace fs = std::filesystem;

int Trials() {
    const char* asked = std::getenv("TILLBOOK_DURABILITY_TRIALS");
    return asked ? std::max(200, std::atoi(asked)) : 200;
}

pid_t StartImport(const std::string& book, const std::string& file) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(TILLBOOK_DB, TILLBOOK_DB, "import-bill", book.c_str(), file.c_str(), "--member",
              "爸爸", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Each trial imports a 2,000-row statement into a fresh copy of a book and kills the command
// with SIGKILL at a random moment of its run. The book must then be sound and hold the whole
// import or nothing of it, the entries and their import records alike.
TEST(BillDurability, AKilledImportLeavesAllOrNothing) {
    TempBook book;
    const std::string statement = (book.Dir() / "statement.csv").string();
    WriteBytes(statement, ToGb18030(AlipaySample(2000)));
    const std::string clean = (book.Dir() / "clean.mdb").string();
    fs::copy_file(book.BookPath(), clean);
    const std::string target = (book.Dir() / "trial.mdb").string();
    constexpr long long kWhole = 1850;  // 37 of every 40 rows are booked

    // One undisturbed run sets the span the kills fall into.
    fs::copy_file(clean, target, fs::copy_options::overwrite_existing);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    waitpid(StartImport(target, statement), &status, 0);
    const auto span = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(QueryNumber(target, "select count(*) from billImport"), kWhole);

    std::mt19937 random(std::random_device{}());
    const auto spanUs = std::chrono::duration_cast<std::chrono::microseconds>(span).count();
    std::uniform_int_distribution<long long> delayUs(0, spanUs * 11 / 10);
    int none = 0, all = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        for (const char* suffix : {"", "-journal", "-wal"})
            fs::remove(target + suffix);
        fs::copy_file(clean, target);
        const pid_t pid = StartImport(target, statement);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);

        const std::vector<std::string> problems = CheckBook(target);
        ASSERT_TRUE(problems.empty()) << "trial " << trial << ": " << problems.front();
        const long long entries = QueryNumber(target, "select count(*) from normalPay") +
                                  QueryNumber(target, "select count(*) from normalIncome");
        const bool hasRecords =
            QueryNumber(target, "select count(*) from sqlite_master where name = 'billImport'") > 0;
        const long long records =
            hasRecords ? QueryNumber(target, "select count(*) from billImport") : 0;
        ASSERT_TRUE(entries == 0 || entries == kWhole) << "trial " << trial << ": " << entries;
        ASSERT_EQ(records, entries) << "trial " << trial;
        (entries == 0 ? none : all) += 1;
    }
    std::printf("%d trials: %d without the import, %d with all of it\n", none + all, none, all);
}

}  // namespace
