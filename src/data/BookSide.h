#pragma once

#include <string>

// One side of the book: the income side or the expense side. Each keeps its entries in a
// table of its own with the same layout under its own column names, and takes its items from
// a category table of its own. Every name and word that differs between the sides is here.
struct BookSide {
    const char* name;          // "收入": the side as the statistics name it
    const char* entryTable;    // one row per entry
    const char* numberColumn;  // the number the database gives each entry
    const char* memberColumn;  // the family member
    const char* amountColumn;  // yuan, as a double
    const char* dateColumn;    // date and time of day
    const char* itemColumn;    // one of the entries of itemTable
    const char* remarkColumn;  // NULL when left empty
    const char* itemTable;     // the category table of this side's items
    const char* itemWord;      // how the dialogs name an item of this side
    const char* zeroAmountMessage;
};

inline constexpr BookSide kIncomeSide{
    .name = "收入",
    .entryTable = "normalIncome",
    .numberColumn = "编号",
    .memberColumn = "收入人员",
    .amountColumn = "收入金额",
    .dateColumn = "收入日期",
    .itemColumn = "收入项目",
    .remarkColumn = "备注",
    .itemTable = "收入类型",
    .itemWord = "收入项目",
    .zeroAmountMessage = "收入金额不能为0！请填入正确的收入金额！",
};

inline constexpr BookSide kPaySide{
    .name = "支出",
    .entryTable = "normalPay",
    .numberColumn = "编号",
    .memberColumn = "支出人员",
    .amountColumn = "支出金额",
    .dateColumn = "支出日期",
    .itemColumn = "支出项目",
    .remarkColumn = "备注",
    .itemTable = "支出类型",
    .itemWord = "支出项目",
    .zeroAmountMessage = "支出金额不能为0！请填入正确的支出金额！",
};

inline constexpr const BookSide* kBookSides[] = {&kIncomeSide, &kPaySide};

// The category table of the family members, shared by both sides.
inline constexpr const char* kMemberTable = "家庭成员";

// Where the columns stand in an entry table's rows (`select *` or the table opened by name);
// readers address them by these positions. The remark comes after the item.
enum EntryColumnPosition : int {
    kNumberPosition = 0,
    kMemberPosition = 1,
    kAmountPosition = 2,
    kDatePosition = 3,
    kItemPosition = 4,
    kRemarkPosition = 5,
};

// The statements that create a side's entry table and its date index.
std::string EntryTableSchema(const BookSide& side);
