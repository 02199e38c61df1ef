#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "data/ADODatabase.h"
#include "data/BackupRetention.h"
#include "data/BookBackup.h"
#include "data/BookFile.h"
#include "data/BookRestore.h"
#include "platform/ado/DatabaseBackup.h"
#include "support/TempBook.h"

namespace fs = std::filesystem;

namespace {

constexpr LocalSeconds kHour = 3600;
constexpr LocalSeconds kDay = 24 * kHour;

// Runs statements on the book in the working directory.
void Execute(const std::string& sql) {
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    db.GetActiveConnection()->Execute(sql.c_str());
}

void AddIncome(int count, const std::string& date = "2026-03-04 10:00:00") {
    std::string sql = "BEGIN;";
    for (int i = 0; i < count; ++i)
        sql +=
            "INSERT INTO normalIncome (收入人员, 收入金额, 收入日期, 收入项目) VALUES ('爸爸', 1, "
            "'" +
            date + "', '工资');";
    Execute(sql + "COMMIT;");
}

std::vector<BackupFile> Backups() {
    return ListBackups("backups", "data.mdb");
}

struct RetentionCase {
    const char* name;
    std::vector<LocalSeconds> agesInHours;  // how long before now each backup was taken
    std::vector<std::size_t> removed;
};

// 2026-12-07 (a Monday) 12:00 as local seconds.
constexpr LocalSeconds kNow = 1796644800;

TEST(BackupRetention, KeepsRecentDailyWeeklyAndMonthlyOnes) {
    const std::vector<RetentionCase> cases{
        {"every one of the last day, up to ten", {0, 1, 2, 3}, {}},
        {"the eleventh of the last day goes", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {10}},
        // Days ago 1..9 (each at noon), one a day: seven daily ones, then the weeks.
        {"the newest of the 7 latest days, then of the 4 latest weeks",
         {24, 48, 72, 96, 120, 144, 168, 192, 216},
         {8}},
        {"two of an older day: the older goes", {0, 30, 26}, {1}},
        {"one a month for a year and a half: 12 months kept",
         {0, 31 * 24, 62 * 24, 93 * 24, 124 * 24, 155 * 24, 186 * 24, 217 * 24, 248 * 24, 279 * 24,
          310 * 24, 341 * 24, 372 * 24, 403 * 24, 434 * 24},
         {12, 13, 14}},
    };
    for (const RetentionCase& c : cases) {
        std::vector<LocalSeconds> times;
        for (LocalSeconds age : c.agesInHours)
            times.push_back(kNow - age * kHour);
        EXPECT_EQ(BackupsToRemove(times, kNow), c.removed) << c.name;
    }
    // One a day for 400 days: 7 days, 3 more weeks, 10 more months.
    std::vector<LocalSeconds> daily;
    for (int day = 1; day <= 400; ++day)
        daily.push_back(kNow - day * kDay);
    EXPECT_EQ(daily.size() - BackupsToRemove(daily, kNow).size(), 7u + 3u + 10u);
}

TEST(BookBackup, ABackupIsAWholeListedCopyAndTheCommandsAgree) {
    TempBook book;
    AddIncome(3, "2026-05-06 08:00:00");
    Execute(
        "INSERT INTO normalPay (支出人员, 支出金额, 支出日期, 支出项目) VALUES "
        "('妈妈', 2, '2026-01-02 09:00:00', '伙食')");
    const BackupFile made = BackUpBook("data.mdb");
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(fs::absolute(Backups()[0].path), made.path);
    EXPECT_TRUE(CheckBook(made.path).empty());
    const BookSummary summary = SummarizeBook(made.path);
    EXPECT_EQ(summary.income, 3);
    EXPECT_EQ(summary.expense, 1);
    EXPECT_EQ(summary.firstDate, "2026-01-02");
    EXPECT_EQ(summary.lastDate, "2026-05-06");
    // No temporary file is left beside it, and a second one in the same second gets its own name.
    BackUpBook("data.mdb");
    EXPECT_EQ(Backups().size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator("backups"), fs::directory_iterator()), 2);

    EXPECT_FALSE(BackUpIfDue("data.mdb"));  // the newest is less than a day old
    fs::remove_all("backups");
    EXPECT_TRUE(BackUpIfDue("data.mdb"));
    EXPECT_EQ(Backups().size(), 1u);
}

TEST(BookBackup, AnUnwritableFolderLeavesTheBookAndTellsOnceADay) {
    TempBook book;
    AddIncome(2);
    std::ofstream("backups") << "a file where the folder should be";
    std::vector<std::string> notices;
    SetBackupNoticeSink([&notices](const std::string& text) { notices.push_back(text); });
    try {
        BackUpBook("data.mdb");
        ADD_FAILURE() << "no error";
    } catch (const BackupError& e) {
        EXPECT_EQ(e.GetKind(), BackupError::Kind::NoPermission) << e.what();
    }
    EXPECT_FALSE(BackUpBeforeBulkChange("data.mdb"));
    EXPECT_FALSE(BackUpBeforeBulkChange("data.mdb"));
    SetBackupNoticeSink({});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].rfind("账本没有能够自动备份：没有权限写入备份文件夹“", 0), 0u)
        << notices[0];
    EXPECT_NE(notices[0].find("账本本身没有任何改动"), std::string::npos);
    std::stringstream read;
    read << std::ifstream("tillbook.log").rdbuf();
    const std::string log = read.str();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_EQ(SummarizeBook("data.mdb").income, 2);
    EXPECT_TRUE(CheckBook("data.mdb").empty());
}

// Each write adds an income and an expense in one transaction: a consistent copy holds as
// many of one as of the other.
TEST(BookBackup, ABackupTakenWhileAnotherConnectionWritesIsConsistent) {
    TempBook book;
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread writer([&] {
        CADODatabase db;
        db.SetConnectionString(TempBook::ConnectionString());
        db.Open();
        while (!stop) {
            db.GetActiveConnection()->Execute(
                "BEGIN IMMEDIATE;"
                "INSERT INTO normalIncome (收入金额, 收入日期) VALUES (1, '2026-01-01 00:00:00');"
                "INSERT INTO normalPay (支出金额, 支出日期) VALUES (1, '2026-01-01 00:00:00');"
                "COMMIT;");
            ++written;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    // Backups go on until the writer has written between them, however the threads are scheduled.
    int backups = 0;
    for (; (backups < 5 || written < 10) && backups < 500; ++backups) {
        const BackupFile made = BackUpBook("data.mdb", "copies");
        const BookSummary summary = SummarizeBook(made.path);
        EXPECT_EQ(summary.income, summary.expense) << made.path;
        EXPECT_TRUE(DatabaseIntegrityProblems(made.path).empty());
    }
    stop = true;
    writer.join();
    EXPECT_GE(written, 10) << "after " << backups << " backups";
}

TEST(BookRestore, PutsABackupInPlaceAfterBackingUpTheBook) {
    TempBook book;
    AddIncome(1);
    const BackupFile one = BackUpBook("data.mdb");
    AddIncome(4);
    const std::string before = RestoreBook(one.path, "data.mdb");
    EXPECT_EQ(SummarizeBook("data.mdb").income, 1);
    EXPECT_EQ(SummarizeBook(before).income, 5);
    EXPECT_TRUE(CheckBook("data.mdb").empty());
    EXPECT_EQ(Backups().size(), 2u);
}

TEST(BookRestore, RefusesWhatIsNotASoundBookAndChangesNothing) {
    TempBook book;
    AddIncome(2);
    std::ofstream("notes.mdb") << "not a database at all";
    std::ofstream("empty.mdb");
    for (const char* offered : {"notes.mdb", "empty.mdb", "missing.mdb", "data.mdb"}) {
        try {
            RestoreBook(offered, "data.mdb");
            ADD_FAILURE() << offered << " was restored";
        } catch (const BackupError& e) {
            EXPECT_EQ(e.GetKind(), BackupError::Kind::NotABook) << offered << ": " << e.what();
        }
    }
    EXPECT_EQ(SummarizeBook("data.mdb").income, 2);
    EXPECT_FALSE(fs::exists("backups"));
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        EXPECT_NE(entry.path().filename().string().rfind(".data.mdb.restore-", 0), 0u);
}

TEST(BookRestore, ADamagedBookIsKeptAsItWasNotListedAsABackup) {
    TempBook book;
    AddIncome(200);
    const BackupFile sound = BackUpBook("data.mdb");
    {
        // Scribble over the pages after the first: the book can no longer be read whole.
        std::fstream file("data.mdb", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096);
        file << std::string(3 * 4096, 'x');
    }
    const std::string kept = RestoreBook(sound.path, "data.mdb");
    EXPECT_NE(kept.find(".damaged.mdb"), std::string::npos) << kept;
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_EQ(Backups().size(), 1u);
    EXPECT_EQ(SummarizeBook("data.mdb").income, 200);
}

}  // namespace
