#pragma once

#include <string>
#include <vector>

#include "data/DateTimeValue.h"

// One row of normalIncome or normalPay, read by position as the query dialogs read it.
struct EntryRow {
    std::string member;
    double amount = 0;
    DateTimeValue date;
    std::string item;
    std::string remark;
};

std::vector<EntryRow> EntryRows(const std::string& table);
// How many rows of the table leave the remark NULL.
long RowsWithNullRemark(const std::string& table);
// Makes a category table hold exactly these entries, added in this order.
void SetCategoryEntries(const std::string& table, const std::vector<std::string>& entries);

// Makes database failures read as the program shows them, for as long as it lives.
class DatabaseMessages {
public:
    DatabaseMessages();
    ~DatabaseMessages();
};
