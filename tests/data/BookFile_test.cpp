#include "data/BookFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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
    ASSERT_NO_THROW(db.Open());
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
    ASSERT_NO_THROW(db.Open());
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

namespace {

// Makes a file or folder unwritable even for root (immutable) or, for others, by its
// permissions; undoes it on destruction. Unavailable() when neither works here.
class Unwritable {
public:
    explicit Unwritable(std::filesystem::path path) : m_path(std::move(path)) {
        if (geteuid() == 0) {
            m_immutable =
                std::system(("chattr +i '" + m_path.string() + "' 2>/dev/null").c_str()) == 0;
            m_ok = m_immutable;
        } else {
            std::filesystem::permissions(m_path, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::remove);
            m_ok = true;
        }
    }
    ~Unwritable() {
        if (m_immutable)
            std::system(("chattr -i '" + m_path.string() + "'").c_str());
        else
            std::filesystem::permissions(m_path, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
    }
    bool Unavailable() const { return !m_ok; }

private:
    std::filesystem::path m_path;
    bool m_immutable = false;
    bool m_ok = false;
};

void Execute(const char* sql) {
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), sql, CADORecordset::OpenDefault);
}

}  // namespace

TEST(BookFile, CheckSaysABookItCannotWriteIsReadOnly) {
    TempBook book;
    const std::string path = book.BookPath().string();
    {
        Unwritable file(book.BookPath());
        if (file.Unavailable())
            GTEST_SKIP() << "cannot make a file unwritable here";
        EXPECT_EQ(CheckBook("data.mdb"),
                  std::vector<std::string>{"read-only: " + path +
                                           " cannot be written (file permissions)"});
    }
    {
        // The engine writes its journal beside the book while storing.
        Unwritable folder(book.Dir());
        const std::vector<std::string> problems = CheckBook("data.mdb");
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].rfind("read-only: " + path, 0), 0u) << problems[0];
    }
    EXPECT_EQ(CheckBook("data.mdb"), std::vector<std::string>{});
    // The trial write left nothing behind.
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    ASSERT_NO_THROW(db.Open());
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "select name from sqlite_master where name like 'tillbook%'",
            CADORecordset::OpenQuery);
    EXPECT_TRUE(rs.IsEOF());
}

TEST(BookFile, CheckSaysADamagedTableIsDamagedNotMissing) {
    TempBook book;
    Execute(
        "insert into normalPay (支出人员, 支出金额, 支出日期, 支出项目) values "
        "('爸爸', 1, #2020-01-01#, '餐饮')");
    long root = 0, pageSize = 0;
    {
        CADODatabase db;
        db.SetConnectionString(TempBook::ConnectionString());
        ASSERT_NO_THROW(db.Open());
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(),
                "select rootpage from sqlite_master where name = 'normalPay'",
                CADORecordset::OpenQuery);
        double v = 0;
        rs.GetFieldValue(0, v);
        root = static_cast<long>(v);
        rs.Open(db.GetActiveConnection(), "pragma page_size", CADORecordset::OpenQuery);
        rs.GetFieldValue(0, v);
        pageSize = static_cast<long>(v);
    }
    {
        // The table's page no longer reads as a page of the engine.
        std::fstream file("data.mdb", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp((root - 1) * pageSize);
        const std::string junk(64, '\xFF');
        file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    const std::vector<std::string> problems = CheckBook("data.mdb");
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].rfind("damaged: table normalPay", 0), 0u) << problems[0];
    for (const std::string& p : problems)
        EXPECT_EQ(p.find("missing table"), std::string::npos) << p;
}

TEST(BookFile, CheckRefusesAPipeAndAnOverlongPathWithoutWaiting) {
    TempBook book;
    ASSERT_EQ(mkfifo("pipe.mdb", 0600), 0);
    const std::vector<std::string> pipe = CheckBook("pipe.mdb");
    ASSERT_EQ(pipe.size(), 1u);
    EXPECT_NE(pipe[0].find("is not a regular file"), std::string::npos) << pipe[0];

    std::filesystem::path dir;
    for (int i = 0; i < 4; ++i)
        dir /= std::string(150, 'd');
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file("data.mdb", dir / "data.mdb");
    const std::vector<std::string> deep = CheckBook((dir / "data.mdb").string());
    ASSERT_EQ(deep.size(), 1u);
    EXPECT_NE(deep[0].find("longer than the engine can open"), std::string::npos) << deep[0];
}
