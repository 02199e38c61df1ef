#pragma once

#include <string>
#include <vector>

#include "platform/ado/Variant.h"

class CADODatabase;

// One entry of a category table (a family member, an income or an expense item) as the lists
// show it.
struct CategoryEntry {
    std::string strType;
    std::string strRemark;
};

// One entry's values as the table keeps them: a null and an empty text stay apart.
struct StoredEntry {
    CVariant type;
    CVariant remark;
};

// Deletes every row of the kind's table.
void ClearKindTable(CADODatabase& db, const std::string& kind);

// Appends the entries to the kind's table in the given order, each value exactly as given.
void SaveEntryOrder(CADODatabase& db, const std::string& kind,
                    const std::vector<StoredEntry>& entries);

// Rewrites the kind's table to hold exactly `entries`, in that order, as one transaction: the
// other dialogs list a category in the order its table yields the rows, and a failure or a
// crash half-way must leave the old rows, not a short table. An entry that matches a stored
// row by its shown texts keeps that row's values exactly (a null stays null, an empty text
// empty); any other is written with its texts. A database failure throws CADOException or
// CComError, the table unchanged.
void StoreEntryOrder(CADODatabase& db, const std::string& kind,
                     const std::vector<CategoryEntry>& entries);
