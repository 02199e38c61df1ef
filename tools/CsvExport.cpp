#include "CsvExport.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/ado/BulkDatabase.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/OleDate.h"
#include "text/CsvWriter.h"

namespace fs = std::filesystem;

namespace {

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

std::string FieldText(const StoredValue& v, bool date) {
    switch (v.kind) {
        case StoredValue::Kind::Null:
            return {};
        case StoredValue::Kind::Integer:
            return std::to_string(v.integer);
        case StoredValue::Kind::Real:
            if (date) {
                const std::string text = OleDateToIsoText(v.real);
                if (!text.empty())
                    return text;
            }
            return NumberText(v.real);
        case StoredValue::Kind::Blob:
            return Hex(reinterpret_cast<const unsigned char*>(v.bytes.data()),
                       static_cast<int>(v.bytes.size()));
        case StoredValue::Kind::Text:
            return v.bytes;
    }
    return {};
}

void WriteField(CsvWriter& csv, const StoredValue& v, bool date) {
    // NULL leaves the field bare; an empty text is written "" to tell the two apart.
    if (v.kind == StoredValue::Kind::Text && v.bytes.empty())
        csv.QuotedField("");
    else
        csv.Field(FieldText(v, date));
}

void WriteTable(const std::string& book, const std::string& table, const fs::path& file) {
    CsvWriter csv;
    std::vector<bool> date;
    try {
        ReadStoredRows(
            book, "SELECT * FROM " + QuoteIdentifier(table) + " ORDER BY rowid",
            [&](const std::vector<std::string>& names, const std::vector<std::string>& declared) {
                for (std::size_t c = 0; c < names.size(); ++c) {
                    date.push_back(IsDateType(declared[c].c_str()));
                    csv.Field(names[c]);
                }
                csv.EndRecord();
            },
            [&](const std::vector<StoredValue>& values) {
                for (std::size_t c = 0; c < values.size(); ++c)
                    WriteField(csv, values[c], date[c]);
                csv.EndRecord();
            });
    } catch (const std::runtime_error& e) {
        throw std::runtime_error("cannot read table '" + table + "': " + e.what());
    }
    // Written beside, then renamed: a reader never sees half a file.
    const fs::path temp = file.string() + ".part-" + std::to_string(::getpid());
    {
        std::ofstream outFile(temp, std::ios::binary | std::ios::trunc);
        const std::string& text = csv.Text();
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
        std::vector<std::string> tables;
        try {
            ReadStoredRows(book,
                           "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                           "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                           nullptr, [&](const std::vector<StoredValue>& values) {
                               tables.push_back(values[0].bytes);
                           });
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("cannot read '" + book + "': " + e.what());
        }

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
            WriteTable(book, tables[i], dir / files[i]);
            std::fprintf(out, "Wrote %s\n", (dir / files[i]).c_str());
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
}
