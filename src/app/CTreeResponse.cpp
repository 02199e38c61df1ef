#include "app/CTreeResponse.h"

#include "bills/CBillImportDlg.h"
#include "entry/CNormalIncomeDlg.h"
#include "entry/CNormalPayDlg.h"
#include "platform/ui/CDialog.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "stats/CStatisticsDlg.h"

std::unique_ptr<CDialog> CTreeResponse::CreateItemDialog(const std::string& itemText) const {
    if (itemText == "日常收入")
        return std::make_unique<CNormalIncomeDlg>();
    if (itemText == "日常支出")
        return std::make_unique<CNormalPayDlg>();
    if (itemText == "账单导入")
        return std::make_unique<CBillImportDlg>();
    if (itemText == "收入查询")
        return std::make_unique<CIncomeInquiryDlg>();
    if (itemText == "支出查询")
        return std::make_unique<CPayInquiryDlg>();
    if (itemText == "收支统计")
        return std::make_unique<CStatisticsDlg>();
    return nullptr;
}
