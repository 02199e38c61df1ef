#pragma once

#include <string>

class CADODatabase;
class CComboBox;

// Appends the entry (column 1) of every row of a category table to `combo`, in the order the
// table yields them, so the family's own order stays. Returns false, adding nothing, when the
// table does not open.
bool AppendCategoryEntries(CADODatabase& db, const std::string& table, CComboBox& combo);
