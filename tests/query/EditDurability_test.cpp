#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>

#include "data/BookFile.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Statement.h"
#include "support/KilledChild.h"
#include "support/TempBook.h"

namespace {
// Every row of a table exactly as stored, by 编号: "quote(member)|amount|quote(date)|...".
using Book = std::map<long, std::vector<std::string>>;

Book Read(const std::string& path, const std::string& table) {
    CConnection db;
    db.OpenFile(path);
    // Columns by position, whatever the side calls them; each as "<storage class>:<text>".
    CStatement stmt(db, "select * from " + table);
    Book book;
    while (stmt.Step()) {
        std::vector<std::string> row;
        for (int c = 1; c < stmt.ColumnCount(); ++c) {
            const EngineValue value = stmt.Column(c, VarKind::Text);
            row.push_back(std::to_string(static_cast<int>(value.type)) + ":" +
                          std::string(value.Bytes()));
        }
        book[static_cast<long>(stmt.ColumnInt64(0))] = row;
    }
    return book;
}

void AddRows(const std::string& path, const std::string& table, int count, int trial) {
    CConnection db;
    db.OpenFile(path);
    std::string sql = "begin;";
    for (int i = 0; i < count; ++i)
        sql += "insert into " + table + " values (null, '妈妈', " + std::to_string(100 + i) +
               ", '2026-12-06 0" + std::to_string(i % 10) + ":00:00', '" +
               (table == "normalIncome" ? "工资" : "餐饮") + "', " +
               (i % 3 == 0 ? std::string("null") : "'T" + std::to_string(trial) + "'") + ");";
    db.Execute((sql + "commit").c_str());
}

// The book the child's steps leave, from `book`: each step applied in turn, a step back
// undoing the last step not yet taken back.
struct Model {
    Book book;
    std::vector<Book> before;  // the rows each step changed, as they were

    void Apply(const std::string& line) {
        std::istringstream in(line.substr(2));
        char kind = 0;
        in >> kind;
        if (kind == 'U') {
            for (const auto& [number, row] : before.back()) {
                if (row.empty())
                    book.erase(number);
                else
                    book[number] = row;
            }
            before.pop_back();
            return;
        }
        Book was;
        long number = 0;
        if (kind == 'D') {
            while (in >> number) {
                was[number] = book.at(number);
                book.erase(number);
            }
        } else {
            std::string amount;
            in >> number >> amount;
            was[number] = book.at(number);
            book[number][1] = "2:" + amount + ".0";  // the form stores 125 as the double 125.0
        }
        before.push_back(was);
    }
};

// Each trial starts a child that deletes, changes and takes back entries through the real
// query dialog and kills it with SIGKILL at a random moment. The book must then be sound and
// hold exactly the result of every acknowledged step, and of the one under way or not at all.
TEST(EditDurability, EveryAcknowledgedStepSurvivesSigkill) {
    TempBook book;
    const std::string path = book.BookPath().string();
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 150000);
    long acknowledged = 0, underWayDone = 0, undos = 0;
    const int trials = DurabilityTrials();

    for (int trial = 0; trial < trials; ++trial) {
        const char* kind = trial % 2 == 0 ? "income" : "pay";
        const std::string table = trial % 2 == 0 ? "normalIncome" : "normalPay";
        if (Read(path, table).size() < 12)
            AddRows(path, table, 30, trial);
        Model model{Read(path, table), {}};

        KilledChild child(TILLBOOK_CRASH_CHILD, {book.Dir().string(), std::to_string(trial), kind},
                          true);
        ASSERT_TRUE(child.WaitFor("A\n", std::chrono::seconds(20)))
            << "no step within 20 s: " << child.Output();
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_TRUE(WIFSIGNALED(child.Kill())) << "trial " << trial << ": " << child.Output();

        std::string underWay;
        std::istringstream lines(child.Output());
        for (std::string line; std::getline(lines, line);) {
            if (lines.eof())
                break;  // cut off by the kill
            ASSERT_NE(line.rfind("E ", 0), 0u) << "trial " << trial << " showed " << line;
            if (line == "A") {
                model.Apply(underWay);
                undos += underWay == "P U" ? 1 : 0;
                ++acknowledged;
                underWay.clear();
            } else {
                underWay = line;
            }
        }

        const std::vector<std::string> problems = CheckBook(path);
        ASSERT_TRUE(problems.empty()) << "trial " << trial << ": " << problems.front();
        const Book stored = Read(path, table);
        if (stored == model.book)
            continue;
        ASSERT_FALSE(underWay.empty()) << "trial " << trial << ": an acknowledged step was lost";
        model.Apply(underWay);
        ASSERT_TRUE(stored == model.book)
            << "trial " << trial << ": neither before nor after " << underWay;
        ++underWayDone;
    }
    std::printf(
        "durability: %d trials, %ld steps acknowledged (%ld of them steps back), %ld stored "
        "but killed before acknowledging, seed %u\n",
        trials, acknowledged, undos, underWayDone, seed);
    EXPECT_GT(acknowledged, trials);
}
}  // namespace
