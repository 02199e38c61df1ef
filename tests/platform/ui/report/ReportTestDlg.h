#pragma once

#include <QHeaderView>
#include <string>
#include <vector>

#include "platform/ui/CDialog.h"
#include "platform/ui/report/CReportCtrl.h"

constexpr int IDC_REPORT = 1012;

// A dialog with one report list, bound to `list` (its own member unless one is given).
class ReportTestDlg : public CDialog {
public:
    explicit ReportTestDlg(CReportCtrl* list = nullptr);

    // Adds the columns 名称 (left), 金额 (right) and 日期 (centre).
    void AddColumns();
    void AddRows(const std::vector<std::vector<std::string>>& rows);
    std::vector<std::string> Column(int column) const;
    std::vector<std::string> RecordColumn(int column) const;
    CReportRow* Record(int row) const;
    QHeaderView* Header() const;
    void ClickHeader(int column);

    CReportCtrl m_ownList;
    CReportCtrl& m_list;
    std::vector<Notification> m_columnClicks;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnListColumnClick(Notification& n) { m_columnClicks.push_back(n); }
};
