#pragma once

#include <string>
#include <string_view>

// ASCII-only case folding and trimming: names and keywords of the engine and the
// connection string are ASCII, and the locale must not change how they compare.
char AsciiLower(char c);
std::string AsciiLower(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool IsAsciiSpace(char c);
std::string_view TrimAsciiSpace(std::string_view s);
