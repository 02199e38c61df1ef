#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/DateTimeValue.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrl.h"
#include "query/InquiryStatement.h"
#include "query/QueryPeriod.h"

// The records of one period, filtered by family member and item: the income and the expense
// query dialogs are this one dialog over two tables.
class CInquiryDlg : public CDialog {
    Q_OBJECT

public:
    CInquiryDlg(const DialogTemplate& tpl, const InquiryTable& table, QWidget* parent = nullptr);

    CComboBox m_comboMember;
    CComboBox m_comboItem;
    CADODatabase m_db;
    CListCtrl m_listResult;
    DateTimeValue m_dateFrom;
    DateTimeValue m_dateTo;
    int m_bFilterMember = 0;
    int m_bFilterItem = 0;
    std::string m_strMember;
    std::string m_strItem;

    void OnQueryToday();
    void OnQueryWeek();
    void OnQueryMonth();
    void OnQueryYear();
    void OnQueryInterval();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    void LoadChoices();
    void StartQuery();
    void RunRangeQuery(const QueryPeriod& period);

    const InquiryTable& m_table;
};
