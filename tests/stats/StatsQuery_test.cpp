#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "StatsTestBook.h"
#include "data/ADODatabase.h"
#include "data/BookConnection.h"
#include "stats/StatsQuery.h"
#include "support/TempBook.h"

namespace {

// The figures worked out here from the rows themselves, the way a careful person would: round
// each amount to fen, then add whole fen.
struct Expected {
    std::map<std::string, StatsLine> members, items, months;
    StatsLine total;
};

Expected Compute(const std::vector<BookRow>& rows, const std::string& from, const std::string& to,
                 const StatsFilter& filter = {}) {
    Expected e;
    for (const BookRow& r : rows) {
        if (r.when < from || r.when >= to)
            continue;
        if (!filter.strMember.empty() && r.person != filter.strMember)
            continue;
        if (!filter.strItem.empty() && r.item != filter.strItem)
            continue;
        const std::int64_t fen = r.hasAmount ? std::llround(r.amount * 100) : 0;
        for (StatsLine* line :
             {&e.total, &e.members[r.person], &e.items[r.item], &e.months[r.when.substr(0, 7)]}) {
            StatsFigure& side = r.income ? line->income : line->pay;
            side.nCount += 1;
            side.fen += Fen(fen);
        }
    }
    return e;
}

void ExpectSameLines(const std::vector<StatsLine>& got,
                     const std::map<std::string, StatsLine>& expected, const char* what) {
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (const StatsLine& line : got) {
        auto it = expected.find(line.strKey);
        ASSERT_NE(it, expected.end()) << what << " " << line.strKey;
        EXPECT_EQ(line.income.fen.Count(), it->second.income.fen.Count())
            << what << " " << line.strKey;
        EXPECT_EQ(line.income.nCount, it->second.income.nCount) << what << " " << line.strKey;
        EXPECT_EQ(line.pay.fen.Count(), it->second.pay.fen.Count()) << what << " " << line.strKey;
        EXPECT_EQ(line.pay.nCount, it->second.pay.nCount) << what << " " << line.strKey;
    }
}

void ExpectMatches(const StatsResult& got, const Expected& e) {
    EXPECT_EQ(got.total.income.fen.Count(), e.total.income.fen.Count());
    EXPECT_EQ(got.total.income.nCount, e.total.income.nCount);
    EXPECT_EQ(got.total.pay.fen.Count(), e.total.pay.fen.Count());
    EXPECT_EQ(got.total.pay.nCount, e.total.pay.nCount);
    ExpectSameLines(got.members, e.members, "member");
    ExpectSameLines(got.items, e.items, "item");
    ExpectSameLines(got.months, e.months, "month");
}

class StatsQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.SetConnectionString(BookConnectionString());
        ASSERT_TRUE(db.Open());
    }

    StatsResult Query(const DateTimeValue& from, const DateTimeValue& to,
                      const StatsFilter& filter = {}) {
        return QueryStats(db, from, to, filter);
    }

    TempBook book;
    CADODatabase db;
};

TEST_F(StatsQueryTest, AgreesWithAnIndependentSumOnAGeneratedBook) {
    const std::vector<BookRow> rows = GenerateRows(1500, 2025, 2027, 20261207);
    AddRows(rows);
    ExpectMatches(Query(DateTimeValue(2026, 1, 1), DateTimeValue(2027, 1, 1)),
                  Compute(rows, "2026-01-01", "2027-01-01"));
    ExpectMatches(Query(DateTimeValue(2025, 1, 1), DateTimeValue(2028, 1, 1)),
                  Compute(rows, "2025-01-01", "2028-01-01"));
    ExpectMatches(Query(DateTimeValue(2026, 2, 1), DateTimeValue(2026, 3, 1)),
                  Compute(rows, "2026-02-01", "2026-03-01"));
}

TEST_F(StatsQueryTest, FiltersByMemberAndItemOnBothSides) {
    const std::vector<BookRow> rows = GenerateRows(800, 2026, 2026, 5);
    AddRows(rows);
    const DateTimeValue from(2026, 1, 1), to(2027, 1, 1);
    for (const StatsFilter& filter : {StatsFilter{"妈妈", ""}, StatsFilter{"", "餐饮"},
                                      StatsFilter{"爸爸", "工资"}, StatsFilter{"无此人", ""}}) {
        SCOPED_TRACE(filter.strMember + "/" + filter.strItem);
        ExpectMatches(Query(from, to, filter), Compute(rows, "2026-01-01", "2027-01-01", filter));
    }
}

TEST_F(StatsQueryTest, SumsRoundedFenNotFloatingPointYuan) {
    std::vector<BookRow> rows;
    // Ten times 0.1 is 0.9999999999999999 in floating point; 0.1 + 0.2 is 0.30000000000000004.
    for (int i = 0; i < 10; ++i)
        rows.push_back(Income("2026-03-01 08:00:00", 0.1));
    rows.push_back(Pay("2026-03-02 08:00:00", 0.1));
    rows.push_back(Pay("2026-03-02 09:00:00", 0.2));
    rows.push_back(Pay("2026-03-03 09:00:00", -3.35));   // a refund entered as minus
    rows.push_back(Pay("2026-03-04 09:00:00", 1.005));   // stored just below 1.005
    rows.push_back(Pay("2026-03-05 09:00:00", -0.005));  // half a fen rounds away from zero
    rows.push_back(Income("2026-03-06 09:00:00", 12345678.9));
    AddRows(rows);
    const StatsResult r = Query(DateTimeValue(2026, 3, 1), DateTimeValue(2026, 4, 1));
    EXPECT_EQ(r.total.income.fen.Count(), 100 + 1234567890);
    EXPECT_EQ(r.total.pay.fen.Count(), 10 + 20 - 335 + 100 - 1);
    EXPECT_EQ(r.total.income.nCount, 11);
    EXPECT_EQ(r.total.pay.nCount, 5);
    EXPECT_EQ(r.total.Balance().Count(), 1234567990 - (10 + 20 - 335 + 100 - 1));
    EXPECT_EQ(FenText(r.total.income.fen, FenStyle::Grouped), "12,345,679.90");
}

TEST_F(StatsQueryTest, PeriodIncludesItsFirstMidnightAndEndsBeforeTheNext) {
    AddRows({
        Income("2026-01-31 23:59:59", 1),  // before
        Income("2026-02-01 00:00:00", 2),  // first instant: counted
        Income("2026-02-28 23:59:59", 4),  // last second of the month: counted
        Income("2026-03-01 00:00:00", 8),  // next month
        Pay("2026-12-31 23:59:59", 16),    // last second of the year
        Pay("2027-01-01 00:00:00", 32),    // next year
    });
    EXPECT_EQ(Query(DateTimeValue(2026, 2, 1), DateTimeValue(2026, 3, 1)).total.income.fen.Count(),
              600);
    EXPECT_EQ(Query(DateTimeValue(2026, 3, 1), DateTimeValue(2026, 3, 2)).total.income.fen.Count(),
              800);
    const StatsResult year = Query(DateTimeValue(2026, 1, 1), DateTimeValue(2027, 1, 1));
    EXPECT_EQ(year.total.income.fen.Count(), 1500);
    EXPECT_EQ(year.total.pay.fen.Count(), 1600);
    ASSERT_EQ(year.months.size(), 4u);
    EXPECT_EQ(year.months.front().strKey, "2026-01");
    EXPECT_EQ(year.months.back().strKey, "2026-12");
}

TEST(StatsStatements, SplitAPeriodAtMonthEndsOneStatementPerSide) {
    const auto parts = StatsStatements(DateTimeValue(2026, 12, 15), DateTimeValue(2027, 2, 3), {});
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[0].strMonth, "2026-12");
    EXPECT_TRUE(parts[0].bIncome);
    EXPECT_FALSE(parts[1].bIncome);
    EXPECT_EQ(parts[5].strMonth, "2027-02");
    EXPECT_NE(parts[0].strSql.find(">= #2026-12-15# and 收入日期 < #2027-01-01#"),
              std::string::npos)
        << parts[0].strSql;
    EXPECT_NE(parts[1].strSql.find("from normalPay"), std::string::npos);
    EXPECT_NE(parts[5].strSql.find(">= #2027-02-01# and 支出日期 < #2027-02-03#"),
              std::string::npos)
        << parts[5].strSql;
    EXPECT_TRUE(StatsStatements(DateTimeValue(2026, 5, 2), DateTimeValue(2026, 5, 2), {}).empty());
    EXPECT_TRUE(StatsStatements(DateTimeValue(2026, 5, 2), DateTimeValue(2026, 5, 1), {}).empty());
}

TEST_F(StatsQueryTest, EmptyPeriodGivesZerosAndNoGroups) {
    AddRows({Income("2026-05-05 10:00:00", 5)});
    const StatsResult r = Query(DateTimeValue(2026, 6, 1), DateTimeValue(2026, 7, 1));
    EXPECT_EQ(r.total.Count(), 0);
    EXPECT_EQ(r.total.income.fen.Count(), 0);
    EXPECT_EQ(r.total.pay.fen.Count(), 0);
    EXPECT_TRUE(r.members.empty());
    EXPECT_TRUE(r.items.empty());
    EXPECT_TRUE(r.months.empty());
}

TEST_F(StatsQueryTest, AFilterTextWithAQuoteIsMatchedNotRun) {
    BookRow odd = Income("2026-05-05 10:00:00", 7);
    odd.person = "O'Neil";
    AddRows({odd, Income("2026-05-06 10:00:00", 9)});
    const StatsResult r =
        Query(DateTimeValue(2026, 5, 1), DateTimeValue(2026, 6, 1), StatsFilter{"O'Neil", ""});
    EXPECT_EQ(r.total.income.fen.Count(), 700);
    EXPECT_EQ(r.total.income.nCount, 1);
}

TEST_F(StatsQueryTest, GroupsComeLargestFirstAndMonthsInOrder) {
    AddRows({Pay("2026-05-05 10:00:00", 5, "爸爸", "交通"),
             Pay("2026-04-05 10:00:00", 50, "妈妈", "餐饮"),
             Income("2026-06-05 10:00:00", 20, "孩子", "礼金")});
    const StatsResult r = Query(DateTimeValue(2026, 1, 1), DateTimeValue(2027, 1, 1));
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0].strKey, "餐饮");
    EXPECT_EQ(r.items[1].strKey, "交通");
    EXPECT_EQ(r.items[2].strKey, "礼金");
    ASSERT_EQ(r.members.size(), 3u);
    EXPECT_EQ(r.members[0].strKey, "妈妈");
    ASSERT_EQ(r.months.size(), 3u);
    EXPECT_EQ(r.months[0].strKey, "2026-04");
    EXPECT_EQ(r.months[2].strKey, "2026-06");
}

}  // namespace
