#include "app/CTreeResponse.h"

#include "platform/ui/CDialog.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "query/CStatisticsDlg.h"

std::unique_ptr<CDialog> CTreeResponse::CreateItemDialog(const std::string& itemText) const {
    // The entry dialogs ("日常收入", "日常支出") are added here as they are built; every
    // other text opens nothing.
    if (itemText == "收入查询")
        return std::make_unique<CIncomeInquiryDlg>();
    if (itemText == "支出查询")
        return std::make_unique<CPayInquiryDlg>();
    if (itemText == "收支统计")
        return std::make_unique<CStatisticsDlg>();
    return nullptr;
}
