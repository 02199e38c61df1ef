#pragma once

#include <string>
#include <vector>

#include "stats/StatsQuery.h"

// A table of the statistics as text, for the window's list and for the CSV export alike, so
// the file holds what the window shows.
struct StatsTable {
    std::string strTitle;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

enum class StatsView { Member, Item, Month };

// Members and months: key, income, expense, balance, count. Items: expense items (larger
// first) and then income items, each with its side, amount, share of that side and count.
// Amounts are written grouped in the window, plain in files.
StatsTable MakeStatsTable(const StatsResult& result, StatsView view, FenStyle amounts);

// A share as a percentage with one decimal ("12.5%"); "" when the whole is not positive.
std::string ShareText(Fen part, Fen whole);
