#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

// Reading a Jet/Access file (Jet 3 or Jet 4) into a new SQLite database.
//
// The copy is generic: every user table, column and row, in the file's column
// and row order, with declared types the book's data layer reads back as the
// same kind of value. Whether the result is a household book is decided after
// the copy, by the same check `tillbook-db check` runs.

// A failure the user can act on; what() is the whole message.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JetCopyStats {
    std::vector<std::string> tables;  // in the file's catalog order
    long long rows = 0;
};

// Rows copied so far of `total`, for a progress line; may be null.
using ImportProgress = void (*)(long long done, long long total, const std::string& table);

// Copies the Jet file at `source` (only `onlyTable` when it is not empty) into
// a new in-memory SQLite database and returns the bytes of its file. Throws ImportError
// when the file is not a Jet file, is truncated or cannot be read whole.
std::string CopyJetFile(const std::string& source, const std::string& onlyTable,
                        JetCopyStats& stats, ImportProgress progress = nullptr);

// `tillbook-db import SOURCE [TARGET]`: the whole command, messages included.
// An empty target means the source's own path (the old file is then kept
// beside it under a printed name). `progress` (if given) is told of the rows
// copied; otherwise a progress line is shown when `err` is a terminal. Returns
// the process exit code.
int RunImportCommand(const std::string& source, const std::string& target, std::FILE* out,
                     std::FILE* err, ImportProgress progress = nullptr);

// What keeps the copied database at `path` (holding `tables`) from being a
// household book, as `tillbook-db check` reports it. A database with none of
// the book's tables is a plain copy, not a book: `isBook` is false and there
// are no problems.
std::vector<std::string> ImportedBookProblems(const std::string& path,
                                              const std::vector<std::string>& tables, bool& isBook);

// The name under which the old file at `path` is kept when the book takes its
// place: "data.jet-backup.mdb", then "data.jet-backup-2.mdb", ... for the
// first name that is free.
std::string JetBackupPath(const std::string& path);
