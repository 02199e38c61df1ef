#include "JetImport.h"

#include <fcntl.h>
#include <mdbtools.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "data/BookFile.h"
#include "platform/ado/BulkDatabase.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/OleDate.h"

namespace fs = std::filesystem;

// The fixed-size values are read straight from the page as little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr int kOffsetMask = 0x1fff;  // row offsets on a data page carry flags above this

template <typename T>
T ReadLe(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// What a Jet file's first page says about it; empty when it looks usable.
std::string SourceProblem(const std::string& source) {
    std::error_code ec;
    if (!fs::exists(source, ec))
        return "'" + source + "' does not exist.";
    if (!fs::is_regular_file(source, ec))
        return "'" + source + "' is not a file.";
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return "'" + source + "' cannot be read: " + std::strerror(errno) + ".";
    char header[32] = {};
    in.read(header, sizeof header);
    const std::streamsize got = in.gcount();
    if (got >= 16 && std::memcmp(header, "SQLite format 3", 16) == 0)
        return "'" + source + "' is already a SQLite book; there is nothing to import.";
    const std::string_view magic(header + 4, 15);
    if (got >= 19 && magic != "Standard Jet DB" && magic != "Standard ACE DB")
        return "'" + source + "' is not a Jet/Access database (.mdb) file.";
    if (got < static_cast<std::streamsize>(sizeof header))
        return "'" + source + "' is too short to be a Jet/Access database.";
    in.clear();
    // Version byte at 0x14: 0 is Jet 3 (2 KiB pages), later versions use 4 KiB pages.
    in.seekg(0x14);
    char version = 0;
    in.read(&version, 1);
    const std::uintmax_t page = version == 0 ? 2048 : 4096;
    const std::uintmax_t size = fs::file_size(source, ec);
    if (ec || size < 2 * page || size % page != 0)
        return "'" + source + "' is truncated (" + std::to_string(size) +
               " bytes is not a whole number of pages); it cannot be imported.";
    return {};
}

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableCloser {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;
using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;

// The declared type that makes the data layer read the column as the same kind
// of value Jet held. Text types carry TEXT affinity so that a text such as
// "007" is never turned into a number on the way in.
std::string DeclaredType(const MdbColumn& col, bool key) {
    switch (col.col_type) {
        case MDB_BOOL:
            return "BIT";
        case MDB_BYTE:
            return "BYTE";
        case MDB_INT:
            return "SMALLINT";
        case MDB_LONGINT:
            return key ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "INTEGER";
        case MDB_MONEY:
            return "CURRENCY";
        case MDB_FLOAT:
            return "SINGLE";
        case MDB_DOUBLE:
            return "DOUBLE";
        case MDB_DATETIME:
            return "DATETIME";
        case MDB_BINARY:
            return "BINARY";
        case MDB_TEXT:
            return "TEXT COLLATE NOCASE";  // Jet compares text without regard to case
        case MDB_OLE:
            return "LONGBINARY";
        case MDB_MEMO:
            return "LONGTEXT COLLATE NOCASE";
        case MDB_REPID:
            return "CHAR(38)";
        case MDB_NUMERIC:
            return "DECIMAL(" + std::to_string(col.col_prec) + "," + std::to_string(col.col_scale) +
                   ")";
        default:
            return "INTEGER";  // attachments and other complex columns: their id
    }
}

class JetReader {
public:
    JetReader(const std::string& source, const std::string& table, MdbHandle* mdb)
        : m_source(source), m_table(table), m_mdb(mdb) {
        std::error_code ec;
        m_fileSize = fs::file_size(source, ec);
    }

    // Bytes of a memo or OLE value whose 12-byte header sits at `p` (`size` bytes in the row).
    std::string LongValue(const unsigned char* p, int size) {
        if (size < MDB_MEMO_OVERHEAD)
            Damaged();
        const std::uint32_t lenFlags = ReadLe<std::uint32_t>(p);
        std::uint32_t pgRow = ReadLe<std::uint32_t>(p + 4);
        const std::size_t length = lenFlags & 0x3fffffff;
        if (length > m_fileSize)  // a damaged length: no value is longer than its file
            Damaged();
        if (lenFlags & 0x80000000) {  // stored in the row itself
            if (length > static_cast<std::size_t>(size - MDB_MEMO_OVERHEAD))
                Damaged();
            return std::string(reinterpret_cast<const char*>(p) + MDB_MEMO_OVERHEAD, length);
        }
        std::string out;
        const bool single = (lenFlags & 0x40000000) != 0;
        // A chain of rows on other pages; each but a single one starts with the next link.
        for (int hops = 0; out.size() < length; ++hops) {
            void* buf = nullptr;
            int start = 0;
            std::size_t len = 0;
            // Every link adds at least one byte, so a loop in the chain ends here.
            if (pgRow == 0 || static_cast<std::size_t>(hops) > length ||
                mdb_find_pg_row(m_mdb, static_cast<int>(pgRow), &buf, &start, &len) != 0)
                Damaged();
            start &= kOffsetMask;
            const auto* row = static_cast<const unsigned char*>(buf) + start;
            if (start + len > static_cast<std::size_t>(m_mdb->fmt->pg_size))
                Damaged();
            if (single) {
                out.assign(reinterpret_cast<const char*>(row), std::min(len, length));
                break;
            }
            if (len <= 4)
                Damaged();
            pgRow = ReadLe<std::uint32_t>(row);
            out.append(reinterpret_cast<const char*>(row) + 4, len - 4);
        }
        if (out.size() < length)
            Damaged();
        out.resize(length);
        return out;
    }

    // Jet text (code page or compressed UTF-16) as UTF-8.
    std::string Text(const char* src, std::size_t len) {
        // Every source byte becomes at most one character of at most 3 bytes.
        m_text.resize(len * 3 + 16);
        const int n = mdb_unicode2ascii(m_mdb, src, len, m_text.data(), m_text.size());
        return std::string(m_text.data(), static_cast<std::size_t>(std::max(n, 0)));
    }

    [[noreturn]] void Damaged() {
        throw ImportError("'" + m_source + "' is damaged: a value in table '" + m_table +
                          "' cannot be read.");
    }

private:
    std::string m_source;
    std::string m_table;
    MdbHandle* m_mdb;
    std::uintmax_t m_fileSize = 0;
    std::vector<char> m_text;
};

// Binds the value of one field of the current row.
void BindField(CMemoryDatabase& db, int index, const MdbColumn& col, const MdbField& field,
               MdbHandle* mdb, JetReader& reader) {
    if (col.col_type == MDB_BOOL) {
        // A yes/no value lives in the row's null mask: "not null" means yes.
        db.BindInteger(index, field.is_null ? 0 : 1);
        return;
    }
    if (field.is_null) {
        db.BindNull(index);
        return;
    }
    // A damaged row can claim a value that reaches past its page.
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb->fmt->pg_size)
        reader.Damaged();
    const unsigned char* p = mdb->pg_buf + field.start;
    const int size = field.siz;
    auto need = [&](int bytes) {
        if (size < bytes)
            reader.Damaged();
    };
    switch (col.col_type) {
        case MDB_BYTE:
            need(1);
            db.BindInteger(index, p[0]);
            return;
        case MDB_INT:
            need(2);
            db.BindInteger(index, ReadLe<std::int16_t>(p));
            return;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            need(4);
            db.BindInteger(index, ReadLe<std::int32_t>(p));
            return;
        case MDB_MONEY: {
            // Currency is a count of ten-thousandths; the data layer reads units back exactly.
            need(8);
            const auto units = ReadLe<std::int64_t>(p);
            if (units % 10000 == 0)
                db.BindInteger(index, units / 10000);
            else
                db.BindReal(index, static_cast<double>(units) / 10000.0);
            return;
        }
        case MDB_FLOAT:
            need(4);
            db.BindReal(index, ReadLe<float>(p));
            return;
        case MDB_DOUBLE:
            need(8);
            db.BindReal(index, ReadLe<double>(p));
            return;
        case MDB_DATETIME: {
            need(8);
            const double days = ReadLe<double>(p);
            const std::string text = OleDateToIsoText(days);
            if (text.empty())  // outside what any date can be: keep the number itself
                db.BindReal(index, days);
            else
                db.BindText(index, text);
            return;
        }
        case MDB_TEXT: {
            const std::string text = reader.Text(reinterpret_cast<const char*>(p), size);
            db.BindText(index, text);
            return;
        }
        case MDB_MEMO: {
            const std::string raw = reader.LongValue(p, size);
            const std::string text = reader.Text(raw.data(), raw.size());
            db.BindText(index, text);
            return;
        }
        case MDB_OLE: {
            const std::string raw = reader.LongValue(p, size);
            db.BindBlob(index, raw.data(), raw.size());
            return;
        }
        case MDB_BINARY:
            db.BindBlob(index, p, static_cast<std::size_t>(size));
            return;
        case MDB_REPID: {
            need(16);
            char* text = mdb_uuid_to_string(mdb->pg_buf, field.start);
            db.BindText(index, text);
            g_free(text);
            return;
        }
        case MDB_NUMERIC: {
            need(17);
            char* text = mdb_numeric_to_string(mdb, field.start, col.col_scale, col.col_prec);
            // Stored as a number, with the numeric affinity of DECIMAL.
            db.BindText(index, text);
            g_free(text);
            return;
        }
        default:
            db.BindBlob(index, p, static_cast<std::size_t>(size));
            return;
    }
}

// The file's own indexes (made after the rows, which is faster): date ranges stay
// quick and unique names stay unique. The AutoNumber key is the rowid already.
void CopyIndexes(CMemoryDatabase& db, MdbTableDef* def, const std::vector<MdbColumn*>& cols,
                 int keyColumn) {
    const std::string table = def->name;
    const GPtrArray* indexes = def->indices;
    if (indexes == nullptr)
        return;
    for (unsigned i = 0; i < indexes->len; ++i) {
        const auto* idx = static_cast<const MdbIndex*>(g_ptr_array_index(indexes, i));
        if (idx->index_type == 2)  // the other side of a relationship, not an index of its own
            continue;
        std::string keys;
        bool usable = idx->num_keys > 0 && idx->num_keys <= MDB_MAX_IDX_COLS;
        for (unsigned k = 0; usable && k < idx->num_keys; ++k) {
            const int c = idx->key_col_num[k] - 1;
            usable = c >= 0 && c < static_cast<int>(cols.size());
            if (usable) {
                keys += (k ? ", " : "") + QuoteIdentifier(cols[c]->name) +
                        (idx->key_col_order[k] == MDB_DESC ? " DESC" : "");
            }
        }
        if (!usable || (idx->num_keys == 1 && idx->key_col_num[0] - 1 == keyColumn))
            continue;
        const bool unique = idx->index_type == 1 || (idx->flags & MDB_IDX_UNIQUE) != 0;
        // Jet names hold no '.', so "table.index" names no other table's index.
        const std::string sql = std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " +
                                QuoteIdentifier(table + "." + idx->name) + " ON " +
                                QuoteIdentifier(table) + " (" + keys + ")";
        try {
            db.Execute(sql);
        } catch (const std::runtime_error& e) {
            throw ImportError("Cannot make index '" + std::string(idx->name) + "' of table '" +
                              table + "': " + e.what());
        }
    }
}

long long CopyTable(CMemoryDatabase& db, MdbHandle* mdb, MdbTableDef* def,
                    const std::string& source, long long done, long long total,
                    ImportProgress progress) {
    const std::string name = def->name;
    std::vector<MdbColumn*> cols;
    for (unsigned i = 0; i < def->num_cols; ++i)
        cols.push_back(static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i)));
    std::string create = "CREATE TABLE " + QuoteIdentifier(name) + " (";
    std::string insert = "INSERT INTO " + QuoteIdentifier(name) + " VALUES (";
    bool keyTaken = false;
    int keyColumn = -1;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        // The first AutoNumber column becomes the rowid, so its values are kept and
        // new rows continue after the highest.
        const bool key = !keyTaken && cols[i]->col_type == MDB_LONGINT && cols[i]->is_long_auto;
        keyTaken = keyTaken || key;
        if (key)
            keyColumn = static_cast<int>(i);
        create +=
            (i ? ", " : "") + QuoteIdentifier(cols[i]->name) + " " + DeclaredType(*cols[i], key);
        insert += i ? ",?" : "?";
    }
    try {
        db.Execute(create + ")");
        db.PrepareRow(insert + ")");
    } catch (const std::runtime_error& e) {
        throw ImportError("Cannot copy table '" + name + "': " + e.what());
    }

    JetReader reader(source, name, mdb);
    std::vector<MdbField> fields(std::max<std::size_t>(cols.size(), 1) + 1);
    long long rows = 0;
    mdb_rewind_table(def);
    while (mdb_fetch_row(def)) {
        // libmdb cannot tell an empty text from NULL once it has bound a value,
        // so the row is cracked again from the page it was just read from.
        int start = 0;
        std::size_t size = 0;
        if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &start, &size) != 0)
            reader.Damaged();
        const int count = mdb_crack_row(def, start & kOffsetMask, size, fields.data());
        if (count != static_cast<int>(cols.size()))
            reader.Damaged();
        for (int i = 0; i < count; ++i) {
            const int c = fields[i].colnum;
            if (c < 0 || c >= count)
                reader.Damaged();
            BindField(db, c + 1, *cols[c], fields[i], mdb, reader);
        }
        try {
            db.AddRow();
        } catch (const std::runtime_error& e) {
            throw ImportError("Cannot copy a row of table '" + name + "': " + e.what());
        }
        ++rows;
        if (progress != nullptr && rows % 1024 == 0)
            progress(done + rows, total, name);
    }
    // A short read means pages are missing or unreadable: never a partial copy.
    if (rows != def->num_rows) {
        throw ImportError("'" + source + "' is damaged or truncated: table '" + name + "' has " +
                          std::to_string(def->num_rows) + " rows, only " + std::to_string(rows) +
                          " could be read.");
    }
    CopyIndexes(db, def, cols, keyColumn);
    return rows;
}

bool CatalogIsWhole(MdbHandle* mdb) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || std::strcmp(entry->object_name, "MSysObjects") != 0)
            continue;
        TablePtr def(mdb_read_table(entry));
        if (!def || mdb_read_columns(def.get()) == nullptr)
            return false;
        unsigned rows = 0;
        mdb_rewind_table(def.get());
        while (mdb_fetch_row(def.get()))
            ++rows;
        return rows == def->num_rows;
    }
    return false;
}

}  // namespace

std::string CopyJetFile(const std::string& source, const std::string& onlyTable,
                        JetCopyStats& stats, ImportProgress progress) {
    if (const std::string problem = SourceProblem(source); !problem.empty())
        throw ImportError(problem);
    MdbPtr mdb(mdb_open(source.c_str(), MDB_NOFLAGS));
    if (!mdb)
        throw ImportError("'" + source + "' cannot be read as a Jet/Access database.");
    if (mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr)
        throw ImportError("'" + source + "' is damaged: its list of tables cannot be read.");

    // The catalog is read like any table, and a short read drops tables without a
    // word: the system table that holds it must give all its rows.
    if (!CatalogIsWhole(mdb.get()))
        throw ImportError("'" + source + "' is damaged or truncated: its list of tables is " +
                          "incomplete.");

    std::vector<TablePtr> tables;
    long long total = 0;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        if (!onlyTable.empty() && onlyTable != entry->object_name)
            continue;
        TablePtr def(mdb_read_table(entry));
        if (!def || mdb_read_columns(def.get()) == nullptr) {
            throw ImportError("'" + source + "' is damaged: table '" + entry->object_name +
                              "' cannot be read.");
        }
        // The indexes are read straight after the columns, from the same table page.
        mdb_read_indices(def.get());
        total += def->num_rows;
        tables.push_back(std::move(def));
    }
    if (!onlyTable.empty() && tables.empty())
        throw ImportError("'" + source + "' has no table '" + onlyTable + "'.");
    if (tables.empty())
        throw ImportError("'" + source + "' has no tables to import.");

    CMemoryDatabase db;
    stats = {};
    for (const TablePtr& def : tables) {
        stats.rows += CopyTable(db, mdb.get(), def.get(), source, stats.rows, total, progress);
        stats.tables.push_back(def->name);
    }
    if (progress != nullptr)
        progress(stats.rows, total, {});
    return db.Image();
}

std::string JetBackupPath(const std::string& path) {
    const fs::path p(path);
    const std::string stem = p.stem().string();
    const std::string ext = p.extension().string();
    std::error_code ec;
    for (int n = 1;; ++n) {
        const std::string name =
            stem + ".jet-backup" + (n == 1 ? "" : "-" + std::to_string(n)) + ext;
        const fs::path candidate = p.parent_path() / name;
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate.string();
    }
}

namespace {

// The named temporary file, removed if the import is stopped by a signal it can catch.
// A plain buffer: the handler may only call async-signal-safe functions.
char g_pendingTemp[4096];

void RemovePendingAndDie(int sig) {
    if (g_pendingTemp[0] != '\0')
        ::unlink(g_pendingTemp);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

class PendingTemp {
public:
    explicit PendingTemp(const std::string& path) : m_path(path) {
        std::snprintf(g_pendingTemp, sizeof g_pendingTemp, "%s", path.c_str());
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, RemovePendingAndDie);
    }
    ~PendingTemp() {
        if (!m_kept)
            ::unlink(m_path.c_str());
        g_pendingTemp[0] = '\0';
    }
    void Keep() { m_kept = true; }

private:
    std::string m_path;
    bool m_kept = false;
};

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

void WriteAll(int fd, const std::string& bytes, const std::string& where) {
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::min<std::size_t>(size, 1 << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw ImportError("Cannot write in '" + where + "': " + std::strerror(errno) + ".");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        throw ImportError("Cannot write in '" + where + "': " + std::strerror(errno) + ".");
}

void SyncFolder(const fs::path& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (fd.Get() >= 0)
        ::fsync(fd.Get());
}

// Puts the finished image under `temp` in the target's folder. The bytes go into
// an unnamed file first, which a SIGKILL or power cut simply discards; it gets a
// name only when it is complete.
void MaterializeImage(const std::string& image, const fs::path& dir, const std::string& temp,
                      mode_t mode) {
    Fd unnamed(::open(dir.c_str(), O_TMPFILE | O_RDWR, 0600));
    if (unnamed.Get() >= 0) {
        ::fchmod(unnamed.Get(), mode);
        WriteAll(unnamed.Get(), image, dir.string());
        const std::string proc = "/proc/self/fd/" + std::to_string(unnamed.Get());
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
    }
    // Folders without unnamed files: a named one, removed on failure or Ctrl-C.
    Fd named(::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600));
    if (named.Get() < 0)
        throw ImportError("Cannot write in '" + dir.string() + "': " + std::strerror(errno) + ".");
    ::fchmod(named.Get(), mode);
    WriteAll(named.Get(), image, dir.string());
}

// The tables of the household book, as its schema creates them.
std::set<std::string> BookTableNames() {
    std::set<std::string> names;
    static const std::regex create(R"(CREATE TABLE\s+([^\s(]+))", std::regex::icase);
    const std::string& schema = BookSchema();
    for (std::sregex_iterator it(schema.begin(), schema.end(), create), end; it != end; ++it)
        names.insert((*it)[1].str());
    return names;
}

std::string TempPrefix(const std::string& targetName) {
    return "." + targetName + ".import-";
}

// A temporary file of an import that was killed while it checked the new book
// (the only moment the file has a name before it is complete and in place).
void RemoveStaleTemps(const fs::path& dir, const std::string& targetName) {
    const std::string prefix = TempPrefix(targetName);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        const std::string pid = name.substr(prefix.size());
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH)
            fs::remove(entry.path(), ec);
    }
}

bool IsJetFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[19] = {};
    in.read(header, sizeof header);
    const std::string_view magic(header + 4, 15);
    return in && (magic == "Standard Jet DB" || magic == "Standard ACE DB");
}

void ShowProgress(long long done, long long total, const std::string& table) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;
    const auto now = Clock::now();
    if (table.empty()) {
        std::fprintf(stderr, "\r\033[K");
        return;
    }
    if (now - last < std::chrono::milliseconds(200))
        return;
    last = now;
    std::fprintf(stderr, "\r\033[KImporting: %lld of %lld rows (%d%%), table %s", done, total,
                 total > 0 ? static_cast<int>(done * 100 / total) : 100, table.c_str());
    std::fflush(stderr);
}

}  // namespace

std::vector<std::string> ImportedBookProblems(const std::string& path,
                                              const std::vector<std::string>& tables,
                                              bool& isBook) {
    const std::set<std::string> bookTables = BookTableNames();
    isBook = std::any_of(tables.begin(), tables.end(),
                         [&](const std::string& t) { return bookTables.count(t) != 0; });
    return isBook ? CheckBook(path) : std::vector<std::string>{};
}

int RunImportCommand(const std::string& sourceArg, const std::string& targetArg, std::FILE* out,
                     std::FILE* err, ImportProgress progress) {
    try {
        std::error_code ec;
        const fs::path source = fs::absolute(sourceArg, ec).lexically_normal();
        const fs::path target =
            targetArg.empty() ? source : fs::absolute(targetArg, ec).lexically_normal();
        const bool replacing = targetArg.empty() || fs::equivalent(source, target, ec);
        if (!replacing && fs::exists(fs::symlink_status(target, ec))) {
            throw ImportError("'" + target.string() +
                              "' already exists; it was left untouched. Name a new file.");
        }
        const fs::path dir = target.parent_path();
        if (!fs::is_directory(dir, ec))
            throw ImportError("The folder of '" + target.string() + "' does not exist.");

        JetCopyStats stats;
        if (progress == nullptr && ::isatty(::fileno(err)) != 0 && err == stderr)
            progress = ShowProgress;
        RemoveStaleTemps(dir, target.filename().string());
        const auto image = CopyJetFile(source.string(), {}, stats, progress);

        const std::string temp =
            (dir / (TempPrefix(target.filename().string()) + std::to_string(::getpid()))).string();
        PendingTemp pending(temp);
        // The book is as private as the file it came from (and always writable by its owner).
        struct stat st {};
        const mode_t mode =
            ::stat(source.c_str(), &st) == 0 ? ((st.st_mode & 0666) | S_IRUSR | S_IWUSR) : 0600;
        MaterializeImage(image, dir, temp, mode);

        bool bookLike = false;
        const std::vector<std::string> problems =
            ImportedBookProblems(temp, stats.tables, bookLike);
        if (!problems.empty()) {
            std::string text = "'" + source.string() +
                               "' holds a household book that lacks what Tillbook needs; "
                               "nothing was written:";
            for (const std::string& p : problems)
                text += "\n  " + p;
            throw ImportError(text);
        }

        if (replacing) {
            // The old file gets its second name before the book takes the first, so at
            // every moment it is still there under one of them.
            std::string backup;
            for (int attempt = 0; backup.empty() && attempt < 100; ++attempt) {
                const std::string candidate = JetBackupPath(source.string());
                if (::link(source.c_str(), candidate.c_str()) == 0)
                    backup = candidate;
                else if (errno != EEXIST && fs::copy_file(source, candidate, ec) && !ec)
                    backup = candidate;
            }
            if (backup.empty())
                throw ImportError("Cannot keep a copy of '" + source.string() +
                                  "' beside it; nothing was changed.");
            // Never put the book over anything but the Jet file just read.
            if (!IsJetFile(source.string()))
                throw ImportError("'" + source.string() + "' changed during the import; " +
                                  "nothing was replaced (a copy of it is at '" + backup + "').");
            if (::rename(temp.c_str(), target.c_str()) != 0)
                throw ImportError("Cannot put the book in place of '" + target.string() +
                                  "': " + std::strerror(errno) + ".");
            pending.Keep();
            SyncFolder(dir);
            std::fprintf(out, "Kept the old file as %s\n", backup.c_str());
        } else {
            // link() refuses an existing name, so a file made meanwhile is never replaced.
            if (::link(temp.c_str(), target.c_str()) != 0) {
                throw ImportError(
                    errno == EEXIST
                        ? "'" + target.string() + "' already exists; it was left untouched."
                        : "Cannot create '" + target.string() + "': " + std::strerror(errno) + ".");
            }
            SyncFolder(dir);
        }
        std::fprintf(out, "Imported %zu tables, %lld rows from %s into %s\n", stats.tables.size(),
                     stats.rows, source.c_str(), target.c_str());
        if (!bookLike) {
            std::fprintf(out,
                         "Note: it has none of the household book's tables, so Tillbook will not "
                         "open it as a book.\n");
        }
        return 0;
    } catch (const std::bad_alloc&) {
        if (progress == ShowProgress)
            ShowProgress(0, 0, {});
        std::fprintf(err, "tillbook-db: not enough memory to import '%s'.\n", sourceArg.c_str());
        return 1;
    } catch (const std::exception& e) {
        if (progress == ShowProgress)
            ShowProgress(0, 0, {});  // the message starts on a clean line
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
}
