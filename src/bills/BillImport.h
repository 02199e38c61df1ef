#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bills/BillRecord.h"
#include "bills/BillRules.h"

class CADODatabase;

// The book side an entry goes to.
enum class BillSide { Pay, Income };

// Whether the book already has the transaction from an earlier import.
enum class BillPresence { New, Present, StatusChanged };

struct PlannedBillRow {
    BillRow row;
    BillDecision decision;
    std::string strKey;
    BillPresence presence = BillPresence::New;
    std::string strStoredStatus;  // the status the book remembers, when present
    int nRefundOf = -1;           // the refunded payment's index in this plan
    std::string strStoredItem;    // the refunded payment's item from an earlier import
    bool bChecked = false;

    bool Bookable() const {
        return decision.action != BillAction::Skip && presence == BillPresence::New;
    }
    BillSide Side() const {
        return decision.action == BillAction::Income ? BillSide::Income : BillSide::Pay;
    }
    // The amount as stored: a refund is a negative expense.
    std::int64_t SignedFen() const {
        return decision.action == BillAction::Refund ? -decision.nFen : decision.nFen;
    }
};

// What a row's preview says when it will not be written.
std::string SkipText(const PlannedBillRow& row);

using CategoryKey = std::pair<BillSide, std::string>;

// A statement read against the book: what each row becomes, which rows the book already has,
// and which item each platform category goes to.
struct BillImportPlan {
    BillPlatform platform = BillPlatform::Alipay;
    std::vector<PlannedBillRow> rows;
    std::vector<std::string> payItems;
    std::vector<std::string> incomeItems;
    std::vector<std::string> members;
    std::map<CategoryKey, std::string> mapping;

    // The item a row is booked under: a refund takes its payment's item when it is known.
    std::string ItemFor(std::size_t index) const;
    // The categories whose item the user may choose, in order of first appearance.
    std::vector<CategoryKey> MappedCategories() const;
    const std::vector<std::string>& ItemsOf(BillSide side) const {
        return side == BillSide::Pay ? payItems : incomeItems;
    }
};

struct BillImportResult {
    int nAdded = 0;
    int nSkipped = 0;
    int nPresent = 0;             // already in the book (status changes included)
    int nStatusChanged = 0;       // of those, re-exported with a new status
    std::int64_t nPayFen = 0;     // sum written to the expense book (refunds negative)
    std::int64_t nIncomeFen = 0;  // sum written to the income book
};

// The item proposed for a platform category: the item of the same name, else one whose name
// the category contains ("餐饮" for "餐饮美食"), else the first "其他…" item, else the first.
std::string ProposeItem(const std::string& category, const std::vector<std::string>& items);

// Reads the book's items, members, remembered mapping and earlier imports, and plans every row.
BillImportPlan PlanBillImport(CADODatabase& db, const BillStatement& statement);

// Counts what Apply would do, without writing.
BillImportResult SummariseBillImport(const BillImportPlan& plan);

// Writes the checked rows for `member` in one transaction, with the import record and the
// mapping; status changes of rows already present are recorded too. Throws on a database
// failure, leaving the book as it was.
BillImportResult ApplyBillImport(CADODatabase& db, const BillImportPlan& plan,
                                 const std::string& member);

// The remark stored with an entry: counterparty and description, cut to what the column holds.
std::string BillRemark(const BillRow& row);
