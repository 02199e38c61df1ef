#pragma once

#include <variant>

#include "bills/BillGrid.h"
#include "bills/BillRecord.h"

// Finds the header row by its names (never by a line count), tells the layout from them, and
// reads every transaction below it; or says, with line and column, why this is no statement.
std::variant<BillStatement, BillError> ReadBillGrid(const BillGrid& grid);
