#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/BackupRetention.h"

// Where a book's backups lie and what each holds.

// The book every dialog opens (data.mdb in the working directory), as a full path; a server's
// address as it is.
std::string HouseholdBookPath();

// The backups folder of the book at `bookPath`: "backups" beside it.
std::string BackupFolderFor(const std::string& bookPath);

// A finished, verified backup. Only files named "<book name>-YYYY-MM-DD-HHMMSS[-N].mdb" are
// backups; a copy still being written has another name and is never listed.
struct BackupFile {
    std::string path;
    LocalSeconds time = 0;
    int serial = 1;        // the N of a second one taken in the same second
    std::string timeText;  // "YYYY-MM-DD HH:MM:SS"
    std::uintmax_t size = 0;
};

// The backups of the book named `bookName` (e.g. "data.mdb") in `folder`, newest first; none
// when the folder does not exist.
std::vector<BackupFile> ListBackups(const std::string& folder, const std::string& bookName);

// A free file name in `folder` for a backup of `bookName` taken at `time`.
std::string NewBackupPath(const std::string& folder, const std::string& bookName,
                          LocalSeconds time);

// The present on the local wall clock, and a time as "YYYY-MM-DD HH:MM:SS".
LocalSeconds LocalNow();
std::string LocalTimeText(LocalSeconds time);

// What a book holds, for comparing a backup with the book: the entries of each side and the
// dates of the oldest and newest entry ("YYYY-MM-DD", empty when there is none).
struct BookSummary {
    long long income = 0;
    long long expense = 0;
    std::string firstDate;
    std::string lastDate;
};

// Reads the book at `path` without changing it; std::runtime_error when it cannot be read.
BookSummary SummarizeBook(const std::string& path);

// "1.2 MB", "830 KB", "512 B".
std::string SizeText(std::uintmax_t bytes);
