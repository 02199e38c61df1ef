#include "data/BookFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/PasswordHash.h"
#include "support/TempBook.h"

namespace {

std::vector<std::string> Column(CADODatabase& db, const std::string& source, int position) {
    CADORecordset rs(&db);
    std::vector<std::string> out;
    if (!rs.Open(db.GetActiveConnection(), source, CADORecordset::OpenTable))
        return out;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::string v;
        rs.GetFieldValue(position, v);
        out.push_back(v);
    }
    return out;
}

}  // namespace

TEST(BookFile, NewBookHasTheStartingRowsAndChecksClean) {
    TempBook book;
    EXPECT_EQ(CheckBook("data.mdb"), std::vector<std::string>{});
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(Column(db, "baseData", 0),
              (std::vector<std::string>{"家庭成员", "收入类型", "支出类型"}));
    EXPECT_EQ(Column(db, "tbUser", 1), std::vector<std::string>{"root"});
    // root's default password is kept as a hash only, nowhere in the file in plain text.
    const std::vector<std::string> passwords = Column(db, "tbUser", 2);
    ASSERT_EQ(passwords.size(), 1u);
    EXPECT_TRUE(IsPasswordHash(passwords[0])) << passwords[0];
    EXPECT_TRUE(PasswordMatches(passwords[0], "kerno482"));
    std::ifstream file("data.mdb", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(bytes.find("tbUser"), std::string::npos);
    EXPECT_EQ(bytes.find("kerno482"), std::string::npos);
    EXPECT_EQ(Column(db, "家庭成员", 1).front(), "爸爸");
    EXPECT_EQ(Column(db, "收入类型", 1).front(), "工资");
    EXPECT_EQ(Column(db, "支出类型", 1).front(), "餐饮");
    EXPECT_TRUE(Column(db, "normalIncome", 0).empty());
}

TEST(BookFile, NeverOverwritesAnExistingFile) {
    TempBook book;
    std::ofstream("notes.txt") << "keep me";
    EXPECT_THROW(CreateBook("notes.txt"), std::runtime_error);
    EXPECT_THROW(CreateBook("data.mdb"), std::runtime_error);
    std::ifstream in("notes.txt");
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "keep me");
    EXPECT_THROW(CreateBook("no/such/folder/data.mdb"), std::runtime_error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
}

TEST(BookFile, CheckReportsWhatTheProgramCannotWorkWith) {
    TempBook book;
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    ASSERT_TRUE(db.Open());
    CADORecordset rs(&db);
    for (const char* sql : {"drop table normalPay", "drop index idx_normalIncome_date",
                            "alter table normalIncome rename column 收入日期 to 日期",
                            "alter table normalIncome add column 收入日期 TEXT",
                            "insert into baseData (类型) values ('不存在')"}) {
        rs.Open(db.GetActiveConnection(), sql, CADORecordset::OpenDefault);
    }
    db.Close();
    const std::vector<std::string> expected = {
        "table normalIncome: column 收入日期 is at position 6, expected 3",
        "missing table normalPay", "baseData names a missing table: 不存在"};
    EXPECT_EQ(CheckBook("data.mdb"), expected);
    std::ofstream("junk.mdb") << "not a book";
    EXPECT_EQ(CheckBook("junk.mdb").size(), 1u);
}
