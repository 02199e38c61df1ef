#include "CsvExport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "JetImport.h"
#include "TransferTestSupport.h"
#include "data/BookFile.h"

namespace fs = std::filesystem;

namespace {

void Exec(const SqliteFile& db, const std::string& sql) {
    ASSERT_TRUE(db.Exec(sql)) << sql;
}

const char* const kBookTables[] = {"normalIncome", "normalPay", "tbUser",  "baseData",
                                   "家庭成员",     "收入类型",  "支出类型"};

// Every value of a table with its storage type, so "3" and 3.0, '' and NULL differ.
std::vector<CsvRow> TypedRows(const SqliteFile& db, const std::string& table) {
    std::string columns;
    for (const CsvRow& c : db.Rows("SELECT name FROM pragma_table_info('" + table + "')"))
        columns += (columns.empty() ? "" : ", ") + ("quote(\"" + *c[0] + "\")");
    return db.Rows("SELECT " + columns + " FROM \"" + table + "\" ORDER BY rowid");
}

// Loads the CSV files of `dir` into the book at `path`, whose tables are emptied first.
void LoadCsvInto(const fs::path& dir, const fs::path& path) {
    SqliteFile db(path);
    Exec(db, "DELETE FROM sqlite_sequence");
    for (const char* table : kBookTables) {
        SCOPED_TRACE(table);
        Exec(db, std::string("DELETE FROM \"") + table + "\"");
        const auto rows = ParseCsv(ReadFile(dir / CsvFileName(table)));
        ASSERT_FALSE(rows.empty());
        std::string names;
        for (const auto& name : rows[0])
            names += (names.empty() ? "\"" : ", \"") + *name + "\"";
        for (std::size_t r = 1; r < rows.size(); ++r) {
            // Every field as a quoted text, as a loader of CSV files has it.
            std::string values;
            for (const auto& field : rows[r]) {
                std::string literal = "NULL";
                if (field) {
                    literal = "'";
                    for (char c : *field)
                        literal += c == '\'' ? std::string("''") : std::string(1, c);
                    literal += "'";
                }
                values += (values.empty() ? "" : ", ") + literal;
            }
            Exec(db, std::string("INSERT INTO \"") + table + "\" (" + names + ") VALUES (" +
                         values + ")");
        }
    }
}

TEST(CsvExport, FilesLoadedBackIntoAnEmptyBookRestoreEveryRow) {
    TempDir dir;
    const fs::path book = dir / "data.mdb";
    CreateBook(book);
    {
        SqliteFile db(book);
        Exec(db,
             "INSERT INTO normalIncome (收入人员, 收入金额, 收入日期, 收入项目, 备注) VALUES "
             "('爸爸', 0.1, '2024-02-29 08:30:00', '工资', NULL), "
             "('妈妈, \"小\" 王', 12345.67, '1999-12-31 23:59:59.123', '奖金', 'a\r\nb,c'), "
             "(' 孩子 ', 1e-7, '0100-01-01 00:00:00', '其他收入', ''), "
             "('爸爸', 1234567890.123456789, '9999-12-31 23:59:59', '礼金', '\"')");
        Exec(db,
             "INSERT INTO normalPay (支出人员, 支出金额, 支出日期, 支出项目) VALUES "
             "('妈妈', 3, '2024-01-01 00:00:00', '餐饮')");
        // Gaps in the numbers must survive.
        Exec(db, "DELETE FROM 家庭成员 WHERE 类型 = '妈妈'");
        Exec(db, "INSERT INTO 家庭成员 (类型, 备注) VALUES ('奶奶', '住在\n乡下')");
    }
    const fs::path csv = dir / "csv";
    ASSERT_EQ(RunExportCommand(book, csv, false, stdout, stderr), 0);

    const std::string income = ReadFile(csv / "normalIncome.csv");
    EXPECT_EQ(income.substr(0, 3), "\xEF\xBB\xBF");  // spreadsheets then read it as UTF-8
    EXPECT_EQ(income.substr(3, income.find("\r\n") - 3),
              "编号,收入人员,收入金额,收入日期,收入项目,备注");
    EXPECT_NE(
        income.find("2,\"妈妈, \"\"小\"\" 王\",12345.67,1999-12-31 23:59:59.123,奖金,\"a\r\nb,c\""),
        std::string::npos)
        << income;
    EXPECT_FALSE(fs::exists(csv / "sqlite_sequence.csv"));

    const fs::path restored = dir / "restored.mdb";
    CreateBook(restored);
    LoadCsvInto(csv, restored);
    SqliteFile before(book), after(restored);
    for (const char* table : kBookTables) {
        SCOPED_TRACE(table);
        EXPECT_EQ(TypedRows(after, table), TypedRows(before, table));
    }
    EXPECT_EQ(CheckBook(restored), std::vector<std::string>{});
}

TEST(CsvExport, NeverReplacesAFileWithoutForce) {
    TempDir dir;
    const fs::path book = dir / "data.mdb";
    CreateBook(book);
    const fs::path csv = dir / "csv";
    fs::create_directory(csv);
    { std::ofstream(csv / "tbUser.csv") << "mine"; }
    EXPECT_EQ(RunExportCommand(book, csv, false, stdout, stderr), 1);
    EXPECT_EQ(ReadFile(csv / "tbUser.csv"), "mine");
    // Refused as a whole: no other table was written either.
    EXPECT_FALSE(fs::exists(csv / "normalIncome.csv"));

    EXPECT_EQ(RunExportCommand(book, csv, true, stdout, stderr), 0);
    EXPECT_NE(ReadFile(csv / "tbUser.csv").find("root"), std::string::npos);
    EXPECT_TRUE(fs::exists(csv / "normalIncome.csv"));
    // A Jet file is no book to export.
    EXPECT_EQ(RunExportCommand(CopyJetSample("nwind.mdb", dir.Path()), dir / "jet", false, stdout,
                               stderr),
              1);
}

TEST(CsvExport, AFailureLeavesTheFolderAsItWasAndAPipeIsRefusedAtOnce) {
    TempDir dir;
    const fs::path book = dir / "data.mdb";
    CreateBook(book);
    const fs::path csv = dir / "csv";
    ASSERT_EQ(RunExportCommand(book, csv, false, stdout, stderr), 0);
    const std::string users = ReadFile(csv / "tbUser.csv");
    {
        // A later row, and a last table whose pages cannot be read.
        SqliteFile db(book);
        Exec(db, "INSERT INTO tbUser (user, password) VALUES ('新用户', 'x')");
        Exec(db,
             "PRAGMA writable_schema = ON; INSERT INTO sqlite_master SELECT 'table', 'broken', "
             "'broken', rootpage, 'CREATE TABLE broken (a)' FROM sqlite_master WHERE type = "
             "'index' LIMIT 1");
    }
    EXPECT_EQ(RunExportCommand(book, csv, true, stdout, stderr), 1);
    EXPECT_EQ(ReadFile(csv / "tbUser.csv"), users);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"csv", "data.mdb"}));
    // Nor is a new folder made half.
    EXPECT_EQ(RunExportCommand(book, dir / "new", false, stdout, stderr), 1);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"csv", "data.mdb"}));

    // A pipe nobody writes to would block a plain open for ever.
    fs::create_directory(dir / "pipe");
    ASSERT_EQ(::mkfifo((dir / "pipe" / "data.mdb").c_str(), 0600), 0);
    EXPECT_EQ(RunExportCommand(dir / "pipe" / "data.mdb", dir / "out", false, stdout, stderr), 1);
    EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST(CsvExport, TablesWhoseFileNamesWouldClashGetOneFileEach) {
    TempDir dir;
    const fs::path book = dir / "data.mdb";
    CreateBook(book);
    {
        SqliteFile db(book);
        Exec(db, "CREATE TABLE \"a/b\" (x); CREATE TABLE a_b (y); INSERT INTO \"a/b\" VALUES (1)");
    }
    ASSERT_EQ(RunExportCommand(book, dir / "csv", false, stdout, stderr), 0);
    EXPECT_EQ(ReadFile(dir / "csv" / "a_b.csv"), "\xEF\xBB\xBFx\r\n1\r\n");
    EXPECT_EQ(ReadFile(dir / "csv" / "a_b-2.csv"), "\xEF\xBB\xBFy\r\n");
}

TEST(CsvExport, ImportedJetDatesAndLineBreaksComeOutAsText) {
    TempDir dir;
    const fs::path source = CopyJetSample("DateTestDatabase.mdb", dir.Path());
    ASSERT_EQ(RunImportCommand(source, dir / "book.db", stdout, stderr), 0);
    ASSERT_EQ(RunExportCommand(dir / "book.db", dir / "csv", false, stdout, stderr), 0);
    const auto rows = ParseCsv(ReadFile(dir / "csv" / "DateTest.csv"));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2][1], "9999-01-01 00:00:00");
    EXPECT_EQ(rows[4][1], "0632-01-01 00:00:00");
    EXPECT_EQ(rows[6][4], "New line\r\nin field");
}

TEST(CsvExport, NamesFilesAfterTheirTables) {
    EXPECT_EQ(CsvFileName("a/b"), "a_b.csv");
    EXPECT_EQ(CsvFileName(".."), "_...csv");
}

}  // namespace
