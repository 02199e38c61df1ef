// Adds rows through a real entry dialog until it is killed. Every success message is written
// to standard output the moment it is shown, as "<n>\n"; any other message as "E <text>\n".
// Usage: entry_crash_child <book folder> <trial> income|pay
#include <QApplication>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include "entry/CNormalIncomeDlg.h"
#include "entry/CNormalPayDlg.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"
#include "support/HeadlessQt.h"

int main(int argc, char** argv) {
    if (argc != 4 || chdir(argv[1]) != 0)
        return 2;
    UseHeadlessQt();
    QApplication app(argc, argv);
    const std::string trial = argv[2];
    const bool income = std::string(argv[3]) == "income";

    long current = 0;
    SetMessageBoxHook([&current](QWidget*, const std::string& text) {
        WriteLineNow(text == "数据添加成功！" ? std::to_string(current) : "E " + text);
    });
    std::unique_ptr<CDialog> dlg;
    if (income)
        dlg = std::make_unique<CNormalIncomeDlg>();
    else
        dlg = std::make_unique<CNormalPayDlg>();
    dlg->Create();
    const int amountId = income ? IDC_EDIT_INCOME_AMOUNT : IDC_EDIT_PAY_AMOUNT;
    for (current = 1; current < 1000000; ++current) {
        dlg->SetDlgItemText(amountId, std::to_string(current));
        dlg->SetDlgItemText(IDC_EDIT_REMARK, "T" + trial + "-" + std::to_string(current));
        dlg->SendCommand(IDC_BTN_ENTRY_ADD);
    }
    return 0;
}
