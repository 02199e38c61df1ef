#pragma once

#include <string_view>

// Orders two cell texts for sorting a report list (ascending; swap the arguments for descending).
// Leading and trailing white space does not count. Empty texts come first, then numbers by
// value, then dates by date, then all other texts by their GB18030 bytes. Two texts of the same
// kind compare by that kind; texts of different kinds by kind alone, which keeps the order
// consistent for columns that mix numbers, dates and words. Returns -1, 0 or 1.
int CompareCellTexts(std::string_view a, std::string_view b);
