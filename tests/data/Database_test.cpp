#include "data/ADODatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "data/ADOException.h"
#include "data/BookFile.h"
#include "data/DatabaseFailure.h"
#include "platform/ado/ComError.h"
#include "support/TempBook.h"

TEST(Database, OpensTheBookAndReopensWhenOpenAgain) {
    TempBook book;
    CADODatabase db;
    EXPECT_FALSE(db.IsOpen());
    db.Close();  // never opened: nothing happens
    db.SetConnectionString(TempBook::ConnectionString());
    EXPECT_EQ(db.GetConnectionString(), TempBook::ConnectionString());
    EXPECT_NO_THROW(db.Open());
    EXPECT_NO_THROW(db.Open());
    EXPECT_TRUE(db.IsOpen());
    db.Close();
    db.Close();
    EXPECT_FALSE(db.IsOpen());
}

TEST(Database, TwoDatabasesKeepTheirOwnState) {
    TempBook book;
    CADODatabase a, b;
    a.SetConnectionString(TempBook::ConnectionString());
    b.SetConnectionString(TempBook::ConnectionString());
    ASSERT_NO_THROW(a.Open());
    ASSERT_NO_THROW(b.Open());
    a.Close();
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(b.IsOpen());
    EXPECT_NE(a.GetActiveConnection(), b.GetActiveConnection());
}

TEST(Database, FailedOpenRecordsTheErrorAndCanBeRetried) {
    TempBook book;
    std::filesystem::rename("data.mdb", "elsewhere.mdb");
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    const std::string path = (book.Dir() / "data.mdb").string();
    try {
        db.Open();
        FAIL() << "opened a missing book";
    } catch (const CADOException& e) {
        EXPECT_EQ(e.m_code, E_FAIL);
        EXPECT_EQ(e.m_description, "'" + path + "' does not exist.");
        EXPECT_EQ(e.m_facts.fileFault, FileFault::Missing);
        // A copy carries every member.
        const CADOException copy = e;
        EXPECT_EQ(copy.m_code, e.m_code);
        EXPECT_EQ(copy.m_description, e.m_description);
        EXPECT_EQ(copy.m_facts.path, path);
        EXPECT_EQ(DescribeDatabaseFailure(std::current_exception()),
                  "数据库操作失败。\n找不到账本文件“" + path + "”。\n错误代码：0x80004005");
    }
    EXPECT_EQ(db.GetLastErrorText(), std::string("Connection String = ") +
                                         TempBook::ConnectionString() +
                                         "\n"
                                         "CADODataBase Error\n"
                                         "\tCode = 80004005\n"
                                         "\tCode meaning = Unspecified error\n"
                                         "\tSource = SQLite\n"
                                         "\tDescription = '" +
                                         path + "' does not exist.\n");
    EXPECT_EQ(db.GetErrorDescription(), "'" + path + "' does not exist.");
    EXPECT_EQ(db.GetLastErrorCode(), 0x80004005u);
    EXPECT_FALSE(db.IsOpen());
    std::filesystem::rename("elsewhere.mdb", "data.mdb");
    EXPECT_NO_THROW(db.Open());
}

TEST(Database, UnknownProviderIsADatabaseFailure) {
    TempBook book;
    CADODatabase db;
    db.SetConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=data.mdb");
    EXPECT_THROW(db.Open(), CADOException);
    EXPECT_EQ(db.GetLastErrorCode(), 0x800A0E7Au);
    EXPECT_FALSE(db.IsOpen());
}

TEST(DatabaseFailure, DescribesBothFailureKindsAndNothingElse) {
    const auto ado = DescribeDatabaseFailure(
        std::make_exception_ptr(CADOException(E_FAIL, "找不到账本文件“/x/data.mdb”。")));
    ASSERT_TRUE(ado.has_value());
    EXPECT_NE(ado->find("数据库操作失败"), std::string::npos);
    EXPECT_NE(ado->find("找不到账本文件“/x/data.mdb”。"), std::string::npos);
    EXPECT_NE(ado->find("0x80004005"), std::string::npos);

    const auto com =
        DescribeDatabaseFailure(std::make_exception_ptr(CComError(ADO_E_NOCURRENTRECORD)));
    ASSERT_TRUE(com.has_value());
    EXPECT_NE(com->find("0x800A0BCD"), std::string::npos);
    // Without a description the code's meaning stands in.
    EXPECT_NE(com->find("Unknown error 0x800A0BCD"), std::string::npos);

    EXPECT_FALSE(DescribeDatabaseFailure(std::make_exception_ptr(std::runtime_error("x"))));
    EXPECT_FALSE(DescribeDatabaseFailure(std::make_exception_ptr(42)));
    EXPECT_FALSE(DescribeDatabaseFailure(nullptr));
}
