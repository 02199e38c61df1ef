#include "JetImport.h"

#include "BookPlacement.h"
#include "BoundedJetCopy.h"

#include <gtest/gtest.h>

#include <mdbtools.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "TransferTestSupport.h"
#include "data/BookFile.h"
#include "data/DatabaseFailure.h"
#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/OleDate.h"

namespace fs = std::filesystem;

namespace {

const char* const kNull = "~NULL~";

// The day numbers of the date columns as stored in the file, row by row in the
// file's order, read through libmdb's own row binding (nullopt: not a date or NULL).
std::vector<std::vector<std::optional<double>>> StoredDays(const fs::path& file,
                                                           const std::string& table) {
    std::vector<std::vector<std::optional<double>>> rows;
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr || mdb_read_catalog(mdb, MDB_TABLE) == nullptr) {
        ADD_FAILURE() << "libmdb cannot open " << file;
        return rows;
    }
    MdbTableDef* def = mdb_read_table_by_name(mdb, const_cast<char*>(table.c_str()), MDB_TABLE);
    mdb_read_columns(def);
    mdb_rewind_table(def);
    while (mdb_fetch_row(def)) {
        std::vector<std::optional<double>> row;
        for (unsigned c = 0; c < def->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
            if (col->col_type == MDB_DATETIME && col->cur_value_len > 0)
                row.push_back(mdb_get_double(mdb->pg_buf, col->cur_value_start));
            else
                row.push_back(std::nullopt);
        }
        rows.push_back(std::move(row));
    }
    mdb_free_tabledef(def);
    mdb_close(mdb);
    return rows;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct ColumnInfo {
    std::string name;
    std::string type;
    bool key;
};

std::vector<ColumnInfo> Columns(const SqliteFile& db, const std::string& table) {
    std::vector<ColumnInfo> columns;
    std::string quoted = "'";
    for (char c : table)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    for (const CsvRow& r : db.Rows("SELECT name, type, pk FROM pragma_table_info(" + quoted + "')"))
        columns.push_back({*r[0], *r[1], *r[2] != "0"});
    return columns;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Compares one imported value with mdb-export's text (or the stored day number for dates).
void ExpectSameValue(const ColumnInfo& col, const std::optional<std::string>& exported,
                     const std::optional<double>& storedDays,
                     const std::optional<std::string>& imported, const std::string& where) {
    SCOPED_TRACE(where + "." + col.name);
    if (col.type == "DATETIME") {
        ASSERT_EQ(storedDays.has_value(), imported.has_value());
        if (!storedDays)
            return;
        double days = 0;
        ASSERT_TRUE(OleDateFromIsoText(*imported, days)) << *imported;
        // The text keeps milliseconds, so it names the stored moment to the millisecond.
        EXPECT_NEAR(days, *storedDays, 0.5 / 86400000.0) << *imported;
        return;
    }
    ASSERT_EQ(exported.has_value(), imported.has_value())
        << "exported " << exported.value_or(kNull) << ", imported " << imported.value_or(kNull);
    if (!exported)
        return;
    if (col.type == "CURRENCY") {
        EXPECT_EQ(std::llround(std::stod(*exported) * 10000),
                  std::llround(std::stod(*imported) * 10000));
    } else if (col.type == "SINGLE") {
        EXPECT_FLOAT_EQ(std::stof(*exported), std::stof(*imported));
    } else if (col.type == "DOUBLE") {
        EXPECT_DOUBLE_EQ(std::stod(*exported), std::stod(*imported));
    } else if (col.type == "BINARY" || col.type == "LONGBINARY") {
        EXPECT_EQ(Upper(*exported), *imported);
    } else if (col.type == "CHAR(38)") {
        // mdbtools writes a GUID as the hex of its text, and drops the text's fourth dash.
        std::string text;
        for (std::size_t i = 0; i + 1 < exported->size(); i += 2)
            text += static_cast<char>(std::stoi(exported->substr(i, 2), nullptr, 16));
        ASSERT_EQ(imported->size(), 38u) << *imported;
        EXPECT_EQ(imported->substr(0, 24) + imported->substr(25), text);
        EXPECT_EQ((*imported)[24], '-');
    } else {
        EXPECT_EQ(*exported, *imported);
    }
}

class JetImportSample : public testing::TestWithParam<std::string> {};

TEST_P(JetImportSample, EveryTableRowAndValueEqualsWhatMdbToolsRead) {
    TempDir dir;
    const fs::path source = CopyJetSample(GetParam(), dir.Path());
    const fs::path book = dir / "book.db";
    ASSERT_EQ(RunImportCommand(source, book, stdout, stderr), 0);

    SqliteFile db(book);
    const std::string q = ShellQuote(source.string());
    const auto tables = Lines(Shell("mdb-tables -1 " + q));
    ASSERT_FALSE(tables.empty());
    // Every table, under its own name (spaces and non-ASCII letters included), and no other.
    std::vector<std::string> imported;
    for (const CsvRow& r : db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                   "name <> 'sqlite_sequence' ORDER BY rowid"))
        imported.push_back(*r[0]);
    EXPECT_EQ(imported, tables);

    for (const std::string& table : tables) {
        SCOPED_TRACE(table);
        const std::string quotedTable = "\"" + table + "\"";
        const long long count = std::stoll(Shell("mdb-count " + q + " " + ShellQuote(table)));
        EXPECT_EQ(db.Count("SELECT count(*) FROM " + quotedTable), count);

        const auto columns = Columns(db, table);
        // Fixed-point columns keep the precision and scale Access declares.
        const std::string schema = Shell("mdb-schema -T " + ShellQuote(table) + " " + q);
        for (const ColumnInfo& c : columns) {
            if (c.type.rfind("DECIMAL", 0) != 0)
                continue;
            const std::size_t at = schema.find("[" + c.name + "]");
            ASSERT_NE(at, std::string::npos) << c.name;
            std::istringstream line(schema.substr(schema.find("Numeric (", at) + 9));
            int precision = 0, scale = 0;
            char comma = 0;
            line >> precision >> comma >> scale;
            EXPECT_EQ(c.type,
                      "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")");
        }
        auto exported =
            ParseCsv(Shell("mdb-export -H -b hex -0 " + std::string(kNull) +
                           " -D '%Y-%m-%d' -T '%Y-%m-%d %H:%M:%S' " + q + " " + ShellQuote(table)),
                     kNull);
        auto days = StoredDays(source, table);
        ASSERT_EQ(exported.size(), static_cast<std::size_t>(count));
        ASSERT_EQ(days.size(), exported.size());
        // The AutoNumber becomes the rowid, so the rows come back in key order.
        std::vector<std::size_t> order(exported.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].key) {
                std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                    return std::stoll(*exported[a][c]) < std::stoll(*exported[b][c]);
                });
            }
        }
        std::string select;
        for (const ColumnInfo& c : columns) {
            const bool binary = c.type == "BINARY" || c.type == "LONGBINARY";
            select += (select.empty() ? "" : ", ") + std::string(binary ? "hex(" : "(") + "\"" +
                      c.name + "\")";
        }
        const auto rows = db.Rows("SELECT " + select + " FROM " + quotedTable + " ORDER BY rowid");
        ASSERT_EQ(rows.size(), exported.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const CsvRow& want = exported[order[r]];
            ASSERT_EQ(want.size(), columns.size()) << "row " << r;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                ExpectSameValue(columns[c], want[c], days[order[r]][c], rows[r][c],
                                table + " row " + std::to_string(r));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, JetImportSample,
                         testing::Values("nwind.mdb", "DateTestDatabase.mdb"));

// Another reader's test files, one part of the format each (peer/README.md).
std::vector<std::string> PeerFiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(TILLBOOK_JET_TEST_DATA) / "peer")) {
        if (e.path().extension() == ".mdb")
            names.push_back("peer/" + e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Peer, JetImportSample, testing::ValuesIn(PeerFiles()),
                         [](const testing::TestParamInfo<std::string>& file) {
                             return fs::path(file.param).stem().string();
                         });

TEST(JetImport, DatesOutsideTheCenturiesMdbToolsGetsRightComeOutAsTheStoredDay) {
    TempDir dir;
    const fs::path source = CopyJetSample("DateTestDatabase.mdb", dir.Path());
    ASSERT_EQ(RunImportCommand(source, dir / "book.db", stdout, stderr), 0);
    SqliteFile db(dir / "book.db");
    const auto rows = db.Rows("SELECT DateTimeCol, DateCol, TimeCol FROM DateTest ORDER BY rowid");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1],
              (CsvRow{"9999-01-01 00:00:00", "9999-01-01 00:00:00", "9999-01-01 00:00:00"}));
    EXPECT_EQ(rows[2],
              (CsvRow{"1898-01-01 00:00:00", "1899-01-01 00:00:00", "1900-01-01 00:00:00"}));
    EXPECT_EQ(rows[3],
              (CsvRow{"0632-01-01 00:00:00", "0633-01-01 00:00:00", "0634-01-01 00:00:00"}));
    // The book's own reader sees them as dates.
    EXPECT_EQ(db.Rows("SELECT typeof(DateCol) FROM DateTest LIMIT 1")[0][0], "text");
}

TEST(JetImport, AutoNumberKeepsItsValuesAndNewRowsContinueAfterTheHighestAndIndexesCome) {
    TempDir dir;
    const fs::path source = CopyJetSample("nwind.mdb", dir.Path());
    ASSERT_EQ(RunImportCommand(source, dir / "book.db", stdout, stderr), 0);
    SqliteFile db(dir / "book.db");
    EXPECT_EQ(db.Count("SELECT OrderID FROM Orders WHERE CustomerID = 'LILAS' AND "
                       "OrderDate = '1994-11-16 00:00:00'"),
              10330);
    const long long highest = db.Count("SELECT max(OrderID) FROM Orders");
    ASSERT_TRUE(db.Exec("INSERT INTO Orders (CustomerID) VALUES ('NEW')"));
    EXPECT_EQ(db.Count("SELECT OrderID FROM Orders WHERE CustomerID = 'NEW'"), highest + 1);

    // The file's indexes, unique ones unique; the AutoNumber key needs none besides the rowid.
    const auto indexes = db.Rows(
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name IN "
        "('Order Details', 'Orders') ORDER BY name");
    EXPECT_EQ(indexes.size(), 8u);
    EXPECT_EQ(indexes[1], (CsvRow{"Order Details.PrimaryKey",
                                  "CREATE UNIQUE INDEX \"Order Details.PrimaryKey\" ON \"Order "
                                  "Details\" (\"OrderID\", \"ProductID\")"}));
    EXPECT_EQ(indexes[5][0], "Orders.OrderDate");
    EXPECT_FALSE(
        db.Exec("INSERT INTO \"Order Details\" (OrderID, ProductID, UnitPrice, "
                "Quantity, Discount) VALUES (10248, 11, 1, 1, 0)"));
}

TEST(JetImport, ACopyWithTheBooksTablesMustPassTheBookCheck) {
    TempDir dir;
    bool isBook = true;
    // A database with none of the book's tables is copied as it is.
    EXPECT_TRUE(ImportedBookProblems((dir / "none.db").string(), {"Orders"}, isBook).empty());
    EXPECT_FALSE(isBook);

    const fs::path sound = dir / "sound.db";
    CreateBook(sound.string());
    EXPECT_EQ(ImportedBookProblems(sound.string(), {"normalIncome", "tbUser"}, isBook),
              std::vector<std::string>{});
    EXPECT_TRUE(isBook);

    // An old book that lacks a table and keeps its dates as text.
    const fs::path lacking = dir / "lacking.db";
    CreateBook(lacking.string());
    {
        SqliteFile db(lacking);
        ASSERT_TRUE(
            db.Exec("DROP TABLE normalPay; DROP TABLE normalIncome; CREATE TABLE "
                    "normalIncome (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 收入人员 "
                    "TEXT, 收入金额 DOUBLE, 收入日期 TEXT, 收入项目 TEXT, 备注 TEXT)"));
    }
    const auto problems = ImportedBookProblems(lacking.string(), {"normalIncome"}, isBook);
    EXPECT_TRUE(isBook);
    EXPECT_EQ(problems, (std::vector<std::string>{"table normalIncome: column 收入日期 must be "
                                                  "DATETIME",
                                                  "missing table normalPay"}));
}

TEST(JetImport, InPlaceKeepsTheOldFileBesideAndNeverOverwritesABook) {
    TempDir dir;
    const fs::path source = CopyJetSample("DateTestDatabase.mdb", dir.Path());
    const std::string original = ReadFile(source);
    // The usual case: the old file sits where the book belongs.
    ASSERT_EQ(RunImportCommand(source, "", stdout, stderr), 0);
    EXPECT_EQ(ReadFile(source).substr(0, 15), "SQLite format 3");
    EXPECT_EQ(ReadFile(dir / "DateTestDatabase.jet-backup.mdb"), original);
    // No wider readable than the file it replaces.
    EXPECT_EQ(fs::status(source).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"DateTestDatabase.jet-backup.mdb",
                                                     "DateTestDatabase.mdb"}));

    // A second run finds a book there and leaves it alone.
    const std::string book = ReadFile(source);
    EXPECT_EQ(RunImportCommand(source, "", stdout, stderr), 1);
    EXPECT_EQ(ReadFile(source), book);
    // An existing book is never the target of another import, nor is any other file.
    const fs::path other = CopyJetSample("nwind.mdb", dir.Path());
    EXPECT_EQ(RunImportCommand(other, source, stdout, stderr), 1);
    EXPECT_EQ(ReadFile(source), book);
    // A second in-place import picks the next free name for the old file.
    ASSERT_EQ(RunImportCommand(dir / "DateTestDatabase.jet-backup.mdb",
                               dir / "DateTestDatabase.jet-backup.mdb", stdout, stderr),
              0);
    EXPECT_TRUE(fs::exists(dir / "DateTestDatabase.jet-backup.jet-backup.mdb"));
    EXPECT_EQ(JetBackupPath(source.string()), (dir / "DateTestDatabase.jet-backup-2.mdb").string());
}

TEST(JetImport, UnusableSourcesGetAClearMessageAndNoFile) {
    TempDir dir;
    const fs::path good = CopyJetSample("nwind.mdb", dir.Path());
    const std::string bytes = ReadFile(good);
    struct Case {
        const char* name;
        std::string content;
        const char* message;
    };
    // A row of Table1 (the first on its data page, page 29) that claims 65535 columns:
    // unlike a row of an older column count, it cannot be decoded.
    std::string undecodable = ReadFile(CopyJetSample("peer/delColTestV2000.mdb", dir.Path()));
    const std::size_t page = 29 * 4096;
    const auto offset = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(undecodable[at]));
    };
    const std::size_t row = page + (offset(page + 14) | (offset(page + 15) & 0x1f) << 8);
    undecodable[row] = undecodable[row + 1] = '\xff';
    // One byte of the catalog changed (found by the fuzzer): a table without a name.
    std::string nameless = ReadFile(CopyJetSample("peer/delTestV1997.mdb", dir.Path()));
    nameless[36904] = '5';
    const Case cases[] = {
        {"text.mdb", "this is not a database\n", "not a Jet/Access database"},
        {"empty.mdb", "", "too short"},
        {"cut.mdb", bytes.substr(0, 1000000), "truncated"},
        // Cut at a page boundary: the header is whole, rows are missing.
        {"pages.mdb", bytes.substr(0, 2048 * 700), "truncated"},
        {"book.mdb", std::string("SQLite format 3\0", 16) + std::string(1000, '\0'),
         "already a SQLite book"},
        // Whole pages, but fewer than the file refers to: libmdb read on with stale bytes,
        // looped for ever or grew without end on these.
        {"cut368.mdb", bytes.substr(0, 2048 * 368),
         "truncated or damaged: it refers to pages past its end"},
        {"cut372.mdb", bytes.substr(0, 2048 * 372),
         "truncated or damaged: it refers to pages past its end"},
        {"cut421.mdb", bytes.substr(0, 2048 * 421),
         "truncated or damaged: it refers to pages past its end"},
        {"undecodable.mdb", undecodable, "damaged or truncated: table 'Table1' has 2 rows, only 1"},
        {"nameless.mdb", nameless, "its list of tables holds a name no table can have"},
        {"new.accdb", std::string("\0\1\0\0Standard ACE DB\0\2", 21) + std::string(8171, '\0'),
         "Access 2007 or later file (.accdb), which cannot be imported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        { std::ofstream(path, std::ios::binary) << c.content; }
        const auto before = dir.Names();
        char* text = nullptr;
        std::size_t size = 0;
        FILE* err = ::open_memstream(&text, &size);
        EXPECT_EQ(RunImportCommand(path, dir / "out.db", stdout, err), 1);
        std::fclose(err);
        EXPECT_NE(std::string(text, size).find(c.message), std::string::npos) << text;
        std::free(text);
        EXPECT_EQ(dir.Names(), before);
    }
    EXPECT_EQ(RunImportCommand(dir / "missing.mdb", dir / "out.db", stdout, stderr), 1);
    EXPECT_FALSE(fs::exists(dir / "out.db"));
}

TEST(JetImport, TheProgramsMessageForAJetFileNamesACommandThatRunsAsShown) {
    TempDir dir;
    fs::create_directory(dir / "Our Books (old)");
    const fs::path book = dir / "Our Books (old)" / "data.mdb";
    fs::copy_file(CopyJetSample("DateTestDatabase.mdb", dir.Path()), book);
    std::string message;
    try {
        CConnection connection;
        connection.OpenFile(book.string());
        FAIL() << "a Jet file opened as a book";
    } catch (const CComError&) {
        message = DescribeDatabaseFailure(std::current_exception()).value_or("");
    }
    const std::string lead = "请先转换：";
    const std::size_t at = message.find(lead);
    ASSERT_NE(at, std::string::npos) << message;
    // The command is the rest of its line; the tool beside this test stands in for the one
    // beside the program.
    const std::string command =
        message.substr(at + lead.size(), message.find('\n', at) - at - lead.size());
    EXPECT_EQ(
        command.rfind(
            fs::read_symlink("/proc/self/exe").parent_path().string() + "/tillbook-db import ", 0),
        0u)
        << command;
    Shell(command + " >/dev/null");
    EXPECT_EQ(ReadFile(book).substr(0, 15), "SQLite format 3");
    EXPECT_TRUE(fs::exists(dir / "Our Books (old)" / "data.jet-backup.mdb"));
}

TEST(JetImport, AReadThatOutlivesItsTimeIsStoppedAndRefused) {
    TempDir dir;
    const fs::path source = CopyJetSample("nwind.mdb", dir.Path());
    JetCopyStats stats;
    try {
        CopyJetFileBounded(source, {}, stats, nullptr, {std::chrono::milliseconds(0), 1u << 30});
        FAIL() << "no time was enough";
    } catch (const ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("did not end within 0 seconds"), std::string::npos)
            << e.what();
    }
    const auto image = CopyJetFileBounded(source, "Shippers", stats, nullptr,
                                          JetReadLimitsFor(fs::file_size(source)));
    EXPECT_EQ(image.substr(0, 15), "SQLite format 3");
    EXPECT_EQ(stats.tables, std::vector<std::string>{"Shippers"});
    EXPECT_EQ(stats.rows, 3);
}

void KillSelf(long long, long long, const std::string& table) {
    if (!table.empty())
        ::raise(SIGKILL);
}

TEST(JetImport, KilledMidImportLeavesNoBookAndNoHalfFile) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "new file");
        TempDir dir;
        const fs::path source = CopyJetSample("nwind.mdb", dir.Path());
        const std::string original = ReadFile(source);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RunImportCommand(source, inPlace ? "" : (dir / "book.db").string(), stdout, stderr,
                             KillSelf);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"nwind.mdb"});
        EXPECT_EQ(ReadFile(source), original);
    }
}

}  // namespace
