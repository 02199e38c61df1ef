#pragma once

#include <string>

class CADODatabase;
class CComboBox;

// Appends the entry (column 1) of every row of a category table to `combo`, in the order the
// table yields them, so the family's own order stays. CADOException when the table cannot be read.
void AppendCategoryEntries(CADODatabase& db, const std::string& table, CComboBox& combo);
