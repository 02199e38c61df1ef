#include "JetCopy.h"

#include <mdbtools.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "JetPageReads.h"
#include "platform/ado/BulkDatabase.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/JetSignature.h"
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
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got >= 16 && std::memcmp(header, "SQLite format 3", 16) == 0)
        return "'" + source + "' is already a SQLite book; there is nothing to import.";
    const JetFormat format = JetFormatOf(std::string_view(header, got));
    if (got >= kJetSignatureBytes && format == JetFormat::None)
        return "'" + source + "' is not a Jet/Access database (.mdb) file.";
    if (format == JetFormat::Ace)
        return "'" + source + "' is an Access 2007 or later file (.accdb), which cannot be " +
               "imported; save it in Access as an Access 2002-2003 database (.mdb) and import " +
               "that file.";
    if (got < sizeof header)
        return "'" + source + "' is too short to be a Jet/Access database.";
    const std::uintmax_t page = format == JetFormat::Jet3 ? 2048 : 4096;
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
            // libmdb keeps the precision in col_scale and the scale in col_prec.
            return "DECIMAL(" + std::to_string(col.col_scale) + "," + std::to_string(col.col_prec) +
                   ")";
        default:
            return "INTEGER";  // attachments and other complex columns: their id
    }
}

// The canonical form {8E39276A-BCA8-4AC4-891E-49911D8438DD} of a GUID's 16 stored
// bytes (the first three groups little-endian).
std::string GuidText(const unsigned char* p) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  ReadLe<std::uint32_t>(p), ReadLe<std::uint16_t>(p + 4),
                  ReadLe<std::uint16_t>(p + 6), p[8], p[9], p[10], p[11], p[12], p[13], p[14],
                  p[15]);
    return text;
}

// Access names are never empty and hold no control characters; a damaged catalog or
// table definition yields such names (and text libmdb could not convert).
bool IsPlausibleName(const char* name) {
    const std::string_view s(name);
    if (s.empty())
        return false;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7f)
            return false;
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += n;
    }
    return true;
}

class JetReader {
public:
    JetReader(const std::string& source, const std::string& table, MdbHandle* mdb)
        : m_source(source), m_table(table), m_mdb(mdb) {
        std::error_code ec;
        m_fileSize = fs::file_size(source, ec);
        m_pages = m_fileSize / static_cast<std::uintmax_t>(mdb->fmt->pg_size);
    }

    // A page the file refers to must be in it.
    void NeedPage(std::uintmax_t page) {
        if (page >= m_pages)
            throw ImportError(CutShortMessage(m_source));
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
            if (pgRow == 0 || static_cast<std::size_t>(hops) > length)
                Damaged();
            NeedPage(pgRow >> 8);
            if (mdb_find_pg_row(m_mdb, static_cast<int>(pgRow), &buf, &start, &len) != 0)
                Damaged();
            start &= kOffsetMask;
            const auto* row = static_cast<const unsigned char*>(buf) + start;
            if (static_cast<std::size_t>(start) + len >
                static_cast<std::size_t>(m_mdb->fmt->pg_size))
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
    std::uintmax_t m_pages = 0;
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
            const std::string text =
                reader.Text(reinterpret_cast<const char*>(p), static_cast<std::size_t>(size));
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
            db.BindText(index, GuidText(p));
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
                keys += (k ? ", " : "") + QuoteIdentifier(cols[static_cast<std::size_t>(c)]->name) +
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
        if (!IsPlausibleName(cols[i]->name)) {
            throw ImportError("'" + source + "' is damaged: table '" + name +
                              "' has a column whose name no column can have.");
        }
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
        reader.NeedPage(def->cur_phys_pg);
        if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &start, &size) != 0)
            reader.Damaged();
        // A row keeps the column count of its day: columns added since are not in it
        // (NULL), columns deleted since are still in it (skipped by the layout).
        if (mdb_crack_row(def, start & kOffsetMask, size, fields.data()) <= 0)
            reader.Damaged();
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (fields[c].colnum != static_cast<int>(c))
                reader.Damaged();
            BindField(db, static_cast<int>(c) + 1, *cols[c], fields[c], mdb, reader);
        }
        try {
            db.AddRow();
        } catch (const std::runtime_error& e) {
            throw ImportError("Cannot copy a row of table '" + name + "': " + e.what());
        }
        // More rows than the table holds: the pages lead in a circle.
        if (++rows > static_cast<long long>(def->num_rows))
            break;
        if (progress != nullptr && rows % 1024 == 0)
            progress(done + rows, total, name);
    }
    // A short read means pages are missing or unreadable: never a partial copy.
    if (rows != def->num_rows) {
        throw ImportError("'" + source + "' is damaged or truncated: table '" + name + "' has " +
                          std::to_string(def->num_rows) + " rows, " +
                          (rows < def->num_rows ? "only " + std::to_string(rows) + " could be read."
                                                : "its pages lead to more."));
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
        while (rows <= def->num_rows && mdb_fetch_row(def.get()))
            ++rows;
        return rows == def->num_rows;
    }
    return false;
}

}  // namespace

std::string CutShortMessage(const std::string& source) {
    return "'" + source + "' is truncated or damaged: it refers to pages past its end; it " +
           "cannot be imported.";
}

JetFormat JetFileFormat(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[kJetSignatureBytes] = {};
    in.read(header, sizeof header);
    return JetFormatOf(std::string_view(header, static_cast<std::size_t>(in.gcount())));
}

std::string CopyJetFile(const std::string& source, const std::string& onlyTable,
                        JetCopyStats& stats, ImportProgress progress) {
    if (const std::string problem = SourceProblem(source); !problem.empty())
        throw ImportError(problem);
    PageReads reads;
    MdbPtr mdb(mdb_open(source.c_str(), MDB_NOFLAGS));
    if (!mdb || !WatchPageReads(mdb.get(), source, reads))
        throw ImportError("'" + source + "' cannot be read as a Jet/Access database.");
    if (mdb_read_catalog(mdb.get(), MDB_TABLE) == nullptr || reads.pastTheEnd) {
        throw ImportError(reads.pastTheEnd
                              ? CutShortMessage(source)
                              : "'" + source + "' is damaged: its list of tables cannot be read.");
    }

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
        if (!IsPlausibleName(entry->object_name)) {
            throw ImportError("'" + source + "' is damaged: its list of tables holds a name no " +
                              "table can have.");
        }
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
    if (reads.pastTheEnd)
        throw ImportError(CutShortMessage(source));
    if (progress != nullptr)
        progress(stats.rows, total, {});
    return db.Image();
}
