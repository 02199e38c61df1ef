#include "app/CTreeResponse.h"

#include "platform/ui/CDialog.h"
#include "query/CStatisticsDlg.h"

std::unique_ptr<CDialog> CTreeResponse::CreateItemDialog(const std::string& itemText) const {
    // The entry and query dialogs ("日常收入", "日常支出", "支出查询", "收入查询") are added
    // here as they are built; every other text opens nothing.
    if (itemText == "收支统计")
        return std::make_unique<CStatisticsDlg>();
    return nullptr;
}
