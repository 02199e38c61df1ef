#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include <sys/wait.h>

#include "BillBook.h"
#include "BillSamples.h"
#include "data/BookFile.h"
#include "support/KilledChild.h"
#include "support/TempBook.h"

namespace {

namespace fs = std::filesystem;

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
    const std::vector<std::string> args{"import-bill", target, statement, "--member", "爸爸"};
    const int status = KilledChild(TILLBOOK_DB, args, false).Wait();
    const auto span = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(QueryNumber(target, "select count(*) from billImport"), kWhole);

    std::mt19937 random(std::random_device{}());
    const auto spanUs = std::chrono::duration_cast<std::chrono::microseconds>(span).count();
    std::uniform_int_distribution<long long> delayUs(0, spanUs * 11 / 10);
    int none = 0, all = 0;
    for (int trial = 0; trial < DurabilityTrials(); ++trial) {
        for (const char* suffix : {"", "-journal", "-wal"})
            fs::remove(target + suffix);
        fs::copy_file(clean, target);
        KilledChild import(TILLBOOK_DB, args, false);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        import.Kill();

        const std::vector<std::string> problems = CheckBook(target);
        ASSERT_TRUE(problems.empty()) << "trial " << trial << ": " << problems.front();
        const long long entries = QueryNumber(target, "select count(*) from normalPay") +
                                  QueryNumber(target, "select count(*) from normalIncome");
        const long long records = BookHasTable(target, "billImport")
                                      ? QueryNumber(target, "select count(*) from billImport")
                                      : 0;
        ASSERT_TRUE(entries == 0 || entries == kWhole) << "trial " << trial << ": " << entries;
        ASSERT_EQ(records, entries) << "trial " << trial;
        (entries == 0 ? none : all) += 1;
    }
    std::printf("%d trials: %d without the import, %d with all of it\n", none + all, none, all);
}

}  // namespace
