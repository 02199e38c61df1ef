#include "platform/ado/Recordset.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "platform/ado/OleDate.h"

namespace {

const char* kScript = R"(
CREATE TABLE items (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT UNIQUE, amount DOUBLE,
                    at DATETIME, note TEXT);
CREATE TABLE plain (name TEXT);
CREATE TABLE kinds (s SHORT, i INTEGER, b BYTE, f SINGLE, d DOUBLE, c CURRENCY, n DECIMAL,
                    t DATETIME, x TEXT, y YESNO, z);
CREATE VIEW named AS SELECT name FROM items;
INSERT INTO items (name, amount, at) VALUES ('a', 1.5, '2010-03-01 00:00:00'),
    ('b', 2, '2010-03-01 00:00:00.001'), ('c', 3, '2010-03-31 23:59:59'),
    ('d', 4, '2010-04-01 00:00:00');
)";

}  // namespace

class RecordsetTest : public testing::Test {
protected:
    TempDatabase m_db{kScript};
    ConnectionPtr m_conn = TempDatabase::Connect();

    std::vector<std::string> Column(const std::string& source, const char* field,
                                    long options = adCmdUnknown) {
        CRecordset rs;
        rs.Open(source, m_conn, adOpenStatic, adLockOptimistic, options);
        std::vector<std::string> out;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            out.push_back(rs.GetValue(CVariant::FromText(field)).TextValue());
        }
        return out;
    }
};

using Names = std::vector<std::string>;

TEST_F(RecordsetTest, DateRangeBoundsAreExclusiveAtMidnight) {
    EXPECT_EQ(Column("select * from items where at > #2010-03-01# and at < #2010-04-01#", "name"),
              (Names{"b", "c"}));
}

TEST_F(RecordsetTest, TableByNameKeepsInsertionOrderAcrossDeleteAllAndReinsert) {
    for (const char* table : {"items", "plain"}) {
        CRecordset del;
        del.Open(std::string("delete from ") + table, m_conn, adOpenStatic, adLockOptimistic,
                 adCmdUnknown);
        EXPECT_EQ(del.GetState(), 0);
        CRecordset rs;
        rs.Open(table, m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
        EXPECT_TRUE(rs.IsEOF() && rs.IsBOF());
        for (const char* name : {"z", "m", "a", "q"}) {
            rs.AddNew();
            rs.PutValue(CVariant::FromText("name"), CVariant::FromText(name));
            rs.Update();
        }
        EXPECT_EQ(Column(table, "name", adCmdTable), (Names{"z", "m", "a", "q"})) << table;
    }
}

TEST_F(RecordsetTest, SelectedRowsWriteBackToTheirTable) {
    CRecordset rs;
    rs.Open("select * from items where name = 'b'", m_conn, adOpenStatic, adLockOptimistic,
            adCmdUnknown);
    ASSERT_EQ(rs.GetRecordCount(), 1);
    rs.PutValue(CVariant::FromText("note"), CVariant::FromText("changed"));
    rs.Update();
    rs.AddNew();
    rs.PutValue(CVariant::FromText("name"), CVariant::FromText("e"));
    rs.Update();
    // The engine's auto-number is visible on the stored row.
    EXPECT_EQ(rs.GetValue(CVariant::FromText("id")).IntValue(), 5);
    EXPECT_EQ(Column("select * from items where note = 'changed'", "name"), (Names{"b"}));

    CRecordset del;
    del.Open("select * from items where name = 'a'", m_conn, adOpenStatic, adLockOptimistic,
             adCmdUnknown);
    del.Delete(adAffectCurrent);
    EXPECT_EQ(del.GetRecordCount(), 0);
    EXPECT_THROW(del.GetValue(CVariant::FromText("name")), CComError);
    EXPECT_EQ(Column("items", "name", adCmdTable), (Names{"b", "c", "d", "e"}));
}

TEST_F(RecordsetTest, CancelUpdateDropsThePendingRowAndRestoresEdits) {
    CRecordset rs;
    rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.PutValue(CVariant::FromText("name"), CVariant::FromText("edited"));
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetValue(CVariant::FromText("name")).TextValue(), "a");
    rs.AddNew();
    EXPECT_EQ(rs.GetRecordCount(), 5);
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetRecordCount(), 4);
    EXPECT_EQ(Column("items", "name", adCmdTable), (Names{"a", "b", "c", "d"}));
}

TEST_F(RecordsetTest, RowsWithoutOneTableAreReadOnly) {
    for (const char* sql :
         {"select count(*) from items", "select a.name from items a, plain b", "named"}) {
        CRecordset rs;
        rs.Open(sql, m_conn, adOpenStatic, adLockOptimistic, adCmdUnknown);
        try {
            rs.AddNew();
            FAIL() << sql;
        } catch (const CComError& e) {
            EXPECT_EQ(e.Error(), ADO_E_FEATURENOTAVAILABLE) << sql;
        }
    }
}

TEST_F(RecordsetTest, OnlyOneStatementRunsPerOpen) {
    CRecordset rs;
    EXPECT_THROW(rs.Open("delete from items; drop table plain", m_conn, adOpenStatic,
                         adLockOptimistic, adCmdUnknown),
                 CComError);
    EXPECT_EQ(Column("items", "name", adCmdTable).size(), 4u);
    EXPECT_NO_THROW(Column("plain", "name", adCmdTable));
}

TEST_F(RecordsetTest, NavigationAndLookupFailuresAreComErrors) {
    CRecordset rs;
    rs.Open("select * from items where name = 'none'", m_conn, adOpenStatic, adLockOptimistic,
            adCmdUnknown);
    EXPECT_TRUE(rs.IsEOF());
    try {
        rs.MoveNext();
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), ADO_E_NOCURRENTRECORD);
    }
    rs.Close();
    rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    for (const CVariant& key :
         {CVariant::FromText("nope"), CVariant::FromI2(5), CVariant::FromI2(-1)}) {
        try {
            rs.GetValue(key);
            FAIL();
        } catch (const CComError& e) {
            EXPECT_EQ(e.Error(), ADO_E_ITEMNOTFOUND);
        }
    }
    EXPECT_EQ(rs.GetValue(CVariant::FromText("NAME")).TextValue(), "a");
    rs.Close();
    EXPECT_THROW(rs.IsEOF(), CComError);
}

TEST_F(RecordsetTest, DeclaredTypesDecideTheKinds) {
    m_conn->Execute(
        "INSERT INTO kinds VALUES (-5, 70000, 200, 0.5, 2.25, 12.3456, 123.45, "
        "'2010-03-05 14:07:09.250', 'txt', 1, 7)");
    CRecordset rs;
    rs.Open("kinds", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    const VarKind expected[] = {VarKind::I2,   VarKind::I4,       VarKind::UI1,     VarKind::R4,
                                VarKind::R8,   VarKind::Currency, VarKind::Decimal, VarKind::Date,
                                VarKind::Text, VarKind::Bool,     VarKind::I4};
    for (short i = 0; i < 11; ++i) {
        EXPECT_EQ(rs.GetValue(CVariant::FromI2(i)).Kind(), expected[i]) << i;
    }
    EXPECT_EQ(rs.GetValue(CVariant::FromI2(0)).IntValue(), -5);
    EXPECT_EQ(rs.GetValue(CVariant::FromI2(5)).IntValue(), 123456);
    const DecimalParts n = rs.GetValue(CVariant::FromI2(6)).DecimalValue();
    EXPECT_EQ(n.lo64, 12345u);
    EXPECT_EQ(n.scale, 2);
    OleDateFields f;
    ASSERT_TRUE(OleDateToFields(rs.GetValue(CVariant::FromI2(7)).RealValue(), f));
    EXPECT_EQ(f.nMillisecond, 250);
}

TEST_F(RecordsetTest, DatesAreStoredAsIsoTextToTheMillisecond) {
    double when = 0;
    ASSERT_TRUE(OleDateFromFields(2010, 3, 5, 14, 7, 9, 0, when));
    double withMs = 0;
    ASSERT_TRUE(OleDateFromFields(1850, 1, 2, 3, 4, 5, 678, withMs));
    CRecordset rs;
    rs.Open("kinds", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    for (double d : {when, withMs}) {
        rs.AddNew();
        rs.PutValue(CVariant::FromText("t"), CVariant::FromDate(d));
        rs.Update();
    }
    EXPECT_EQ(Column("select cast(t as text) as t from kinds", "t"),
              (Names{"2010-03-05 14:07:09", "1850-01-02 03:04:05.678"}));
    CRecordset back;
    back.Open("kinds", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    back.MoveNext();
    EXPECT_EQ(back.GetValue(CVariant::FromText("t")), CVariant::FromDate(withMs));
}

TEST_F(RecordsetTest, ValuesTheColumnCannotTakeAreRefused) {
    CRecordset rs;
    rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    try {
        rs.PutValue(CVariant::FromText("amount"), CVariant::FromText("abc"));
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), DB_E_CANTCONVERTVALUE);
    }
    EXPECT_THROW(rs.PutValue(CVariant::FromText("at"), CVariant::FromDate(kOleDateMax + 1)),
                 CComError);
    // A duplicate of a unique column fails at the store and the row stays pending.
    rs.PutValue(CVariant::FromText("name"), CVariant::FromText("a"));
    try {
        rs.Update();
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), DB_E_INTEGRITYVIOLATION);
    }
    rs.PutValue(CVariant::FromText("name"), CVariant::FromText("f"));
    EXPECT_EQ(rs.Update(), S_OK);
    EXPECT_EQ(Column("items", "name", adCmdTable).back(), "f");
}

TEST_F(RecordsetTest, TwoConnectionsSeeEachOthersStoredRows) {
    auto other = TempDatabase::Connect();
    CRecordset writer;
    writer.Open("plain", other, adOpenKeyset, adLockOptimistic, adCmdTable);
    writer.AddNew();
    writer.PutValue(CVariant::FromI2(0), CVariant::FromText("from other"));
    writer.Update();
    other->Close();
    EXPECT_EQ(Column("plain", "name", adCmdTable), (Names{"from other"}));
}

TEST_F(RecordsetTest, SortOrdersInMemoryAndEmptySortRestoresFetchOrder) {
    CRecordset rs;
    rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.PutSort("amount DESC");
    EXPECT_EQ(rs.GetValue(CVariant::FromText("name")).TextValue(), "d");
    rs.PutSort("");
    EXPECT_EQ(rs.GetValue(CVariant::FromText("name")).TextValue(), "a");
}

// A table opened by name is read at its first use; what the caller sees must
// not depend on when that happens.
class TableByNameTest : public RecordsetTest {
protected:
    void OpenItems(CRecordset& rs) {
        rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    }
    static void Add(CRecordset& rs, const char* name, double amount) {
        rs.AddNew();
        rs.PutValue(CVariant::FromText("name"), CVariant::FromText(name));
        rs.PutValue(CVariant::FromText("amount"), CVariant::FromR8(amount));
    }
    static Names Walk(CRecordset& rs) {
        Names out;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
            out.push_back(rs.GetValue(CVariant::FromText("name")).TextValue());
        return out;
    }
    static std::string Name(const CRecordset& rs) {
        return rs.GetValue(CVariant::FromText("name")).TextValue();
    }
};

TEST_F(TableByNameTest, FirstUseOfAnyKindSeesTheTableRows) {
    CRecordset empty;
    empty.Open("plain", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_TRUE(empty.IsBOF());
    EXPECT_EQ(empty.GetRecordCount(), 0);

    CRecordset eof, bof, count, value, next, edit, del;
    for (CRecordset* rs : {&eof, &bof, &count, &value, &next, &edit, &del})
        OpenItems(*rs);
    EXPECT_FALSE(eof.IsEOF());
    EXPECT_FALSE(bof.IsBOF());
    EXPECT_EQ(count.GetRecordCount(), 4);
    EXPECT_EQ(Name(value), "a");
    next.MoveNext();
    EXPECT_EQ(Name(next), "b");
    // Writing a field of an existing row changes the first row, not a missing one.
    edit.PutValue(CVariant::FromText("note"), CVariant::FromText("edited"));
    edit.Update();
    EXPECT_EQ(Column("select * from items where note = 'edited'", "name"), (Names{"a"}));
    del.Delete(adAffectCurrent);
    EXPECT_EQ(del.GetRecordCount(), 3);
    EXPECT_EQ(Column("items", "name", adCmdTable), (Names{"b", "c", "d"}));
}

TEST_F(TableByNameTest, RowsAddedBeforeFirstUseComeOnceAfterTheTableRows) {
    CRecordset rs;
    OpenItems(rs);
    Add(rs, "e", 5);
    rs.Update();
    // The cursor stays on the stored row, with the engine's auto-number.
    EXPECT_EQ(rs.GetValue(CVariant::FromText("id")).IntValue(), 5);
    EXPECT_EQ(Name(rs), "e");
    EXPECT_EQ(rs.GetRecordCount(), 5);
    EXPECT_EQ(Walk(rs), (Names{"a", "b", "c", "d", "e"}));

    CRecordset two;
    OpenItems(two);
    Add(two, "f", 6);
    two.Update();
    Add(two, "g", 7);
    two.Update();
    Add(two, "pending", 8);
    // Read while a new row is pending: it counts, and Cancel goes back to the row before it.
    EXPECT_EQ(two.GetRecordCount(), 8);
    two.CancelUpdate();
    EXPECT_EQ(Name(two), "g");
    EXPECT_EQ(two.GetRecordCount(), 7);
    // A row begun before the read is still the one written and stored after it.
    Add(two, "h", 9);
    EXPECT_EQ(two.GetRecordCount(), 8);
    two.PutValue(CVariant::FromText("note"), CVariant::FromText("late"));
    two.Update();
    EXPECT_EQ(Walk(two), (Names{"a", "b", "c", "d", "e", "f", "g", "h"}));
    EXPECT_EQ(Column("select * from items where note = 'late'", "name"), (Names{"h"}));
}

TEST_F(TableByNameTest, CancelledRowBeforeFirstUseLeavesTheCursorOnTheFirstRow) {
    CRecordset rs;
    OpenItems(rs);
    Add(rs, "e", 5);
    rs.CancelUpdate();
    EXPECT_EQ(Name(rs), "a");
    EXPECT_EQ(rs.GetRecordCount(), 4);

    CRecordset moved;
    OpenItems(moved);
    Add(moved, "e", 5);
    moved.Update();
    moved.MoveFirst();
    EXPECT_EQ(Name(moved), "a");
}

TEST_F(TableByNameTest, SortSetBeforeOpenOrdersTheTableRowsAndKeepsAddedRowsLast) {
    CRecordset rs;
    rs.PutSort("amount DESC");
    OpenItems(rs);
    Add(rs, "e", 10);
    rs.Update();
    EXPECT_EQ(Name(rs), "e");
    Names walked;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        walked.push_back(Name(rs));
    EXPECT_EQ(walked, (Names{"d", "c", "b", "a", "e"}));
}

TEST_F(TableByNameTest, TableGoneBeforeFirstUseFailsThenAndCloseStillWorks) {
    CRecordset rs, closed;
    rs.Open("plain", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    closed.Open("plain", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    m_conn->Execute("DROP TABLE plain");
    try {
        rs.IsEOF();
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), DB_E_NOTABLE);
    }
    // Still open and still failing the same way, not showing an empty table.
    EXPECT_EQ(rs.GetState(), 1);
    EXPECT_THROW(rs.GetRecordCount(), CComError);
    EXPECT_EQ(rs.Close(), S_OK);
    EXPECT_EQ(closed.Close(), S_OK);
    EXPECT_EQ(closed.GetState(), 0);
    EXPECT_THROW(closed.IsEOF(), CComError);

    // A closed connection is reported, not used.
    CRecordset orphan;
    OpenItems(orphan);
    m_conn->Close();
    EXPECT_THROW(orphan.IsEOF(), CComError);
}

TEST_F(TableByNameTest, RowsAnotherConnectionAddsAfterOpenAreNotShown) {
    CRecordset rs;
    OpenItems(rs);
    Add(rs, "mine", 5);
    rs.Update();
    auto other = TempDatabase::Connect();
    other->Execute("INSERT INTO items (name) VALUES ('theirs')");
    EXPECT_EQ(Walk(rs), (Names{"a", "b", "c", "d", "mine"}));
}

TEST_F(RecordsetTest, AnUpdateOfARowAnotherConnectionDeletedFails) {
    CRecordset rs;
    rs.Open("select * from items where name = 'b'", m_conn, adOpenStatic, adLockOptimistic,
            adCmdUnknown);
    TempDatabase::Connect()->Execute("DELETE FROM items WHERE name = 'b'");
    rs.PutValue(CVariant::FromText("amount"), CVariant::FromR8(9));
    try {
        rs.Update();
        FAIL() << "stored a change to a row that is gone";
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), E_FAIL);
    }
    // Nothing came back to life.
    EXPECT_EQ(Column("select * from items where name = 'b'", "name"), Names{});
}

TEST_F(RecordsetTest, TextThatIsNotADateIsRefusedByADateColumn) {
    CRecordset rs;
    rs.Open("items", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    rs.PutValue(CVariant::FromText("name"), CVariant::FromText("e"));
    for (const char* text : {"tomorrow", "2010-02-30", "2010-03-01 25:00"}) {
        try {
            rs.PutValue(CVariant::FromText("at"), CVariant::FromText(text));
            FAIL() << text;
        } catch (const CComError& e) {
            EXPECT_EQ(e.Error(), DB_E_CANTCONVERTVALUE) << text;
        }
    }
    rs.PutValue(CVariant::FromText("at"), CVariant::FromText("2010-03-02"));
    rs.Update();
    EXPECT_EQ(rs.GetValue(CVariant::FromText("at")).Kind(), VarKind::Date);
}

TEST_F(RecordsetTest, OnlyATableAndItsAliasMakeRowsWritable) {
    const std::pair<const char*, bool> cases[] = {
        {"select * from items", true},
        {"select * from items a where a.amount > 1", true},
        {"select * from items as a order by name", true},
        // More than the table and its alias before the first clause.
        {"select * from items as a not indexed where amount > 1", false},
        {"select * from items a, plain b", false},
        {"select a.* from items a join items b on a.id = b.id", false},
    };
    for (const auto& [sql, writable] : cases) {
        CRecordset rs;
        rs.Open(sql, m_conn, adOpenStatic, adLockOptimistic, adCmdUnknown);
        EXPECT_EQ(!rs.GetFieldInfo(0).strColumn.empty(), writable) << sql;
        if (writable) {
            EXPECT_NO_THROW(rs.AddNew()) << sql;
            rs.CancelUpdate();
        } else {
            EXPECT_THROW(rs.AddNew(), CComError) << sql;
        }
    }
}

TEST_F(RecordsetTest, ABusyBookDuringATableOpenIsBusyNotAMissingTable) {
    auto c = TempDatabase::Connect();
    auto holder = TempDatabase::Connect();
    // An exclusive writer keeps even readers of the schema out.
    holder->Execute("BEGIN EXCLUSIVE");
    CRecordset rs;
    try {
        rs.Open("plain", c, adOpenKeyset, adLockOptimistic, adCmdTable);
        FAIL();
    } catch (const CComError& e) {
        EXPECT_NE(e.Error(), DB_E_NOTABLE);
        EXPECT_EQ(e.Facts().engineCode, EngineCode::Busy);
        EXPECT_EQ(e.Facts().lack, Lack::None);
    }
    holder->RollbackTrans();
}

TEST_F(TableByNameTest, IsEOFBeforeTheRowsAreReadAnswersFromTheTable) {
    CRecordset full, empty;
    OpenItems(full);
    empty.Open("plain", m_conn, adOpenKeyset, adLockOptimistic, adCmdTable);
    EXPECT_FALSE(full.IsEOF());
    EXPECT_FALSE(full.IsBOF());
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_TRUE(empty.IsBOF());
    // Adding a row and storing it needs no read; the added row is then the current one.
    empty.AddNew();
    empty.PutValue(CVariant::FromText("name"), CVariant::FromText("n"));
    EXPECT_FALSE(empty.IsEOF());
    empty.Update();
    EXPECT_FALSE(empty.IsEOF());
    EXPECT_EQ(empty.GetRecordCount(), 1);

    // Rows deleted by another connection since Open are not counted on.
    CRecordset gone;
    OpenItems(gone);
    TempDatabase::Connect()->Execute("DELETE FROM items");
    EXPECT_TRUE(gone.IsEOF());
    EXPECT_EQ(gone.GetRecordCount(), 0);
}

TEST_F(TableByNameTest, TheRecordCountFollowsAddsDeletesAndCancels) {
    CRecordset rs;
    OpenItems(rs);
    EXPECT_EQ(rs.GetRecordCount(), 4);
    Add(rs, "e", 5);
    EXPECT_EQ(rs.GetRecordCount(), 5);
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetRecordCount(), 4);
    rs.MoveFirst();
    rs.Delete(adAffectCurrent);
    EXPECT_EQ(rs.GetRecordCount(), 3);
    Add(rs, "f", 6);
    rs.Update();
    EXPECT_EQ(rs.GetRecordCount(), 4);
    EXPECT_EQ(Column("items", "name", adCmdTable), (Names{"b", "c", "d", "f"}));
}
