#pragma once

#include <string>
#include <vector>

// Reads a book the way a person checks it with sqlite3: each row of `sql` as texts.
std::vector<std::vector<std::string>> QueryBook(const std::string& path, const std::string& sql);

// One number `sql` gives (0 when it gives NULL).
long long QueryNumber(const std::string& path, const std::string& sql);
