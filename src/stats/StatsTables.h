#pragma once

#include <cstdint>
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

// How an amount in fen is written: FormatFen in the window, PlainFen in files.
using FenText = std::string (*)(std::int64_t fen);

// Members and months: key, income, expense, balance, count. Items: expense items (larger
// first) and then income items, each with its side, amount, share of that side and count.
StatsTable MakeStatsTable(const StatsResult& result, StatsView view, FenText fenText);

// Two decimals without group separators ("-1234.50"), as spreadsheets read numbers.
std::string PlainFen(std::int64_t fen);

// A share as a percentage with one decimal ("12.5%"); "" when the whole is not positive.
std::string ShareText(std::int64_t part, std::int64_t whole);
