#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "BaseDataTestSupport.h"
#include "data/ADODatabase.h"
#include "data/BookConnection.h"
#include "categories/EntryOrder.h"
#include "support/TempBook.h"

namespace {
const char* const kMembers = "家庭成员";

// Every other entry carries a remark, which must travel with it.
std::vector<CategoryEntry> Entries(const std::vector<std::string>& types) {
    std::vector<CategoryEntry> entries;
    for (const std::string& type : types)
        entries.push_back({type, type.back() % 2 ? "备注" + type : ""});
    return entries;
}

CategoryRows Rows(const std::vector<CategoryEntry>& entries) {
    CategoryRows rows;
    for (const CategoryEntry& entry : entries)
        rows.emplace_back(entry.strType, entry.strRemark);
    return rows;
}

// A process killed at any moment of a rewrite leaves the table holding the old order or the
// new one, every row present.
TEST(EntryOrder, AKillAtAnyMomentLeavesTheOldOrTheNewOrder) {
    TempBook book;
    std::vector<std::string> forward;
    for (int i = 0; i < 40; ++i)
        forward.push_back("成员" + std::to_string(100 + i));
    std::vector<std::string> backward(forward.rbegin(), forward.rend());
    {
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        ASSERT_TRUE(StoreEntryOrder(db, kMembers, Entries(forward)));
    }
    const CategoryRows a = Rows(Entries(forward));
    const CategoryRows b = Rows(Entries(backward));

    constexpr int kTrials = 200;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    int losses = 0, inTransaction = 0, oldOrder = 0, newOrder = 0;
    const std::filesystem::path journal = book.Dir() / "data.mdb-journal";
    for (int trial = 0; trial < kTrials; ++trial) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            try {
                CADODatabase db;
                db.SetConnectionString(BookConnectionString());
                db.Open();
                const auto entriesA = Entries(forward);
                const auto entriesB = Entries(backward);
                bool sentReady = false;
                for (unsigned i = 0;; ++i) {
                    StoreEntryOrder(db, kMembers, (i % 2 == 0) ? entriesB : entriesA);
                    if (!sentReady) {
                        sentReady = write(ready[1], "r", 1) == 1;
                    }
                }
            } catch (...) {
            }
            _exit(2);
        }
        close(ready[1]);
        char byte = 0;
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(started) << "the child failed before its first rewrite";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself, status " << status;
        if (std::filesystem::exists(journal))
            ++inTransaction;
        const CategoryRows rows = KindRows(kMembers);
        if (rows == a)
            ++oldOrder;
        else if (rows == b)
            ++newOrder;
        else
            ++losses;
        EXPECT_TRUE(rows == a || rows == b)
            << "trial " << trial << ": " << rows.size() << " rows of " << a.size();
    }
    std::printf(
        "[ figures  ] %d kills, %d inside a rewrite, %d found order A, %d order B, "
        "%d damaged tables\n",
        kTrials, inTransaction, oldOrder, newOrder, losses);
    RecordProperty("kills", kTrials);
    RecordProperty("kills_inside_rewrite", inTransaction);
    RecordProperty("damaged_tables", losses);
    EXPECT_EQ(losses, 0);
    EXPECT_GT(inTransaction, kTrials / 4) << "the kills should land inside rewrites";
}
}  // namespace
