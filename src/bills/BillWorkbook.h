#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bills/BillGrid.h"
#include "bills/BillRecord.h"

// Whether the bytes are a zip archive (an XLSX workbook is one).
bool LooksLikeZip(std::string_view bytes);

// Every worksheet of an XLSX workbook as rows of cell texts, in the workbook's sheet order.
// Shared and inline strings become their text; numbers keep the text the file stores (a date
// is its day number). A damaged or cut-short archive gives the reason instead.
std::variant<std::vector<BillGrid>, BillError> ReadWorkbookSheets(std::string_view bytes);
