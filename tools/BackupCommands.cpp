#include "BackupCommands.h"

#include <filesystem>
#include <stdexcept>

#include "data/BackupCatalog.h"
#include "data/BookBackup.h"
#include "data/BookRestore.h"

namespace {

constexpr const char* kServerBook =
    "tillbook-db: backups apply to book files; a book kept on a database server is backed up "
    "by the server's own tools (pg_dump)\n";

}  // namespace

int RunBackupCommand(const std::string& book, const std::string& folder, std::FILE* out,
                     std::FILE* err) {
    if (!BackupApplies(book)) {
        std::fputs(kServerBook, err);
        return 1;
    }
    try {
        const BackupFile made = BackUpBook(book, folder);
        std::fprintf(out, "Backed up %s to %s (%s)\n", book.c_str(), made.path.c_str(),
                     SizeText(made.size).c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: no backup made: %s\n", e.what());
        return 1;
    }
}

int RunBackupsCommand(const std::string& book, std::FILE* out, std::FILE* err) {
    if (!BackupApplies(book)) {
        std::fputs(kServerBook, err);
        return 1;
    }
    const std::string folder = BackupFolderFor(book);
    const auto files = ListBackups(folder, std::filesystem::path(book).filename().string());
    if (files.empty()) {
        std::fprintf(out, "No backups in %s\n", folder.c_str());
        return 0;
    }
    std::fprintf(out, "%-19s  %9s  %7s  %7s  %-10s  %s\n", "time", "size", "income", "expense",
                 "newest", "file");
    for (const BackupFile& file : files) {
        try {
            const BookSummary summary = SummarizeBook(file.path);
            std::fprintf(out, "%-19s  %9s  %7lld  %7lld  %-10s  %s\n", file.timeText.c_str(),
                         SizeText(file.size).c_str(), summary.income, summary.expense,
                         summary.lastDate.empty() ? "-" : summary.lastDate.c_str(),
                         file.path.c_str());
        } catch (const std::exception& e) {
            std::fprintf(out, "%-19s  %9s  unreadable (%s)  %s\n", file.timeText.c_str(),
                         SizeText(file.size).c_str(), e.what(), file.path.c_str());
        }
    }
    return 0;
}

int RunRestoreCommand(const std::string& backup, const std::string& book, std::FILE* out,
                      std::FILE* err) {
    if (!BackupApplies(book)) {
        std::fputs(kServerBook, err);
        return 1;
    }
    try {
        const std::string before = RestoreBook(backup, book);
        if (!before.empty())
            std::fprintf(out, "Kept the book as it was in %s\n", before.c_str());
        std::fprintf(out, "Restored %s from %s\n", book.c_str(), backup.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: nothing restored: %s\n", e.what());
        return 1;
    }
}
