#include "platform/ado/JetDialect.h"

#include <gtest/gtest.h>

#include "platform/ado/ComError.h"

struct Rewrite {
    const char* jet;
    const char* sql;
};

class JetRewrite : public testing::TestWithParam<Rewrite> {};

TEST_P(JetRewrite, MatchesSqlite) {
    EXPECT_EQ(TranslateJetStatement(GetParam().jet).sql, GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, JetRewrite,
    testing::Values(
        // A date literal is midnight of that day, in the stored text form.
        Rewrite{"select * from t where d > #2010-03-01# and d < #2010-04-01#",
                "select * from t where d > '2010-03-01 00:00:00' and d < '2010-04-01 00:00:00'"},
        Rewrite{"select * from t where d = #2010-3-5 14:07:09#",
                "select * from t where d = '2010-03-05 14:07:09'"},
        Rewrite{"select * from t where d < #2010/12/31#",
                "select * from t where d < '2010-12-31 00:00:00'"},
        // Quoted text is copied as it is, even when it looks like a literal or SQL.
        Rewrite{"select * from t where a = '#2010-03-01#'",
                "select * from t where a = '#2010-03-01#'"},
        Rewrite{"select * from t where a = 'x'' or 1=1 --'",
                "select * from t where a = 'x'' or 1=1 --'"},
        // A date literal is one token: it never joins the text, identifier or literal beside it.
        Rewrite{"select * from t where a = 'x'#2010-01-01#",
                "select * from t where a = 'x' '2010-01-01 00:00:00'"},
        Rewrite{"select * from t where d = #2020-02-05##2020-02-05#",
                "select * from t where d = '2020-02-05 00:00:00' '2020-02-05 00:00:00'"},
        Rewrite{"select x#2010-01-01#y from t", "select x '2010-01-01 00:00:00' y from t"},
        Rewrite{"select * from t where d=#2010-01-01#",
                "select * from t where d='2010-01-01 00:00:00'"},
        Rewrite{"delete from [家庭 成员]", "delete from [家庭 成员]"},
        Rewrite{"select * from t where a = '😀 \"q\"'", "select * from t where a = '😀 \"q\"'"}));

TEST(JetDialect, SingleTableSelectAsksForRowid) {
    auto t = TranslateJetStatement("select * from normal where x = 'a, b'");
    EXPECT_EQ(t.identityTable, "normal");
    EXPECT_EQ(t.sqlWithIdentity, "select rowid, * from normal where x = 'a, b'");
    EXPECT_EQ(TranslateJetStatement("SELECT a FROM [my table]").identityTable, "my table");
}

TEST(JetDialect, JoinsAggregatesAndDistinctHaveNoIdentity) {
    for (const char* sql :
         {"select * from a, b", "select * from a join b on a.x = b.x", "select count(*) from a",
          "select distinct x from a", "select x from a group by x",
          "select x from a union select x from b", "delete from a"}) {
        EXPECT_EQ(TranslateJetStatement(sql).identityTable, "") << sql;
    }
}

TEST(JetDialect, MalformedDateLiteralIsACommandError) {
    for (const char* sql :
         {"select * from t where d > #2010-13-01#", "select * from t where d > #2010-02-30#",
          "select * from t where d > #yesterday#", "select * from t where d > #2010-01-01"}) {
        try {
            TranslateJetStatement(sql);
            ADD_FAILURE() << sql;
        } catch (const CComError& e) {
            EXPECT_EQ(e.Error(), DB_E_ERRORSINCOMMAND) << sql;
        }
    }
}

TEST(JetDialect, QuoteIdentifierDoublesQuotes) {
    EXPECT_EQ(QuoteIdentifier("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(UnquoteTableName("[x y]"), "x y");
    EXPECT_EQ(UnquoteTableName("\"a\"\"b\""), "a\"b");
    EXPECT_EQ(SqlIdentifier("家庭成员"), "[家庭成员]");
    EXPECT_EQ(SqlIdentifier("a]\"b"), "\"a]\"\"b\"");
}

class JetServerRewrite : public testing::TestWithParam<Rewrite> {};

TEST_P(JetServerRewrite, MatchesPostgreSql) {
    EXPECT_EQ(TranslateJetStatement(GetParam().jet, EngineKind::PostgreSQL).sql, GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, JetServerRewrite,
    testing::Values(
        // Names as written (so "user" is the column), typed date literals, a range read in
        // its column's order and otherwise in the stored order.
        Rewrite{"select * from tbUser where user = 'root'",
                "select * from \"tbUser\" where \"user\" = 'root'\nORDER BY rowid"},
        Rewrite{"select * from normalIncome where 收入日期 >= #2026-12-06# and [备注] like 'a%'",
                "select * from \"normalIncome\" where \"收入日期\" >= TIMESTAMP '2026-12-06 "
                "00:00:00' and \"备注\" ILIKE 'a%'\nORDER BY \"收入日期\", rowid"},
        Rewrite{"insert into 家庭成员 (类型) values ('甲' & '乙')",
                "insert into \"家庭成员\" (\"类型\") values ('甲' || '乙')"},
        // Rounding halves away from zero on the double, whole numbers of 64 bits.
        Rewrite{"select sum(cast(round(a * 100) as integer)) from t",
                "select sum(cast(trunc((\"a\" * 100) + sign(\"a\" * 100) * 0.5) as bigint)) from "
                "\"t\""},
        Rewrite{"select top 2 a, year(d) from t order by a;",
                "select  \"a\", date_part('year', \"d\") from \"t\" order by \"a\"\nLIMIT 2"}));
