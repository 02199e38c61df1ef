#include "query/InquiryStatement.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "data/SqlText.h"
#include "res/ResourceIds.h"

const InquiryTable kIncomeInquiry{"normalIncome", "收入日期",      "收入人员",         "收入项目",
                                  "收入类型",     "%Y-%m-%d %H时", IDC_INQ_LIST_INCOME};
const InquiryTable kPayInquiry{"normalPay", "支出日期",    "支出人员",      "支出项目",
                               "支出类型",  "%Y-%m-%d %H", IDC_INQ_LIST_PAY};

std::string BuildInquiryStatement(const InquiryTable& table, const QueryPeriod& period,
                                  const std::string& member, const std::string& item) {
    std::string statement = std::string("select * from ") + table.table + " where " +
                            PeriodCondition(table.dateColumn, period);
    if (!member.empty())
        statement += std::string(" and ") + table.memberColumn + "='" + SqlText(member) + "'";
    if (!item.empty())
        statement += std::string(" and ") + table.itemColumn + "='" + SqlText(item) + "'";
    return statement;
}

std::string AmountText(double amount) {
    // Beyond what fen can count exactly (or not a number at all) there are no fen to show.
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e15) {
        char text[400];
        std::snprintf(text, sizeof text, "%0.1f", amount);
        return text;
    }
    // Whole fen in integers: a year of rows is formatted without the floating-point printer.
    const long long fen = std::llround(amount * 100);
    const unsigned long long magnitude = fen < 0 ? 0ULL - static_cast<unsigned long long>(fen)
                                                 : static_cast<unsigned long long>(fen);
    char text[32];
    char* end = text;
    if (fen < 0)
        *end++ = '-';
    end = std::to_chars(end, text + sizeof text, magnitude / 100).ptr;
    const unsigned cents = static_cast<unsigned>(magnitude % 100);
    *end++ = '.';
    *end++ = static_cast<char>('0' + cents / 10);
    if (cents % 10 != 0)
        *end++ = static_cast<char>('0' + cents % 10);
    return std::string(text, end);
}
