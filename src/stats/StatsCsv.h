#pragma once

#include <string>
#include <vector>

#include "stats/StatsTables.h"

// The statistics of a period as a CSV file's bytes: UTF-8 with a byte-order mark (so
// spreadsheet programs read the Chinese right), CRLF line ends, fields quoted where needed.
// The period, the filter and the figures come first, then each table under its title.
std::string StatsCsv(const StatsResult& result, const std::string& period,
                     const std::string& filter, const std::vector<StatsTable>& tables);

// A field as CSV writes it: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
