#include "CsvExport.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/ado/OleDate.h"

namespace fs = std::filesystem;

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

std::string QuoteName(const std::string& name) {
    std::string q = "\"";
    for (char c : name) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return q + "\"";
}

bool IsDateType(const char* declared) {
    return declared != nullptr &&
           (strncasecmp(declared, "DATETIME", 8) == 0 || strcasecmp(declared, "DATE") == 0);
}

// The shortest text that reads back as the same double.
std::string NumberText(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Hex(const unsigned char* p, int n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::string FieldText(sqlite3_stmt* stmt, int col, bool date) {
    switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_NULL:
            return {};  // no quotes: told apart from an empty text, which is ""
        case SQLITE_INTEGER:
            return std::to_string(sqlite3_column_int64(stmt, col));
        case SQLITE_FLOAT: {
            const double v = sqlite3_column_double(stmt, col);
            if (date) {
                const std::string text = OleDateToIsoText(v);
                if (!text.empty())
                    return text;
            }
            return NumberText(v);
        }
        case SQLITE_BLOB:
            return Hex(static_cast<const unsigned char*>(sqlite3_column_blob(stmt, col)),
                       sqlite3_column_bytes(stmt, col));
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            const std::string text(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, col)));
            return text.empty() ? "\"\"" : CsvField(text);
        }
    }
}

void WriteTable(sqlite3* db, const std::string& table, const fs::path& file) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "SELECT * FROM " + QuoteName(table) + " ORDER BY rowid";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw std::runtime_error("cannot read table '" + table + "': " + sqlite3_errmsg(db));
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    const int columns = sqlite3_column_count(stmt);
    std::vector<bool> date(columns);
    std::string text = "\xEF\xBB\xBF";
    for (int c = 0; c < columns; ++c) {
        date[c] = IsDateType(sqlite3_column_decltype(stmt, c));
        text += (c ? "," : "") + CsvField(sqlite3_column_name(stmt, c));
    }
    text += "\r\n";
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            text += (c ? "," : "") + FieldText(stmt, c, date[c]);
        text += "\r\n";
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error("cannot read table '" + table + "': " + sqlite3_errmsg(db));
    // Written beside, then renamed: a reader never sees half a file.
    const fs::path temp = file.string() + ".part-" + std::to_string(::getpid());
    {
        std::ofstream outFile(temp, std::ios::binary | std::ios::trunc);
        outFile.write(text.data(), static_cast<std::streamsize>(text.size()));
        outFile.close();
        if (!outFile) {
            std::error_code ec;
            fs::remove(temp, ec);
            throw std::runtime_error("cannot write '" + file.string() + "'.");
        }
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw std::runtime_error("cannot write '" + file.string() + "'.");
    }
}

}  // namespace

std::string CsvField(const std::string& text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return text;
    std::string q = "\"";
    for (char c : text) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return q + "\"";
}

std::string CsvFileName(const std::string& table) {
    std::string name = table;
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    }
    if (name == "." || name == "..")
        name = "_" + name;
    return name + ".csv";
}

int RunExportCommand(const std::string& book, const std::string& dirArg, bool force, std::FILE* out,
                     std::FILE* err) {
    try {
        std::error_code ec;
        {
            std::ifstream in(book, std::ios::binary);
            char header[16] = {};
            if (!in.read(header, sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0)
                throw std::runtime_error("'" + book +
                                         "' is not a Tillbook book (for a Jet/Access " +
                                         "file, run tillbook-db import first).");
        }
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(book.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        std::unique_ptr<sqlite3, DbCloser> db(raw);
        if (rc != SQLITE_OK)
            throw std::runtime_error("cannot open '" + book + "': " + sqlite3_errmsg(raw));
        sqlite3_busy_timeout(raw, 3000);

        std::vector<std::string> tables;
        sqlite3_stmt* stmt = nullptr;
        int step = sqlite3_prepare_v2(raw,
                                      "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                      "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                                      -1, &stmt, nullptr);
        while (step == SQLITE_OK || step == SQLITE_ROW) {
            step = sqlite3_step(stmt);
            if (step == SQLITE_ROW)
                tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        }
        sqlite3_finalize(stmt);
        if (step != SQLITE_DONE)
            throw std::runtime_error("cannot read '" + book + "': " + sqlite3_errmsg(raw));

        // Names that differ only in characters a file name cannot hold still get a file each.
        std::vector<std::string> files;
        for (const std::string& t : tables) {
            std::string name = CsvFileName(t);
            for (int n = 2; std::find(files.begin(), files.end(), name) != files.end(); ++n)
                name = CsvFileName(t + "-" + std::to_string(n));
            files.push_back(name);
        }

        const fs::path dir(dirArg);
        if (!fs::is_directory(dir, ec) && !fs::create_directory(dir, ec))
            throw std::runtime_error("cannot make the folder '" + dirArg + "'.");
        // Refuse before writing anything, so a refusal leaves the folder as it was.
        if (!force) {
            std::string existing;
            for (const std::string& f : files) {
                if (fs::exists(dir / f, ec))
                    existing += "\n  " + (dir / f).string();
            }
            if (!existing.empty())
                throw std::runtime_error(
                    "these files exist and were left untouched (use --force "
                    "to replace them):" +
                    existing);
        }
        for (std::size_t i = 0; i < tables.size(); ++i) {
            WriteTable(raw, tables[i], dir / files[i]);
            std::fprintf(out, "Wrote %s\n", (dir / files[i]).c_str());
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
}
