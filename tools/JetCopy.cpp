#include "JetCopy.h"

#include <mdbtools.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "JetPageReads.h"
#include "JetValues.h"
#include "platform/ado/BulkDatabase.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/JetSignature.h"

namespace fs = std::filesystem;

namespace {

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
        if (!IsPlausibleJetName(cols[i]->name)) {
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

    JetValueReader reader(source, name, mdb);
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
        if (mdb_crack_row(def, start & kJetOffsetMask, size, fields.data()) <= 0)
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

bool IsPlausibleJetName(std::string_view s) {
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
        if (!IsPlausibleJetName(entry->object_name)) {
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
