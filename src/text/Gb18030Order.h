#pragma once

#include <string_view>

// Compares two UTF-8 texts by the bytes of their GB18030 encodings, unsigned, as the code page
// 936 build of the program compared them: ASCII before Chinese, capitals before lower case,
// common Chinese characters in the order of their GB2312 codes. Returns -1, 0 or 1.
int CompareGb18030(std::string_view a, std::string_view b);
