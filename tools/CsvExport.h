#pragma once

#include <cstdio>
#include <string>

// `tillbook-db export BOOK DIR [--force]`: writes every table of the book as
// DIR/<table>.csv (UTF-8 with a byte-order mark, RFC 4180 quoting, a header
// row, rows in the order they were added). Existing files are left alone unless
// `force`. Returns the process exit code.
int RunExportCommand(const std::string& book, const std::string& dir, bool force, std::FILE* out,
                     std::FILE* err);

// The file name a table is written under: the table's own name, with the
// characters no file name may hold replaced.
std::string CsvFileName(const std::string& table);
