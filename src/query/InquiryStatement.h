#pragma once

#include <string>

#include "query/QueryPeriod.h"

// What tells the income query from the expense query: table, columns and the hour pattern.
struct InquiryTable {
    const char* table;         // the records
    const char* dateColumn;    // also the heading of the date column
    const char* memberColumn;  // also the heading of the person column
    const char* itemColumn;    // also the heading of the item column
    const char* itemTable;     // the category table that fills the item combo box
    const char* datePattern;   // the date column's text form
    int listId;                // the result list control
};

extern const InquiryTable kIncomeInquiry;
extern const InquiryTable kPayInquiry;

// The select of one period query. A filter with an empty text adds no clause; the member
// clause comes before the item clause; quotes in a filter text are doubled, so the text is
// compared as typed.
std::string BuildInquiryStatement(const InquiryTable& table, const QueryPeriod& period,
                                  const std::string& member, const std::string& item);

// An amount as the list shows it: one decimal ("100.0", "12.3"), two when the amount has fen
// ("12.34"); rounded to fen for display.
std::string AmountText(double amount);
