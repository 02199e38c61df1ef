#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The report list's own copy of one row, so sorting and row moves never depend on the widget's
// text storage.
struct CReportRow {
    std::vector<std::string> m_texts;  // one per column, in column order
    std::uint32_t m_dwData = 0;        // the row's item data; travels with the row in swaps
};
