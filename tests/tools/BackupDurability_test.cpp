#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <sys/wait.h>

#include "data/ADODatabase.h"
#include "data/BackupCatalog.h"
#include "data/BookBackup.h"
#include "platform/ado/DatabaseBackup.h"
#include "support/KilledChild.h"
#include "support/TempBook.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void AddIncome(int count) {
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(count) +
        ") INSERT INTO normalIncome (收入人员, 收入金额, 收入日期, 收入项目, 备注) "
        "SELECT '爸爸', i, '2026-01-01 10:00:00', '工资', printf('第%d笔，留出一些字', i) FROM n";
    db.GetActiveConnection()->Execute(sql.c_str());
}

// Runs the tool to its end once and returns how long that took.
std::chrono::microseconds TimeOneRun(const std::vector<std::string>& args) {
    const auto start = Clock::now();
    const int status = KilledChild(TILLBOOK_DB, args, false).Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

// Kills the tool at a random moment of a run as long as `typical`; true when it was killed
// before it ended. The length follows the machine's pace: shorter after a run that ended
// first, longer after one that was killed, so most kills land inside a run however busy the
// machine is.
bool RunAndKill(const std::vector<std::string>& args, std::chrono::microseconds& typical,
                std::mt19937& random) {
    std::uniform_int_distribution<long> delay(0, typical.count() * 6 / 5);
    KilledChild tool(TILLBOOK_DB, args, false);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    const int status = tool.Kill();
    typical = typical * (WIFSIGNALED(status) ? 51 : 45) / 50;
    return WIFSIGNALED(status);
}

// Every listed backup not seen before is whole and holds one of the expected row counts.
void ExpectListedBackupsWhole(std::set<std::string>& seen, const std::set<long long>& counts,
                              int trial) {
    for (const BackupFile& file : ListBackups("backups", "data.mdb")) {
        if (!seen.insert(file.path).second)
            continue;
        ASSERT_TRUE(DatabaseIntegrityProblems(file.path).empty()) << "trial " << trial;
        EXPECT_EQ(counts.count(SummarizeBook(file.path).income), 1u)
            << "trial " << trial << ": " << file.path;
    }
}

TEST(BackupDurability, AKilledBackupNeverListsAHalfWrittenFileNorHarmsTheBook) {
    TempBook book;
    AddIncome(20000);
    const std::vector<std::string> args{"backup", book.BookPath().string()};
    auto typical = TimeOneRun(args);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::set<std::string> seen;
    int killed = 0;
    for (int trial = 0; trial < DurabilityTrials(); ++trial) {
        killed += RunAndKill(args, typical, random) ? 1 : 0;
        ASSERT_TRUE(DatabaseIntegrityProblems("data.mdb").empty()) << "trial " << trial;
        ASSERT_EQ(SummarizeBook("data.mdb").income, 20000);
        ExpectListedBackupsWhole(seen, {20000}, trial);
    }
    std::printf(
        "backup kills: %d of %d runs killed before the end (a run takes %lld us), %zu "
        "backups listed in all, seed %u\n",
        killed, DurabilityTrials(), static_cast<long long>(typical.count()), seen.size(), seed);
    EXPECT_GT(killed, DurabilityTrials() / 2);
}

TEST(BackupDurability, AKilledRestoreLeavesTheOldBookOrTheRestoredOneWhole) {
    TempBook book;
    AddIncome(20000);
    fs::create_directory("kept");
    const std::string a = BackUpBook("data.mdb", "kept").path;
    AddIncome(5000);
    const std::string b = BackUpBook("data.mdb", "kept").path;
    const std::map<std::string, long long> rows{{a, 20000}, {b, 25000}};
    auto typical = TimeOneRun({"restore", a, book.BookPath().string()});
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::set<std::string> seen;
    long long now = 20000;
    int killed = 0, restored = 0;
    for (int trial = 0; trial < DurabilityTrials(); ++trial) {
        const std::string& from = trial % 2 == 0 ? b : a;
        killed += RunAndKill({"restore", from, book.BookPath().string()}, typical, random) ? 1 : 0;
        ASSERT_TRUE(DatabaseIntegrityProblems("data.mdb").empty()) << "trial " << trial;
        const long long after = SummarizeBook("data.mdb").income;
        ASSERT_TRUE(after == now || after == rows.at(from))
            << "trial " << trial << ": " << after << " rows";
        restored += after != now ? 1 : 0;
        now = after;
        ExpectListedBackupsWhole(seen, {20000, 25000}, trial);
    }
    std::printf(
        "restore kills: %d of %d runs killed before the end, %d changed the book, "
        "seed %u\n",
        killed, DurabilityTrials(), restored, seed);
    EXPECT_GT(killed, DurabilityTrials() / 2);
    EXPECT_GT(restored, 0);
}

}  // namespace
