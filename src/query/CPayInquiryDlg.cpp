#include "query/CPayInquiryDlg.h"

#include "res/Resources.h"

CPayInquiryDlg::CPayInquiryDlg(QWidget* parent)
    : CInquiryDlg(PayInquiryDialogTemplate(), kPayInquiry, parent) {}
