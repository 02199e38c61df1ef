#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SortKey {
    std::string field;  // the field name, unquoted
    bool descending = false;
};

// Reads a recordset sort, "Field [ASC|DESC], ...": blanks around parts and empty
// parts are ignored, the direction word is matched without case, and a field
// name may be quoted with [] or "".
std::vector<SortKey> ParseSortKeys(std::string_view sortText);
