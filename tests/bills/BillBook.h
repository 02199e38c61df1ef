#pragma once

#include <string>
#include <vector>

// Reading a book the way a person checks it with sqlite3 or psql. `book` is a file's path or a
// server's URI; `sql` is written as the program writes it (the server gets it translated).

// Each row of `sql` as texts.
std::vector<std::vector<std::string>> QueryBook(const std::string& book, const std::string& sql);

// One number `sql` gives (0 when it gives NULL).
long long QueryNumber(const std::string& book, const std::string& sql);

// Whether the book has a table of that name.
bool BookHasTable(const std::string& book, const std::string& table);
