#pragma once

#include <Qt>

// Where the report list keeps its own data in the Qt items.
constexpr int kRecordRole = Qt::UserRole;        // row: address of its CReportRow
constexpr int kItemDataRole = Qt::UserRole + 1;  // row: its 32-bit item data
constexpr int kFormatRole = Qt::UserRole + 2;    // header item: LVCFMT_/HDF_ format bits
