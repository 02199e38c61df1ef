#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/DateTimeValue.h"
#include "platform/ui/CChartCtrl.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrl.h"
#include "query/QueryPeriod.h"
#include "stats/StatsQuery.h"
#include "stats/StatsTables.h"

// "收支统计": the income and expense totals of a period, by member, item and month, with a
// chart beside each table. The period and the filters work as in the query dialogs.
class CStatisticsDlg : public CDialog {
    Q_OBJECT

public:
    explicit CStatisticsDlg(QWidget* parent = nullptr);

    CADODatabase m_db;
    CComboBox m_comboMember;
    CComboBox m_comboItem;
    CListCtrl m_listTable;
    CChartCtrl m_chart;
    DateTimeValue m_dateFrom;
    DateTimeValue m_dateTo;
    int m_bFilterMember = 0;
    int m_bFilterItem = 0;
    std::string m_strMember;
    std::string m_strItem;

    // The period shown and its figures.
    QueryPeriod m_period;
    StatsResult m_result;
    StatsView m_view = StatsView::Item;

    // Whether the shown period reaches over more than one calendar month.
    bool SpansMonths() const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnQueryToday();
    void OnQueryWeek();
    void OnQueryMonth();
    void OnQueryYear();
    void OnQueryInterval();
    void OnViewMember();
    void OnViewItem();
    void OnViewMonth();
    void OnExportImage();
    void OnExportCsv();

    void FillLists();
    void RunStats(const QueryPeriod& period);
    void ShowFigures();
    void ShowView(StatsView view);
    void ShowChart();
    std::string PeriodText() const;
    std::string FilterText() const;
    std::string FileStem() const;
};
