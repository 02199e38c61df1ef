#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Seconds of the local wall clock counted as if it were UTC, so that days, weeks and months
// fall where the household's calendar puts them.
using LocalSeconds = std::int64_t;

// Which backups to remove, given their times and the present: kept are every backup of the
// last 24 hours (the newest 10 of them, so the copy taken before a mistaken mass change is
// still there after the next ones), and the newest of each of the 7 latest days, 4 latest
// weeks (Monday to Sunday) and 12 latest months that have one. Returns indexes into `times`.
std::vector<std::size_t> BackupsToRemove(const std::vector<LocalSeconds>& times, LocalSeconds now);
