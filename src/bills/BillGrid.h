#pragma once

#include <string>
#include <string_view>
#include <vector>

// A statement as rows of cells, before anyone knows which columns mean what: the records of a
// CSV text or the rows of a worksheet.
struct BillGridRow {
    int nLine = 0;  // physical line where the record starts, or the sheet row
    std::vector<std::string> cells;
};

struct BillGrid {
    std::vector<BillGridRow> rows;
    bool bSheet = false;   // cells come from a worksheet (columns are letters)
    std::string strSheet;  // the worksheet's name
};

// Splits a UTF-8 CSV text the lenient way the payment apps need: a field in quotes may hold
// commas, doubled quotes and line breaks, and may be followed by a TAB before the comma; a
// quote inside an unquoted field is kept as written.
BillGrid SplitCsv(std::string_view text);

// "A", "B", ... "AA" for a 0-based column.
std::string ColumnLetters(int column);
