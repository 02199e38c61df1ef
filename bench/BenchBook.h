#pragma once

#include <string>

class CADORecordset;

// The benchmark book: 1,000,000 income rows over the 20 years 2005..2024.
// Made once (a few seconds) and reused on later runs.
constexpr int kBenchRows = 1000000;
constexpr int kBenchFirstYear = 2005;
constexpr int kBenchYears = 20;

void EnsureBenchBook(const std::string& path);
// The same years with a tenth of the rows.
void EnsureSmallBenchBook(const std::string& path);

// A book of the same size for the statistics: 500,000 income rows and 500,000 expense rows
// over the same years, the expenses with their own items and smaller amounts.
void EnsureStatsBenchBook(const std::string& path);

// Makes `dir`, makes the book `dir`/data.mdb with `make` (which leaves one already there as it
// is) and makes `dir` the working directory, so the book's usual connection string finds it.
void EnterBenchBook(const std::string& dir, void (*make)(const std::string& path));

// Reads every field of every income row `rs` selects, as the query list does, keeping nothing;
// returns the row count.
long WalkIncomeRows(CADORecordset& rs);
