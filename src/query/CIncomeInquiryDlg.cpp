#include "query/CIncomeInquiryDlg.h"

#include "res/Resources.h"

CIncomeInquiryDlg::CIncomeInquiryDlg(QWidget* parent)
    : CInquiryDlg(IncomeInquiryDialogTemplate(), kIncomeInquiry, parent) {}
