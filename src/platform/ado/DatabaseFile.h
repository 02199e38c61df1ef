#pragma once

#include <stdexcept>
#include <string>

// Creates a new SQLite file at `path` by running `script` in one transaction.
// The file appears complete or not at all, and an existing file is never
// replaced. Throws std::runtime_error with a readable message on failure.
void CreateDatabaseFile(const std::string& path, const std::string& script);
