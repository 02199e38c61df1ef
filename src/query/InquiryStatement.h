#pragma once

#include <string>

#include "data/BookSide.h"
#include "query/QueryPeriod.h"

// What tells the income query from the expense query: the side of the book it lists, the
// hour pattern of its date column, and its result list.
struct InquiryTable {
    const BookSide& side;
    const char* datePattern;  // the date column's text form
    int listId;               // the result list control
};

extern const InquiryTable kIncomeInquiry;
extern const InquiryTable kPayInquiry;

// The select of one period query. A filter with an empty text adds no clause; the member
// clause comes before the item clause; quotes in a filter text are doubled, so the text is
// compared as typed.
std::string BuildInquiryStatement(const InquiryTable& table, const QueryPeriod& period,
                                  const std::string& member, const std::string& item);
