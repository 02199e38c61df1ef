#pragma once

#include <cstdint>
#include <string>

#include "bills/BillRecord.h"

// What a household book makes of one statement row.
enum class BillAction {
    Expense,  // an expense entry of the amount
    Income,   // an income entry of the amount
    Refund,   // money back for an earlier payment: a negative expense
    Skip,     // nothing; the reason says why
};

struct BillDecision {
    BillAction action = BillAction::Skip;
    std::int64_t nFen = 0;  // the amount to book (a withdrawal's fee, not the withdrawal)
    std::string strReason;  // why a skipped row is skipped
};

BillDecision DecideBillRow(BillPlatform platform, const BillRow& row);

// The key the book remembers a transaction by: its order number, or, for a row without one,
// its time, amount and counterparty.
std::string BillKey(const BillRow& row);
