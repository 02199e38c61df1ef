#include "query/InquiryStatement.h"

#include <cmath>
#include <cstdio>

#include "data/SqlText.h"
#include "res/ResourceIds.h"

const InquiryTable kIncomeInquiry{"normalIncome", "收入日期", "收入人员",      "收入项目",
                                  "收入类型",     "收入类型", "%Y-%m-%d %H时", IDC_INQ_LIST_INCOME};
const InquiryTable kPayInquiry{"normalPay", "支出日期", "支出人员",    "支出项目",
                               "支出类型",  "支出类型", "%Y-%m-%d %H", IDC_INQ_LIST_PAY};

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
    char text[64];
    // Beyond what fen can count exactly (or not a number at all) there are no fen to show.
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e15) {
        std::snprintf(text, sizeof text, "%0.1f", amount);
        return text;
    }
    const long long fen = std::llround(amount * 100);
    std::snprintf(text, sizeof text, fen % 10 == 0 ? "%0.1f" : "%0.2f",
                  static_cast<double>(fen) / 100);
    return text;
}
