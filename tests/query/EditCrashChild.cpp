// Changes, deletes and takes back listed entries through a real query dialog until it is
// killed. Before each step it writes what it is about to do, after it "A" once the dialog is
// done with it; any message shown is written as "E <text>". One write per line, unbuffered.
//   "P D <编号>..."       delete these rows
//   "P C <编号> <amount>" change the row's amount
//   "P U"                 take back the last step
// Usage: edit_crash_child <book folder> <trial> income|pay
#include <QApplication>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include <unistd.h>

#include "platform/ui/MessageBox.h"
#include "platform/ui/QuestionBox.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "res/ResourceIds.h"
#include "support/HeadlessQt.h"

int main(int argc, char** argv) {
    if (argc != 4 || chdir(argv[1]) != 0)
        return 2;
    UseHeadlessQt();
    QApplication app(argc, argv);
    const int trial = std::atoi(argv[2]);
    const bool income = std::string(argv[3]) == "income";
    SetQueryClock([] { return DateTimeValue(2026, 12, 6, 14, 5); });
    SetMessageBoxHook([](QWidget*, const std::string& text) { WriteLineNow("E " + text); });
    SetQuestionHook([](QWidget*, const std::string&) { return true; });
    std::string amount;
    const int amountId = income ? IDC_EDIT_INCOME_AMOUNT : IDC_EDIT_PAY_AMOUNT;
    SetModalRunner([&](CDialog& form) {
        form.SetDlgItemText(amountId, amount);
        form.SendCommand(IDC_BTN_ENTRY_ADD);
        return form.GetEndCode();
    });

    std::unique_ptr<CInquiryDlg> dlg;
    if (income)
        dlg = std::make_unique<CIncomeInquiryDlg>();
    else
        dlg = std::make_unique<CPayInquiryDlg>();
    dlg->Create();
    dlg->SendCommand(IDC_INQ_TODAY);

    std::mt19937 random(static_cast<unsigned>(trial));
    int steps = 0;  // steps that can be taken back
    for (;;) {
        CListCtrl& list = dlg->m_listResult;
        const int rows = list.GetItemCount();
        const int pick = std::uniform_int_distribution<int>(0, 99)(random);
        auto anyRow = [&] { return std::uniform_int_distribution<int>(0, rows - 1)(random); };
        if (steps > 0 && (pick < 35 || rows < 4)) {
            WriteLineNow("P U");
            dlg->SendCommand(ID_INQ_UNDO);
            --steps;
        } else if (pick < 70 && rows >= 4) {
            std::vector<int> chosen;
            const int count = std::uniform_int_distribution<int>(1, 3)(random);
            for (int i = 0; i < count; ++i)
                chosen.push_back(anyRow());
            list.SetSelectedItems(chosen);
            std::string line = "P D";
            for (int row : list.GetSelectedItems())
                line += " " + list.GetItemText(row, 0);
            WriteLineNow(line);
            dlg->SendCommand(ID_INQ_DELETE);
            ++steps;
        } else if (rows > 0) {
            const int row = anyRow();
            list.SetSelectedItems({row});
            int value = std::uniform_int_distribution<int>(1, 99999)(random);
            // The same amount again would change nothing, and leave no step to take back.
            if (list.GetItemText(row, 1) == std::to_string(value) + ".0")
                ++value;
            amount = std::to_string(value);
            WriteLineNow("P C " + list.GetItemText(row, 0) + " " + amount);
            dlg->SendCommand(ID_INQ_CHANGE);
            ++steps;
        } else {
            return 4;
        }
        WriteLineNow("A");
    }
}
