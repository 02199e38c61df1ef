#include "query/CIncomeInquiryDlg.h"

#include "entry/CNormalIncomeDlg.h"
#include "entry/EntryChange.h"
#include "res/Resources.h"

namespace {
int RunIncomeChangeForm(EntryChange& change) {
    CNormalIncomeDlg dlg;
    dlg.SetChange(&change);
    return dlg.DoModal();
}
}  // namespace

CIncomeInquiryDlg::CIncomeInquiryDlg(QWidget* parent)
    : CInquiryDlg(IncomeInquiryDialogTemplate(), kIncomeInquiry, &RunIncomeChangeForm, parent) {}
