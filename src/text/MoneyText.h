#pragma once

#include <cstdint>
#include <string>

// An amount in fen as the statistics show it: yuan with two decimals and commas between
// groups of three digits, as Chinese readers write money ("1,234,567.89", "-0.50").
std::string FormatFen(std::int64_t fen);
