#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The file's text as UTF-8: UTF-8 (with or without a byte-order mark) when the bytes are valid
// UTF-8, otherwise GB18030. Empty `problem` on success; otherwise it says where the bytes are
// neither, and the result is empty.
std::string DecodeBillText(std::string_view bytes, std::string& problem);

// "49.74", "¥28.16", "￥1,000.00", "16.9", "548.58000000000004" to fen, exactly, rounding half
// away from zero below the fen. Nothing for anything else (signs, letters, empty).
std::optional<std::int64_t> ParseFen(std::string_view text);

// A field without the spaces and tabs the exports pad it with.
std::string CleanField(std::string_view field);

// "YYYY-MM-DD HH:MM:SS" checked to be a real moment, or an Excel day number (1900 system) as
// that text, rounded to the second. Nothing when it is neither.
std::optional<std::string> NormaliseBillTime(std::string_view text);

// The number of characters (not bytes) before `offset` in a UTF-8 text, plus one.
int CharacterColumn(std::string_view line, std::size_t offset);
