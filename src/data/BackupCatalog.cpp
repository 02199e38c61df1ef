#include "data/BackupCatalog.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>

#include "data/BookConnection.h"
#include "data/BookSide.h"
#include "data/ServerBook.h"
#include "platform/ado/BulkDatabase.h"

namespace fs = std::filesystem;

std::string HouseholdBookPath() {
    const std::string book = ShownBookName(BookConnectionString());
    // A server's address stays as it is: backups do not apply to it.
    if (IsServerBook(book))
        return book;
    std::error_code ec;
    return fs::absolute(book, ec).lexically_normal().string();
}

std::string BackupFolderFor(const std::string& bookPath) {
    std::error_code ec;
    return (fs::absolute(bookPath, ec).lexically_normal().parent_path() / "backups").string();
}

namespace {

std::string Stem(const std::string& bookName) {
    return fs::path(bookName).stem().string();
}

std::string RegexEscaped(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

LocalSeconds FromFields(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<LocalSeconds>(timegm(&fields));
}

std::tm Fields(LocalSeconds time) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    return fields;
}

std::string Formatted(LocalSeconds time, const char* pattern) {
    const std::tm fields = Fields(time);
    char text[32];
    std::strftime(text, sizeof text, pattern, &fields);
    return text;
}

}  // namespace

LocalSeconds LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    localtime_r(&now, &fields);
    return FromFields(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour,
                      fields.tm_min, fields.tm_sec);
}

std::string LocalTimeText(LocalSeconds time) {
    return Formatted(time, "%Y-%m-%d %H:%M:%S");
}

std::vector<BackupFile> ListBackups(const std::string& folder, const std::string& bookName) {
    const std::regex pattern(RegexEscaped(Stem(bookName)) +
                             R"(-(\d{4})-(\d{2})-(\d{2})-(\d{2})(\d{2})(\d{2})(-\d+)?\.mdb)");
    std::vector<BackupFile> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        std::smatch m;
        if (!std::regex_match(name, m, pattern) || !entry.is_regular_file(ec))
            continue;
        BackupFile file;
        file.path = entry.path().string();
        file.time = FromFields(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]),
                               std::stoi(m[5]), std::stoi(m[6]));
        file.timeText = LocalTimeText(file.time);
        file.serial = m[7].matched ? std::stoi(m[7].str().substr(1)) : 1;
        file.size = entry.file_size(ec);
        found.push_back(std::move(file));
    }
    std::sort(found.begin(), found.end(), [](const BackupFile& a, const BackupFile& b) {
        return a.time != b.time ? a.time > b.time : a.serial > b.serial;
    });
    return found;
}

std::string NewBackupPath(const std::string& folder, const std::string& bookName,
                          LocalSeconds time) {
    const std::string base =
        (fs::path(folder) / (Stem(bookName) + Formatted(time, "-%Y-%m-%d-%H%M%S"))).string();
    std::error_code ec;
    std::string path = base + ".mdb";
    for (int n = 2; fs::exists(fs::symlink_status(path, ec)); ++n)
        path = base + "-" + std::to_string(n) + ".mdb";
    return path;
}

BookSummary SummarizeBook(const std::string& path) {
    BookSummary summary;
    auto of = [](const std::string& what, const BookSide& side) {
        return "(SELECT " + what + "(" + (what == "count" ? "*" : side.dateColumn) + ") FROM " +
               side.entryTable + ")";
    };
    ReadStoredRows(path,
                   "SELECT " + of("count", kIncomeSide) + ", " + of("count", kPaySide) + ", " +
                       of("min", kIncomeSide) + ", " + of("min", kPaySide) + ", " +
                       of("max", kIncomeSide) + ", " + of("max", kPaySide),
                   nullptr, [&summary](const std::vector<StoredValue>& row) {
                       summary.income = row[0].integer;
                       summary.expense = row[1].integer;
                       // The date part of each side's stored text; a side without entries has none.
                       auto day = [](const StoredValue& v) {
                           return v.kind == StoredValue::Kind::Text ? v.bytes.substr(0, 10)
                                                                    : std::string();
                       };
                       auto pick = [](std::string a, std::string b, bool first) {
                           if (a.empty() || b.empty())
                               return a.empty() ? b : a;
                           return (a < b) == first ? a : b;
                       };
                       summary.firstDate = pick(day(row[2]), day(row[3]), true);
                       summary.lastDate = pick(day(row[4]), day(row[5]), false);
                   });
    return summary;
}

std::string SizeText(std::uintmax_t bytes) {
    char text[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024));
    else if (bytes >= 1024)
        std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / 1024.0);
    else
        std::snprintf(text, sizeof text, "%ju B", bytes);
    return text;
}
