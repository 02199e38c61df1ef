#include "BookCopy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "support/TempBook.h"

namespace {

// The first two fields of each row, or nothing for a statement without rows.
std::string Rows(const std::string& book, const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(book);
    db.Open();
    CADORecordset rs(&db);
    std::string rows;
    if (!rs.Open(db.GetActiveConnection(), statement))
        return rows;
    for (std::string a, b; !rs.IsEOF(); rs.MoveNext()) {
        rs.GetFieldValue(0, a);
        rs.GetFieldValue(1, b);
        rows += a + "|" + b + ";";
    }
    return rows;
}

// A book goes to a server and back to a file whole: numbers, order, and the next number.
TEST(BookCopy, AFileBookGoesToTheServerAndBackWithItsNumbersAndOrder) {
    TempBook book;  // a file book, or with the server fixture a server book
    const std::string start = TempBook::ConnectionString();
    Rows(start, "delete from 家庭成员");
    Rows(start, "insert into 家庭成员 (编号, 类型) values (7, '乙'), (3, '甲')");
    Rows(start,
         "insert into normalIncome (编号, 收入人员, 收入金额, 收入日期) values "
         "(41, '乙', 12.34, #2026-12-06 14:05:00#)");
    const std::string copy = (book.Dir() / "copy.mdb").string();
    const std::string from = TempBook::OnServer() ? start : book.BookPath().string();
    ASSERT_EQ(RunCopyCommand(from, copy, stdout, stderr), 0);
    // Refused, the copy left as it is: a target that exists.
    EXPECT_EQ(RunCopyCommand(from, copy, stdout, stderr), 1);
    const std::string file = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + copy;
    // The stored order (the file keeps rows in key order) comes along.
    EXPECT_EQ(Rows(file, "家庭成员"), "3|甲;7|乙;");
    EXPECT_EQ(Rows(file, "select 编号, 收入金额 from normalIncome"), "41|12.34;");
    Rows(file, "insert into normalIncome (收入人员) values ('甲')");
    EXPECT_EQ(Rows(file, "select 编号, 收入人员 from normalIncome"), "41|乙;42|甲;");
}

}  // namespace
