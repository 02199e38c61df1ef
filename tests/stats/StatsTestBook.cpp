#include "StatsTestBook.h"

#include <cstdio>
#include <random>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/SqlText.h"

BookRow Income(const std::string& when, double amount, const std::string& person,
               const std::string& item) {
    return BookRow{true, when, amount, true, person, item};
}

BookRow Pay(const std::string& when, double amount, const std::string& person,
            const std::string& item) {
    return BookRow{false, when, amount, true, person, item};
}

std::vector<BookRow> GenerateRows(int count, int firstYear, int lastYear, unsigned seed) {
    static const char* const people[] = {"爸爸", "妈妈", "孩子"};
    static const char* const incomeItems[] = {"工资", "奖金", "礼金"};
    static const char* const payItems[] = {"餐饮", "交通", "住房", "医疗"};
    static const double awkward[] = {0.1,   0.2,      0.3,   1.005,   2.675,     -3.35,
                                     -0.01, 99999.99, 0.015, 3.14159, 1e7 + 0.07};
    std::mt19937 random(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::vector<BookRow> rows;
    for (int i = 0; i < count; ++i) {
        BookRow r;
        r.income = pick(3) == 0;
        const int year = firstYear + pick(lastYear - firstYear + 1);
        const int month = 1 + pick(12);
        const int day = 1 + pick(month == 2 ? 28 : 30);
        const bool midnight = pick(8) == 0;
        char when[64];
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                      midnight ? 0 : pick(24), midnight ? 0 : pick(60), midnight ? 0 : pick(60));
        r.when = when;
        r.amount = pick(2) == 0 ? awkward[pick(std::size(awkward))] : pick(500000) / 100.0;
        r.hasAmount = pick(50) != 0;
        r.person = pick(50) == 0 ? "" : people[pick(3)];
        r.item = r.income ? incomeItems[pick(3)] : payItems[pick(4)];
        rows.push_back(r);
    }
    return rows;
}

namespace {
std::string Quoted(const std::string& text) {
    return text.empty() ? "null" : "'" + SqlText(text) + "'";
}
}  // namespace

void AddRows(const std::vector<BookRow>& rows) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    db.BeginTrans();
    for (const BookRow& r : rows) {
        char amount[40] = "null";
        if (r.hasAmount)
            std::snprintf(amount, sizeof amount, "%.17g", r.amount);
        const std::string sql =
            r.income ? "insert into normalIncome (收入人员, 收入金额, 收入日期, 收入项目) values ("
                     : "insert into normalPay (支出人员, 支出金额, 支出日期, 支出项目) values (";
        CADORecordset rs(&db);
        rs.Open(
            db.GetActiveConnection(),
            sql + Quoted(r.person) + ", " + amount + ", #" + r.when + "#, " + Quoted(r.item) + ")",
            CADORecordset::OpenDefault);
    }
    db.CommitTrans();
}
