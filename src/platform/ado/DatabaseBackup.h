#pragma once

#include <string>
#include <vector>

// Copies of a live database file and their check, below the book's own words. Failures throw
// CComError carrying the engine's code and the file concerned.

// Copies the database at `source` into the new file `target` with the engine's online backup:
// one consistent snapshot even while other connections write, each page as the engine has it
// (never a plain copy of a file that may be half-way through a write). The target is not
// synced; the caller does that before relying on it.
void CopyLiveDatabase(const std::string& source, const std::string& target);

// The engine's integrity report on the file at `path`, opened read-only: empty when sound,
// else its findings (or why the file could not be read at all).
std::vector<std::string> DatabaseIntegrityProblems(const std::string& path);
