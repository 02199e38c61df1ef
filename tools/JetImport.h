#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "JetCopy.h"

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
