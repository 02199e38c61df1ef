#pragma once

#include <string>
#include <vector>

#include "stats/StatsTables.h"

// The statistics of a period as a CSV file's bytes, as CsvWriter writes them. The period, the
// filter and the figures come first, then each table under its title.
std::string StatsCsv(const StatsResult& result, const std::string& period,
                     const std::string& filter, const std::vector<StatsTable>& tables);
