#include "query/CIncomeInquiryDlg.h"

#include "entry/CNormalIncomeDlg.h"
#include "entry/EntryChange.h"
#include "entry/EntryForm.h"
#include "res/Resources.h"

namespace {
int RunIncomeChangeForm(EntryChange& change) {
    CNormalIncomeDlg dlg;
    dlg.SetChange(&change);
    return dlg.DoModal();
}

const InquiryEditSide kIncomeEdits{kIncomeBook, "收入", &RunIncomeChangeForm};
}  // namespace

CIncomeInquiryDlg::CIncomeInquiryDlg(QWidget* parent)
    : CInquiryDlg(IncomeInquiryDialogTemplate(), kIncomeInquiry, kIncomeEdits, parent) {}
