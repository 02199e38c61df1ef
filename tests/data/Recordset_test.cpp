#include "data/ADORecordset.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/ADOTransaction.h"
#include "platform/ado/ComError.h"
#include "support/TempBook.h"

namespace {

class RecordsetTest : public testing::Test {
protected:
    void SetUp() override {
        m_db.SetConnectionString(TempBook::ConnectionString());
        ASSERT_NO_THROW(m_db.Open());
    }

    // Adds an income row the way the entry dialog does.
    void AddIncome(const std::string& person, double amount, const DateTimeValue& when,
                   const std::string& item, const std::string& remark) {
        CADORecordset rs(&m_db);
        ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable));
        ASSERT_NO_THROW(rs.AddNew());
        EXPECT_TRUE(rs.SetFieldValue("收入人员", person));
        EXPECT_TRUE(rs.SetFieldValue("收入金额", amount));
        EXPECT_TRUE(rs.SetFieldValue("收入日期", when));
        EXPECT_TRUE(rs.SetFieldValue("收入项目", item));
        EXPECT_TRUE(rs.SetFieldValue("备注", remark));
        EXPECT_NO_THROW(rs.Update());
    }

    std::vector<std::string> TextColumn(const std::string& source, int position,
                                        int mode = CADORecordset::OpenQuery) {
        CADORecordset rs(&m_db);
        std::vector<std::string> out;
        if (!rs.Open(m_db.GetActiveConnection(), source, mode))
            return out;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            std::string v;
            EXPECT_TRUE(rs.GetFieldValue(position, v));
            out.push_back(v);
        }
        return out;
    }

    TempBook m_book;
    CADODatabase m_db;
};

using Texts = std::vector<std::string>;

}  // namespace

TEST_F(RecordsetTest, IncomeRowReadsBackByPositionAsTheQueryListShowsIt) {
    AddIncome("妈妈", 1234, DateTimeValue(2010, 3, 5, 14, 7, 9), "工资", "");
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(),
                        "select * from normalIncome where 收入日期 > #2010-03-01# and 收入日期 < "
                        "#2010-04-01# and 收入人员='妈妈'",
                        CADORecordset::OpenQuery));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    std::string number, person, item, remark = "x";
    double amount = 0;
    DateTimeValue when;
    EXPECT_TRUE(rs.GetFieldValue(0, number));
    EXPECT_TRUE(rs.GetFieldValue(1, person));
    EXPECT_TRUE(rs.GetFieldValue(2, amount));
    EXPECT_TRUE(rs.GetFieldValue(3, when));
    EXPECT_TRUE(rs.GetFieldValue(4, item));
    EXPECT_TRUE(rs.GetFieldValue("备注", remark));
    EXPECT_EQ(number, "1");
    EXPECT_EQ(person, "妈妈");
    EXPECT_EQ(amount, 1234);
    EXPECT_EQ(when.Format("%Y-%m-%d %H时"), "2010-03-05 14时");
    EXPECT_EQ(item, "工资");
    EXPECT_EQ(remark, "");  // empty remark was stored as NULL
    std::string amountText;
    EXPECT_TRUE(rs.GetFieldValue(2, amountText));
    EXPECT_EQ(amountText, "1234.");
    std::string dateText;
    EXPECT_TRUE(rs.GetFieldValue(3, dateText));
    EXPECT_EQ(dateText, "2010-03-05 14:07:09");
    EXPECT_EQ(TextColumn("select * from normalIncome where 备注 is null", 0), Texts{"1"});
}

TEST_F(RecordsetTest, NullFieldsReadAsEmptyZeroAndNullDate) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable));
    ASSERT_NO_THROW(rs.AddNew());
    ASSERT_NO_THROW(rs.Update());
    std::string text = "x";
    double number = 5;
    DateTimeValue date(3.0);
    EXPECT_TRUE(rs.GetFieldValue(1, text));
    EXPECT_TRUE(rs.GetFieldValue(2, number));
    EXPECT_TRUE(rs.GetFieldValue(3, date));
    EXPECT_EQ(text, "");
    EXPECT_EQ(number, 0);
    EXPECT_EQ(date.GetStatus(), DateTimeValue::null);
    EXPECT_EQ(date.Format("%Y"), "");
}

TEST_F(RecordsetTest, MidnightBelongsToNeitherAdjacentRange) {
    AddIncome("爸爸", 1, DateTimeValue(2010, 3, 1), "工资", "");
    AddIncome("爸爸", 2, DateTimeValue(2010, 3, 1, 0, 0, 1), "工资", "");
    AddIncome("爸爸", 3, DateTimeValue(2010, 3, 31, 23, 59, 59), "工资", "");
    AddIncome("爸爸", 4, DateTimeValue(2010, 4, 1), "工资", "");
    EXPECT_EQ(TextColumn("select * from normalIncome where 收入日期 > #2010-03-01# and 收入日期 < "
                         "#2010-04-01#",
                         0),
              (Texts{"2", "3"}));
}

TEST_F(RecordsetTest, OpenWithEmptyTextReopensTheTrimmedStoredText) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), " \t\r\n select * from 家庭成员",
                        CADORecordset::OpenQuery));
    EXPECT_EQ(rs.GetQuery(), "select * from 家庭成员");
    EXPECT_EQ(rs.GetRecordCount(), 3);
    rs.MoveNext();
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "", CADORecordset::OpenQuery));
    EXPECT_EQ(rs.GetQuery(), "select * from 家庭成员");
    std::string first;
    rs.GetFieldValue(1, first);
    EXPECT_EQ(first, "爸爸");
    EXPECT_FALSE(rs.Open(m_db.GetActiveConnection(), "家庭成员", 7));
}

TEST_F(RecordsetTest, DeleteAllReturnsFalseAndReinsertSetsTheNewOrder) {
    CADORecordset rs(&m_db);
    EXPECT_FALSE(
        rs.Open(m_db.GetActiveConnection(), "delete from 家庭成员", CADORecordset::OpenDefault));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(TextColumn("家庭成员", 1, CADORecordset::OpenTable), Texts{});
    for (const char* name : {"孩子", "爸爸", "妈妈"}) {
        CADORecordset insert(&m_db);
        ASSERT_TRUE(
            insert.Open(m_db.GetActiveConnection(), "家庭成员", CADORecordset::OpenDefault));
        ASSERT_NO_THROW(insert.AddNew());
        insert.SetFieldValue("类型", name);
        ASSERT_NO_THROW(insert.Update());
    }
    EXPECT_EQ(TextColumn("家庭成员", 1, CADORecordset::OpenTable), (Texts{"孩子", "爸爸", "妈妈"}));
}

TEST_F(RecordsetTest, EmptyResultCountsZeroAndStaysAtTheEnd) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "select * from tbUser where user = 'nobody'",
                        CADORecordset::OpenQuery));
    EXPECT_EQ(rs.GetRecordCount(), 0);
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_TRUE(rs.IsBOF());
}

TEST_F(RecordsetTest, EditModeFollowsAddNewEditUpdateDeleteAndClose) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "select * from tbUser where user = 'root'",
                        CADORecordset::OpenQuery));
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNone);
    // Nothing pending: Update stores nothing and succeeds; writes are refused.
    EXPECT_NO_THROW(rs.Update());
    EXPECT_FALSE(rs.SetFieldValue(2, std::string("changed")));
    rs.Edit();
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditExisting);
    EXPECT_TRUE(rs.SetFieldValue(2, std::string("new-password")));
    EXPECT_NO_THROW(rs.Update());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNone);
    EXPECT_EQ(TextColumn("tbUser", 2, CADORecordset::OpenTable), Texts{"new-password"});

    EXPECT_NO_THROW(rs.AddNew());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNew);
    rs.SetFieldValue(1, std::string("guest"));
    rs.Close();  // cancels the pending row
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNone);
    EXPECT_EQ(TextColumn("tbUser", 1, CADORecordset::OpenTable), Texts{"root"});

    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "select * from tbUser where user = 'root'",
                        CADORecordset::OpenQuery));
    rs.Edit();
    EXPECT_NO_THROW(rs.Delete());
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNone);
    EXPECT_EQ(TextColumn("tbUser", 1, CADORecordset::OpenTable), Texts{});
}

TEST_F(RecordsetTest, FailedUpdateKeepsTheRowPendingAndRecordsTheError) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "家庭成员", CADORecordset::OpenTable));
    ASSERT_NO_THROW(rs.AddNew());
    rs.SetFieldValue("类型", "爸爸");  // already there, and 类型 is unique
    EXPECT_THROW(rs.Update(), CADOException);
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::EditNew);
    EXPECT_EQ(rs.GetLastErrorCode(), 0x80040E2Fu);
    rs.SetFieldValue("类型", "奶奶");
    EXPECT_NO_THROW(rs.Update());
    EXPECT_EQ(TextColumn("家庭成员", 1, CADORecordset::OpenTable).back(), "奶奶");
}

TEST_F(RecordsetTest, GuardedFailureWritesTheRecordsetErrorText) {
    CADORecordset rs(&m_db);
    try {
        rs.Open(m_db.GetActiveConnection(), "\n  select nope from normalIncome",
                CADORecordset::OpenQuery);
        FAIL();
    } catch (const CADOException& e) {
        EXPECT_EQ(e.m_code, static_cast<std::int32_t>(0x80040E14));
        EXPECT_EQ(e.m_description, "no such column: nope");
    }
    EXPECT_EQ(rs.GetLastErrorText(),
              "Query = select nope from normalIncome\n"
              "CADORecordset Error\n"
              "\tCode = 80040e14\n"
              "\tCode meaning = IDispatch error #3092\n"
              "\tSource = SQLite\n"
              "\tDescription = no such column: nope\n");
    EXPECT_EQ(rs.GetLastErrorCode(), 0x80040E14u);

    // A missing field: the output argument keeps its value.
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "家庭成员", CADORecordset::OpenTable));
    std::string out = "before";
    EXPECT_THROW(rs.GetFieldValue("nope", out), CADOException);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(rs.GetLastErrorCode(), 0x800A0CC1u);
}

TEST_F(RecordsetTest, UnguardedFailuresPassTheComErrorAndRecordNothing) {
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "select * from tbUser where user = 'x'",
                        CADORecordset::OpenQuery));
    EXPECT_THROW(rs.MoveNext(), CComError);
    EXPECT_THROW(rs.Delete(), CComError);
    EXPECT_EQ(rs.GetLastErrorText(), "");
    EXPECT_EQ(rs.GetLastErrorCode(), 0u);
}

TEST_F(RecordsetTest, QuotesAndEmojiAreStoredVerbatim) {
    const std::string tricky = "O'Brien \"引号\" 😀 \\ %s #2010-01-01# ; drop table tbUser";
    AddIncome(tricky, 1, DateTimeValue(2011, 1, 1), "工资", tricky);
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable));
    std::string person, remark;
    rs.GetFieldValue(1, person);
    rs.GetFieldValue("备注", remark);
    EXPECT_EQ(person, tricky);
    EXPECT_EQ(remark, tricky);
    // The same text put between quotes in a statement breaks it: a database failure.
    EXPECT_THROW(rs.Open(m_db.GetActiveConnection(),
                         "select * from normalIncome where 收入人员='" + tricky + "'",
                         CADORecordset::OpenQuery),
                 CADOException);
    EXPECT_EQ(TextColumn("tbUser", 1, CADORecordset::OpenTable), Texts{"root"});
}

TEST_F(RecordsetTest, TransactionRollsBackWhenAWriteThrows) {
    try {
        CADOTransaction transaction(m_db);
        CADORecordset rs(&m_db);
        rs.Open(m_db.GetActiveConnection(), "delete from 收入类型", CADORecordset::OpenDefault);
        ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "收入类型", CADORecordset::OpenDefault));
        for (const char* item : {"奖金", "奖金"}) {
            rs.AddNew();
            rs.SetFieldValue("类型", item);
            rs.Update();
        }
        transaction.Commit();
        FAIL();
    } catch (const CADOException&) {
    }
    EXPECT_EQ(TextColumn("收入类型", 1, CADORecordset::OpenTable).front(), "工资");
    EXPECT_EQ(TextColumn("收入类型", 1, CADORecordset::OpenTable).size(), 6u);
}

TEST_F(RecordsetTest, TableOpenedByNameShowsRowsAddedThroughItOnce) {
    CADORecordset empty(&m_db);
    ASSERT_TRUE(empty.Open(m_db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable));
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_TRUE(empty.IsBOF());
    EXPECT_EQ(empty.GetRecordCount(), 0);

    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(m_db.GetActiveConnection(), "家庭成员", CADORecordset::OpenTable));
    ASSERT_NO_THROW(rs.AddNew());
    EXPECT_TRUE(rs.SetFieldValue("类型", "奶奶"));
    ASSERT_NO_THROW(rs.Update());
    std::string number;
    EXPECT_TRUE(rs.GetFieldValue(0, number));
    EXPECT_EQ(number, "4");
    EXPECT_EQ(rs.GetRecordCount(), 4);
    Texts walked;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        std::string name;
        rs.GetFieldValue(1, name);
        walked.push_back(name);
    }
    EXPECT_EQ(walked, (Texts{"爸爸", "妈妈", "孩子", "奶奶"}));
}

TEST_F(RecordsetTest, TableGoneBeforeFirstUseFailsThenByTheGuardedAndUnguardedRules) {
    CADORecordset unguarded(&m_db), guarded(&m_db), untouched(&m_db);
    for (CADORecordset* rs : {&unguarded, &guarded, &untouched})
        ASSERT_TRUE(rs->Open(m_db.GetActiveConnection(), "收入类型", CADORecordset::OpenTable));
    m_db.GetActiveConnection()->Execute("DROP TABLE 收入类型");

    EXPECT_THROW(unguarded.IsEOF(), CComError);
    EXPECT_THROW(unguarded.GetRecordCount(), CComError);
    EXPECT_EQ(unguarded.GetLastErrorCode(), 0u);
    EXPECT_EQ(unguarded.GetLastErrorText(), "");

    std::string out = "before";
    EXPECT_THROW(guarded.GetFieldValue(1, out), CADOException);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(guarded.GetLastErrorCode(), 0x80040E37u);
    EXPECT_EQ(guarded.GetLastErrorText().rfind(
                  "Query = 收入类型\nCADORecordset Error\n\tCode = 80040e37\n", 0),
              0u);

    // Closing needs no rows.
    untouched.Close();
    EXPECT_FALSE(untouched.IsOpen());
}
