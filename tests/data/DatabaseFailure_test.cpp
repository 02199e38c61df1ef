#include "data/DatabaseFailure.h"

#include <algorithm>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/ADORecordset.h"
#include "platform/ado/ComError.h"
#include "support/TempBook.h"

namespace {

std::string Describe(const ComErrorFacts& facts, const std::string& description = "engine text") {
    return DescribeDatabaseFailure(
               std::make_exception_ptr(CADOException(E_FAIL, description, facts)))
        .value_or("");
}

ComErrorFacts FileFacts(FileFault fault) {
    ComErrorFacts facts;
    facts.path = "/home/妈妈/账本/data.mdb";
    facts.fileFault = fault;
    return facts;
}

ComErrorFacts EngineFacts(int code) {
    ComErrorFacts facts;
    facts.path = "/home/妈妈/账本/data.mdb";
    facts.engineCode = code;
    return facts;
}

size_t LongestLine(const std::string& text) {
    size_t longest = 0, current = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            current = 0;
        } else if ((c & 0xC0) != 0x80) {
            longest = std::max(longest, ++current);
        }
    }
    return longest;
}

}  // namespace

TEST(DatabaseFailure, EveryCaseAUserCanMeetIsWordedInChineseNamingTheFile) {
    const std::pair<ComErrorFacts, const char*> cases[] = {
        {FileFacts(FileFault::Missing), "找不到账本文件"},
        {FileFacts(FileFault::Folder), "是一个文件夹"},
        {FileFacts(FileFault::NotRegular), "不是普通文件"},
        {FileFacts(FileFault::PathTooLong), "路径太长"},
        {FileFacts(FileFault::JetFormat), "tillbook-db import /home/妈妈/账本/data.mdb"},
        {FileFacts(FileFault::NotDatabase), "无法识别的数据库格式"},
        {EngineFacts(EngineCode::Busy), "正被其他程序使用"},
        {EngineFacts(EngineCode::Locked), "正被其他程序使用"},
        {EngineFacts(EngineCode::ReadOnly), "只读"},
        {EngineFacts(EngineCode::Perm), "没有权限"},
        {EngineFacts(EngineCode::NotADb), "无法识别的数据库格式"},
        {EngineFacts(EngineCode::Corrupt), "已损坏"},
        {EngineFacts(EngineCode::Full), "磁盘已满"},
        {EngineFacts(EngineCode::CantOpen), "无法读写"},
        {EngineFacts(EngineCode::IoErr), "无法读写"},
    };
    for (const auto& [facts, words] : cases) {
        const std::string text = Describe(facts);
        EXPECT_NE(text.find(words), std::string::npos) << text;
        EXPECT_NE(text.find("“/home/妈妈/账本/data.mdb”"), std::string::npos) << text;
        // The engine's English stays in the log, not in the household's message.
        EXPECT_EQ(text.find("engine text"), std::string::npos) << text;
        EXPECT_EQ(text.rfind("数据库操作失败。\n", 0), 0u) << text;
    }
}

TEST(DatabaseFailure, ABookLackingATableOrColumnIsNotACompleteBook) {
    for (const Lack lack : {Lack::Table, Lack::Column}) {
        ComErrorFacts facts;
        facts.path = "/x/data.mdb";
        facts.lack = lack;
        facts.lackName = "tbUser";
        const std::string text = Describe(facts, "no such table: tbUser");
        EXPECT_NE(text.find("“/x/data.mdb”不是完整的 Tillbook 账本"), std::string::npos) << text;
        EXPECT_NE(text.find(lack == Lack::Table ? "缺少表“tbUser”" : "缺少列“tbUser”"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("tillbook-db check"), std::string::npos) << text;
        EXPECT_EQ(text.find("no such table"), std::string::npos) << text;
    }
}

TEST(DatabaseFailure, AVeryLongPathIsShortenedInTheMiddle) {
    std::string path = "/home/mama";
    for (int i = 0; i < 60; ++i)
        path += "/文件夹" + std::to_string(i);
    path += "/家庭账本.mdb";
    ComErrorFacts facts = FileFacts(FileFault::Missing);
    facts.path = path;
    const std::string text = Describe(facts);
    EXPECT_NE(text.find("“/home/mama/文件夹0/"), std::string::npos) << text;
    EXPECT_NE(text.find("…"), std::string::npos) << text;
    EXPECT_NE(text.find("/家庭账本.mdb”"), std::string::npos) << text;
    EXPECT_LE(LongestLine(text), 100u) << text;
    // Short paths are shown whole.
    EXPECT_EQ(ShownPath("/home/妈妈/data.mdb"), "/home/妈妈/data.mdb");
}

TEST(DatabaseFailure, ALoginOnABookWithoutItsUserTableSaysTheBookIsIncomplete) {
    TempBook book;
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    ASSERT_NO_THROW(db.Open());
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "drop table tbUser", CADORecordset::OpenDefault);
    try {
        rs.Open(db.GetActiveConnection(), "select * from tbUser where user = 'root'",
                CADORecordset::OpenQuery);
        FAIL();
    } catch (const CADOException&) {
        const std::string text = DescribeDatabaseFailure(std::current_exception()).value_or("");
        EXPECT_NE(text.find("不是完整的 Tillbook 账本（缺少表“tbUser”）"), std::string::npos)
            << text;
        EXPECT_NE(text.find((book.Dir() / "data.mdb").string()), std::string::npos) << text;
    }
    // A field the rows lack, asked for by name.
    rs.Open(db.GetActiveConnection(), "家庭成员", CADORecordset::OpenTable);
    std::string out;
    try {
        rs.GetFieldValue("password", out);
        FAIL();
    } catch (const CADOException&) {
        const std::string text = DescribeDatabaseFailure(std::current_exception()).value_or("");
        EXPECT_NE(text.find("缺少列“password”"), std::string::npos) << text;
        EXPECT_EQ(text.find("Item cannot be found"), std::string::npos) << text;
    }
}
