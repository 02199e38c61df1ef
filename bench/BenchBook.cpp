#include "BenchBook.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "data/ADORecordset.h"
#include "data/BookFile.h"
#include "data/BookSide.h"
#include "platform/ado/OleDate.h"

namespace {

// One table's generated rows: who, which item and how much, spread evenly over the years.
struct RowRecipe {
    const BookSide& side;
    std::vector<const char*> people;
    std::vector<const char*> items;
    int minCents;
    int maxCents;
    unsigned seed;
};

const RowRecipe kIncome{kIncomeSide,
                        {"爸爸", "妈妈", "孩子"},
                        {"工资", "奖金", "理财收益", "兼职收入", "礼金", "其他收入"},
                        100,
                        2000000,
                        42};

const RowRecipe kPay{kPaySide,
                     {"爸爸", "妈妈", "孩子"},
                     {"餐饮", "交通", "住房", "水电燃气", "通讯", "教育", "医疗", "服饰", "日用品",
                      "娱乐", "人情往来", "其他支出"},
                     1,
                     500000,
                     7};

void FillTable(sqlite3* db, const RowRecipe& recipe, int rows) {
    const BookSide& side = recipe.side;
    const std::string sql = std::string("INSERT INTO ") + side.entryTable + " (" +
                            side.memberColumn + ", " + side.amountColumn + ", " + side.dateColumn +
                            ", " + side.itemColumn + ", " + side.remarkColumn +
                            ") VALUES (?, ?, ?, ?, ?)";
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr);
    double first = 0, last = 0;
    OleDateFromFields(kBenchFirstYear, 1, 1, 0, 0, 0, 0, first);
    OleDateFromFields(kBenchFirstYear + kBenchYears, 1, 1, 0, 0, 0, 0, last);
    std::mt19937 random(recipe.seed);
    std::uniform_int_distribution<int> person(0, static_cast<int>(recipe.people.size()) - 1);
    std::uniform_int_distribution<int> item(0, static_cast<int>(recipe.items.size()) - 1);
    std::uniform_int_distribution<int> cents(recipe.minCents, recipe.maxCents);
    for (int i = 0; i < rows; ++i) {
        // Evenly spread and ascending, as entries made day by day would be.
        const double when = first + (last - first) * i / rows;
        const std::string iso = OleDateToIsoText(when);
        sqlite3_bind_text(insert, 1, recipe.people[person(random)], -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, cents(random) / 100.0);
        sqlite3_bind_text(insert, 3, iso.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, recipe.items[item(random)], -1, SQLITE_STATIC);
        if (i % 4 == 0) {
            sqlite3_bind_text(insert, 5, "备注", -1, SQLITE_STATIC);
        } else {
            sqlite3_bind_null(insert, 5);
        }
        if (sqlite3_step(insert) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

void EnsureBook(const std::string& path,
                const std::vector<std::pair<const RowRecipe*, int>>& tables) {
    if (std::filesystem::exists(path))
        return;
    const std::string temp = path + ".partial";
    std::filesystem::remove(temp);
    CreateBook(temp);
    sqlite3* db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("open failed");
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr,
                 nullptr);
    for (const auto& [recipe, rows] : tables)
        FillTable(db, *recipe, rows);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::filesystem::rename(temp, path);
}

}  // namespace

void EnsureBenchBook(const std::string& path) {
    EnsureBook(path, {{&kIncome, kBenchRows}});
}

void EnsureSmallBenchBook(const std::string& path) {
    EnsureBook(path, {{&kIncome, kBenchRows / 10}});
}

void EnsureStatsBenchBook(const std::string& path) {
    EnsureBook(path, {{&kIncome, kBenchRows / 2}, {&kPay, kBenchRows / 2}});
}

void EnterBenchBook(const std::string& dir, void (*make)(const std::string& path)) {
    std::filesystem::create_directories(dir);
    std::printf("Book: %s/data.mdb (made on first run)\n", dir.c_str());
    make(dir + "/data.mdb");
    std::filesystem::current_path(dir);
}

long WalkIncomeRows(CADORecordset& rs) {
    long rows = 0;
    std::string number, person, item;
    double amount = 0;
    DateTimeValue when;
    while (!rs.IsEOF()) {
        rs.GetFieldValue(0, number);
        rs.GetFieldValue(1, person);
        rs.GetFieldValue(2, amount);
        rs.GetFieldValue(3, when);
        rs.GetFieldValue(4, item);
        benchmark::DoNotOptimize(amount);
        ++rows;
        rs.MoveNext();
    }
    return rows;
}
