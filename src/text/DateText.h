#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Reads a date, optionally with a time of day, in the forms a Chinese-locale user types and
// the program shows: 2026-12-06, 2026/12/6, 2026-12-06 14:05, 2026-12-06 14:05:09,
// 2026年12月6日, 2026-12-06 14时 (also 14时05分 and 14时05分09秒). The result counts seconds from
// 1899-12-30 00:00, so it orders like the dates; texts that are no valid date give nothing.
std::optional<std::int64_t> ParseDateTimeText(std::string_view text);
