#pragma once

#include <string_view>

// Whether a cell text reads as a number for sorting: digits, plus signs anywhere, a minus sign
// first in a text of at least two characters, and at most one decimal point (so amounts such
// as 12.5 sort as numbers; a lone point is not a number).
bool IsNumericText(std::string_view text);

// The decimal value of a text as the C runtime reads it: leading white space, an optional sign,
// digits with an optional fraction and exponent, stopping at the first unusable character.
// A text with no number gives 0. Independent of the process locale.
double TextToNumber(std::string_view text);
