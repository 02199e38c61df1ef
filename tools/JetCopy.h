#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ImportError.h"
#include "platform/ado/JetSignature.h"

// Reading a Jet/Access file (Jet 3 or Jet 4) into a new SQLite database.
//
// The copy is generic: every user table, column and row, in the file's column
// and row order, with declared types the book's data layer reads back as the
// same kind of value. Whether the result is a household book is decided after
// the copy, by the same check `tillbook-db check` runs.

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

// Access names are never empty, hold no control characters and are UTF-8 once read; a damaged
// catalog or table definition yields other names (and text libmdb could not convert).
bool IsPlausibleJetName(std::string_view name);

// What the first bytes of the file at `path` say it is.
JetFormat JetFileFormat(const std::string& path);

// The refusal of a file that ends before the pages it refers to (cut short, or a
// damaged page number).
std::string CutShortMessage(const std::string& source);
