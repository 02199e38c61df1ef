#include "CsvExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "BookPlacement.h"
#include "data/ServerBook.h"
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

// Opened without waiting (a pipe under the name would block), and read only when it is a
// plain file.
bool IsSqliteFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    char header[16] = {};
    const bool sqlite = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                        ::read(fd, header, sizeof header) == sizeof header &&
                        std::memcmp(header, "SQLite format 3", sizeof header) == 0;
    ::close(fd);
    return sqlite;
}

// The folder an export is written into; removed with what it holds unless released.
class TempFolder {
public:
    explicit TempFolder(const fs::path& path) : m_path(path) {
        std::error_code ec;
        if (!fs::create_directory(path, ec))
            throw std::runtime_error("cannot make a folder beside '" + path.parent_path().string() +
                                     "': " + (ec ? ec.message() : "it exists") + ".");
    }
    ~TempFolder() {
        std::error_code ec;
        if (!m_released)
            fs::remove_all(m_path, ec);
    }
    const fs::path& Path() const { return m_path; }
    void Release() { m_released = true; }

private:
    fs::path m_path;
    bool m_released = false;
};

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
        if (IsServerBook(book))
            throw std::runtime_error("export reads book files; copy a server book into one first "
                                     "(tillbook-db copy URI FILE).");
        if (!IsSqliteFile(book))
            throw std::runtime_error("'" + book + "' is not a Tillbook book (for a Jet/Access " +
                                     "file, run tillbook-db import first).");
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

        // Every table is written into a folder of its own beside the target first, so a
        // table that cannot be read leaves the target as it was.
        fs::path dir = fs::absolute(dirArg, ec);
        if (!dir.has_filename())
            dir = dir.parent_path();
        const bool existed = fs::is_directory(dir, ec);
        if (!existed && fs::exists(fs::symlink_status(dir, ec)))
            throw std::runtime_error("'" + dirArg + "' is not a folder.");
        // Refuse before writing anything, so a refusal leaves the folder as it was.
        if (existed && !force) {
            std::string existing;
            for (const std::string& f : files) {
                if (fs::exists(fs::symlink_status(dir / f, ec)))
                    existing += "\n  " + (dir / f).string();
            }
            if (!existing.empty())
                throw std::runtime_error(
                    "these files exist and were left untouched (use --force "
                    "to replace them):" +
                    existing);
        }
        const std::string prefix = "." + dir.filename().string() + ".export-";
        RemoveStaleTemps(dir.parent_path(), prefix);
        TempFolder temp(dir.parent_path() / (prefix + std::to_string(::getpid())));
        for (std::size_t i = 0; i < tables.size(); ++i)
            WriteTable(book, tables[i], temp.Path() / files[i]);

        if (!existed) {
            // A folder made meanwhile is not replaced unless it is empty.
            if (::rename(temp.Path().c_str(), dir.c_str()) != 0)
                throw std::runtime_error("cannot make the folder '" + dirArg +
                                         "': " + std::strerror(errno) + ".");
            temp.Release();
        } else {
            // Into a folder that holds other files too: file by file, each whole.
            for (const std::string& f : files) {
                fs::rename(temp.Path() / f, dir / f, ec);
                if (ec)
                    throw std::runtime_error("cannot write '" + (dir / f).string() + "'.");
            }
        }
        for (const std::string& f : files)
            std::fprintf(out, "Wrote %s\n", (dir / f).c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
}
