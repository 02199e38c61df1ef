#include "query/CPayInquiryDlg.h"

#include "entry/CNormalPayDlg.h"
#include "entry/EntryChange.h"
#include "entry/EntryForm.h"
#include "res/Resources.h"

namespace {
int RunPayChangeForm(EntryChange& change) {
    CNormalPayDlg dlg;
    dlg.SetChange(&change);
    return dlg.DoModal();
}

const InquiryEditSide kPayEdits{kPayBook, "支出", &RunPayChangeForm};
}  // namespace

CPayInquiryDlg::CPayInquiryDlg(QWidget* parent)
    : CInquiryDlg(PayInquiryDialogTemplate(), kPayInquiry, kPayEdits, parent) {}
