#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/BookSide.h"
#include "data/DateTimeValue.h"
#include "platform/ado/EngineValue.h"

class CADODatabase;

// Changing and deleting recorded entries, and taking such steps back. A row is found by its
// 编号 alone, always through a bound parameter; each step is one transaction, and a step meets
// a row someone else changed or deleted since it was listed, it writes nothing at all.

// An entry's fields as a person sees and edits them (the remark "" when it is empty or NULL).
struct EntryFields {
    std::string member;
    double amount = 0;  // yuan, the stored double
    DateTimeValue date = DateTimeValue::Null();
    std::string item;
    std::string remark;
};

// A fingerprint of everything a row holds besides its 编号, taken when it is listed; a row
// whose fingerprint differs later was changed in the meantime.
std::uint32_t EntryFingerprint(const EntryFields& fields);

// A row of the list: its 编号 and its fingerprint when it was listed.
struct ListedEntry {
    std::int64_t number = 0;
    std::uint32_t fingerprint = 0;
};

// Rows exactly as stored, every column in table order: what a step back writes again.
struct StoredRows {
    struct Value {
        EngineValue::Type type = EngineValue::Type::Null;
        std::int64_t integer = 0;
        double real = 0;
        std::string bytes;
    };
    struct Row {
        std::int64_t number = 0;
        std::vector<Value> values;
    };
    std::vector<std::string> columns;
    std::vector<VarKind> kinds;
    std::vector<Row> rows;

    // The fields of row `i` as the query list and the entry form read them.
    EntryFields Fields(std::size_t i) const;
};

enum class EditOutcome {
    Done,
    Unchanged,  // the form held what was stored already: nothing written
    Stale,      // a row is gone or changed since it was listed: nothing written
};

// The listed rows as stored now; nullopt when any of them is gone or changed since listed.
std::optional<StoredRows> ReadListedEntries(CADODatabase& db, const BookSide& side,
                                            const std::vector<ListedEntry>& listed);

// Deletes the listed rows together; `removed` receives them as they were.
EditOutcome DeleteEntries(CADODatabase& db, const BookSide& side,
                          const std::vector<ListedEntry>& listed, StoredRows& removed);

// Writes the fields that differ from the stored ones to the listed row, in one UPDATE;
// `before` receives the row as it was and `fingerprint` the row's new fingerprint.
EditOutcome ChangeEntry(CADODatabase& db, const BookSide& side, const ListedEntry& listed,
                        const EntryFields& fields, StoredRows& before, std::uint32_t& fingerprint);

// Writes `before` back with its 编号 and values. Each row must still be as the step left it:
// absent where `after` is nullopt (a delete), else with that fingerprint (a change).
EditOutcome RestoreEntries(CADODatabase& db, const BookSide& side, const StoredRows& before,
                           const std::vector<std::optional<std::uint32_t>>& after);
