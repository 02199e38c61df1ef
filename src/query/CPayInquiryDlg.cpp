#include "query/CPayInquiryDlg.h"

#include "entry/CNormalPayDlg.h"
#include "entry/EntryChange.h"
#include "res/Resources.h"

namespace {
int RunPayChangeForm(EntryChange& change) {
    CNormalPayDlg dlg;
    dlg.SetChange(&change);
    return dlg.DoModal();
}
}  // namespace

CPayInquiryDlg::CPayInquiryDlg(QWidget* parent)
    : CInquiryDlg(PayInquiryDialogTemplate(), kPayInquiry, &RunPayChangeForm, parent) {}
