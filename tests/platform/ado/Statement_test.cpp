#include "platform/ado/Statement.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "TempDatabase.h"
#include "platform/ado/Connection.h"

static_assert(!std::is_copy_constructible_v<CStatement> && !std::is_copy_assignable_v<CStatement>);
static_assert(std::is_nothrow_move_constructible_v<CStatement>);
static_assert(!std::is_copy_constructible_v<CEngineHandle>);
static_assert(std::is_nothrow_move_assignable_v<CEngineHandle>);

TEST(Statement, MovesOwnershipAndFinalizesOnce) {
    TempDatabase db("CREATE TABLE t (a TEXT);");
    auto c = TempDatabase::Connect();
    CStatement first(*c, "INSERT INTO t (a) VALUES (?1)");
    CStatement second = std::move(first);
    EXPECT_FALSE(first.IsPrepared());
    second.BindText(1, "x");
    EXPECT_FALSE(second.Step());
    CStatement third(*c, "SELECT a FROM t");
    third = std::move(second);  // the select is finalized here, the insert kept
    EXPECT_TRUE(third.IsPrepared());
    // A connection closes cleanly only when no statement is left unfinalized.
    third = CStatement();
    EXPECT_EQ(c->Close(), S_OK);
}

TEST(Statement, BindAndStepFailuresAreThrown) {
    TempDatabase db("CREATE TABLE t (a TEXT NOT NULL);");
    auto c = TempDatabase::Connect();
    CStatement insert(*c, "INSERT INTO t (a) VALUES (?1)");
    try {
        insert.BindText(2, "no such parameter");
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), E_INVALIDARG);
    }
    insert.BindNull(1);
    try {
        insert.Step();
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), DB_E_INTEGRITYVIOLATION);
        EXPECT_EQ(e.Facts().path, (db.Dir() / "db.sqlite").string());
    }
}
