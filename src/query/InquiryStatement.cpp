#include "query/InquiryStatement.h"

#include "data/SqlText.h"
#include "res/ResourceIds.h"

const InquiryTable kIncomeInquiry{kIncomeSide, "%Y-%m-%d %H时", IDC_INQ_LIST_INCOME};
const InquiryTable kPayInquiry{kPaySide, "%Y-%m-%d %H", IDC_INQ_LIST_PAY};

std::string BuildInquiryStatement(const InquiryTable& table, const QueryPeriod& period,
                                  const std::string& member, const std::string& item) {
    const BookSide& side = table.side;
    std::string statement = std::string("select * from ") + side.entryTable + " where " +
                            PeriodCondition(side.dateColumn, period);
    if (!member.empty())
        statement += std::string(" and ") + side.memberColumn + "='" + SqlText(member) + "'";
    if (!item.empty())
        statement += std::string(" and ") + side.itemColumn + "='" + SqlText(item) + "'";
    return statement;
}
