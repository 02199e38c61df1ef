#pragma once

#include <string>
#include <vector>

class CADODatabase;

// One entry of a category table (a family member, an income or an expense item).
struct CategoryEntry {
    std::string strType;
    std::string strRemark;
};

// Deletes every row of the kind's table.
void ClearKindTable(CADODatabase& db, const std::string& kind);

// Appends the entries to the kind's table in the given order. False as soon as one row cannot
// be written.
bool SaveEntryOrder(CADODatabase& db, const std::string& kind,
                    const std::vector<CategoryEntry>& entries);

// Rewrites the kind's table to hold exactly `entries`, in that order, as one transaction: the
// other dialogs list a category in the order its table yields the rows, and a failure or a
// crash half-way must leave the old rows, not a short table. False (the table unchanged) when
// a row could not be written; a database failure throws, the table again unchanged.
bool StoreEntryOrder(CADODatabase& db, const std::string& kind,
                     const std::vector<CategoryEntry>& entries);
