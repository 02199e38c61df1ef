#include "BenchBook.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "data/BookFile.h"
#include "platform/ado/OleDate.h"

void EnsureBenchBook(const std::string& path) {
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
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO normalIncome (收入人员, 收入金额, 收入日期, 收入项目, 备注) "
                       "VALUES (?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    const char* people[] = {"爸爸", "妈妈", "孩子"};
    const char* items[] = {"工资", "奖金", "理财收益", "兼职收入", "礼金", "其他收入"};
    double first = 0, last = 0;
    OleDateFromFields(kBenchFirstYear, 1, 1, 0, 0, 0, 0, first);
    OleDateFromFields(kBenchFirstYear + kBenchYears, 1, 1, 0, 0, 0, 0, last);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> person(0, 2), item(0, 5), cents(100, 2000000);
    for (int i = 0; i < kBenchRows; ++i) {
        // Evenly spread and ascending, as entries made day by day would be.
        const double when = first + (last - first) * i / kBenchRows;
        const std::string iso = OleDateToIsoText(when);
        sqlite3_bind_text(insert, 1, people[person(random)], -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, cents(random) / 100.0);
        sqlite3_bind_text(insert, 3, iso.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, items[item(random)], -1, SQLITE_STATIC);
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
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::filesystem::rename(temp, path);
}
