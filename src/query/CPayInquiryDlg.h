#pragma once

#include "query/CInquiryDlg.h"

// "支出查询": the expense records of a period.
class CPayInquiryDlg : public CInquiryDlg {
    Q_OBJECT

public:
    explicit CPayInquiryDlg(QWidget* parent = nullptr);
};
