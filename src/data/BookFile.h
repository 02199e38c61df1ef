#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Creates a new, empty household book at `path` with the starting categories
// and the "root" user. Never overwrites: throws std::runtime_error when the file
// exists or cannot be made.
void CreateBook(const std::string& path);
// `path` may also be a server URI: the book is then made in that empty database.

// Creates a new book file at `path` with the tables and no rows at all (for a copy to fill).
// Never overwrites; throws std::runtime_error.
void CreateEmptyBook(const std::string& path);

// What is wrong with the book at `path` for this program: a file it cannot open,
// missing tables or columns, wrong column types or positions, damage and the
// engine's integrity report, and a sound book it cannot write ("read-only: ...").
// Empty when the book is sound and writable.
std::vector<std::string> CheckBook(const std::string& path);

// The schema script the books are created from.
const std::string& BookSchema();
