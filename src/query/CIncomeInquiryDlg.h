#pragma once

#include "query/CInquiryDlg.h"

// "收入查询": the income records of a period.
class CIncomeInquiryDlg : public CInquiryDlg {
    Q_OBJECT

public:
    explicit CIncomeInquiryDlg(QWidget* parent = nullptr);
};
