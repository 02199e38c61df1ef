#include "stats/CStatisticsDlg.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "categories/CategoryList.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/BookSide.h"
#include "platform/skin/Skin.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/FileDialog.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "stats/StatsCsv.h"

namespace {

constexpr const char* kChartSkin = "chartview";

ChartColours SkinChartColours() {
    ChartColours colours;
    colours.background = SkinOption(kChartSkin, "background", "#ffffff");
    colours.text = SkinOption(kChartSkin, "text", "#2b2f2e");
    colours.grid = SkinOption(kChartSkin, "grid", "#d8d8d8");
    const std::string series = SkinOption(kChartSkin, "series", "#3d8a7f,#c8753a,#5b7fa6");
    colours.series.clear();
    size_t start = 0;
    while (start <= series.size()) {
        const size_t comma = series.find(',', start);
        const std::string one = series.substr(start, comma - start);
        if (!one.empty())
            colours.series.push_back(one);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (colours.series.size() < 2)
        colours.series = {"#3d8a7f", "#c8753a"};
    return colours;
}

}  // namespace

CStatisticsDlg::CStatisticsDlg(QWidget* parent)
    : CDialog(StatisticsDialogTemplate(), parent), m_dateFrom(QueryNow()), m_dateTo(m_dateFrom) {}

const MessageMap& CStatisticsDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_STATS_TODAY, &CStatisticsDlg::OnQueryToday),
        Command(IDC_STATS_WEEK, &CStatisticsDlg::OnQueryWeek),
        Command(IDC_STATS_MONTH, &CStatisticsDlg::OnQueryMonth),
        Command(IDC_STATS_YEAR, &CStatisticsDlg::OnQueryYear),
        Command(IDC_STATS_INTERVAL, &CStatisticsDlg::OnQueryInterval),
        Command(IDC_STATS_VIEW_MEMBER, &CStatisticsDlg::OnViewMember),
        Command(IDC_STATS_VIEW_ITEM, &CStatisticsDlg::OnViewItem),
        Command(IDC_STATS_VIEW_MONTH, &CStatisticsDlg::OnViewMonth),
        Command(IDC_STATS_EXPORT_IMAGE, &CStatisticsDlg::OnExportImage),
        Command(IDC_STATS_EXPORT_CSV, &CStatisticsDlg::OnExportCsv),
    };
    return map;
}

void CStatisticsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATS_TABLE, m_listTable);
    DDX_Control(pDX, IDC_STATS_CHART, m_chart);
    DDX_Control(pDX, IDC_STATS_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_STATS_ITEM, m_comboItem);
    DDX_Check(pDX, IDC_STATS_FILTER_MEMBER, m_bFilterMember);
    DDX_Check(pDX, IDC_STATS_FILTER_ITEM, m_bFilterItem);
    DDX_CBString(pDX, IDC_STATS_MEMBER, m_strMember);
    DDX_CBString(pDX, IDC_STATS_ITEM, m_strItem);
    DDX_DateTimeCtrl(pDX, IDC_STATS_FROM, m_dateFrom);
    DDX_DateTimeCtrl(pDX, IDC_STATS_TO, m_dateTo);
}

bool CStatisticsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    dsSkinWindow(GetDlgItem(IDC_STATS_INTERVAL), 103, "buttonSearch", 1);
    dsSkinWindow(GetDlgItem(IDC_STATS_CHART), 130, kChartSkin, 0);
    m_chart.SetColours(SkinChartColours());

    // Everything that needs no book comes first, so a book that cannot be opened still leaves
    // a whole window.
    m_dateFrom = DateTimeValue(m_dateFrom.GetYear(), m_dateFrom.GetMonth(), 1);
    UpdateData(false);
    CheckDlgButton(IDC_STATS_VIEW_ITEM, true);
    ShowFigures();
    ShowView(m_view);

    m_db.SetConnectionString(BookConnectionString());
    if (m_db.Open())
        FillLists();
    UpdateData(false);
    m_comboMember.SetCurSel(0);
    m_comboItem.SetCurSel(0);
    UpdateData(true);
    OnQueryMonth();
    return true;
}

void CStatisticsDlg::FillLists() {
    // Members, then the expense items and the income items, each in its table's order.
    AppendCategoryEntries(m_db, kMemberTable, m_comboMember);
    AppendCategoryEntries(m_db, kPaySide.itemTable, m_comboItem);
    AppendCategoryEntries(m_db, kIncomeSide.itemTable, m_comboItem);
}

void CStatisticsDlg::OnQueryToday() {
    RunStats(TodayPeriod(QueryNow()));
}

void CStatisticsDlg::OnQueryWeek() {
    RunStats(WeekPeriod(QueryNow()));
}

void CStatisticsDlg::OnQueryMonth() {
    RunStats(MonthPeriod(QueryNow()));
}

void CStatisticsDlg::OnQueryYear() {
    RunStats(YearPeriod(QueryNow()));
}

void CStatisticsDlg::OnQueryInterval() {
    UpdateData(true);
    RunStats(IntervalPeriod(m_dateFrom, m_dateTo));
}

void CStatisticsDlg::RunStats(const QueryPeriod& period) {
    UpdateData(true);
    m_period = period;
    // The new period shows as empty until its figures are in, so a failure never leaves the
    // figures of another period under this one's dates.
    m_result = StatsResult{};
    ShowFigures();
    ShowView(m_view);
    if (!m_db.IsOpen() && !m_db.Open())
        return;
    StatsFilter filter;
    if (m_bFilterMember)
        filter.strMember = m_strMember;
    if (m_bFilterItem)
        filter.strItem = m_strItem;
    m_result = QueryStats(m_db, m_period.from, m_period.to, filter);
    ShowFigures();
    ShowView(m_view);
}

bool CStatisticsDlg::SpansMonths() const {
    const DateTimeValue last = m_period.to.AddDays(-1);
    return m_period.from < m_period.to && (last.GetYear() != m_period.from.GetYear() ||
                                           last.GetMonth() != m_period.from.GetMonth());
}

std::string CStatisticsDlg::PeriodText() const {
    if (!(m_period.from < m_period.to))
        return "";
    return PeriodBoundText(m_period.from) + " 至 " + PeriodBoundText(m_period.to.AddDays(-1));
}

std::string CStatisticsDlg::FilterText() const {
    std::string text;
    if (m_bFilterMember && !m_strMember.empty())
        text += "家庭成员：" + m_strMember;
    if (m_bFilterItem && !m_strItem.empty())
        text += (text.empty() ? "" : "，") + std::string("收支项目：") + m_strItem;
    return text;
}

void CStatisticsDlg::ShowFigures() {
    SetDlgItemText(IDC_STATS_INCOME, FenText(m_result.total.income.fen, FenStyle::Grouped));
    SetDlgItemText(IDC_STATS_PAY, FenText(m_result.total.pay.fen, FenStyle::Grouped));
    SetDlgItemText(IDC_STATS_BALANCE, FenText(m_result.total.Balance(), FenStyle::Grouped));
    SetDlgItemText(IDC_STATS_COUNT, std::to_string(m_result.total.Count()));
    const std::string filter = FilterText();
    SetDlgItemText(IDC_STATS_PERIOD, PeriodText() + (filter.empty() ? "" : "  " + filter));
    const bool months = SpansMonths();
    if (QWidget* monthView = GetDlgItem(IDC_STATS_VIEW_MONTH))
        monthView->setEnabled(months);
    if (!months && m_view == StatsView::Month) {
        m_view = StatsView::Item;
        CheckDlgButton(IDC_STATS_VIEW_ITEM, true);
    }
}

void CStatisticsDlg::OnViewMember() {
    ShowView(StatsView::Member);
}

void CStatisticsDlg::OnViewItem() {
    ShowView(StatsView::Item);
}

void CStatisticsDlg::OnViewMonth() {
    ShowView(StatsView::Month);
}

void CStatisticsDlg::ShowView(StatsView view) {
    m_view = view;
    const StatsTable table = MakeStatsTable(m_result, view, FenStyle::Grouped);
    m_listTable.DeleteAllItems();
    while (m_listTable.GetColumnCount() > 0)
        m_listTable.DeleteColumn(0);
    // Widths in pixels of the list's font; amounts are right-aligned so their points line up.
    const int itemWidths[] = {80, 44, 100, 60, 50};
    const int sideWidths[] = {54, 86, 86, 86, 40};
    for (size_t c = 0; c < table.headers.size(); ++c) {
        const int width = view == StatsView::Item ? itemWidths[c] : sideWidths[c];
        const bool text = c == 0 || (view == StatsView::Item && c == 1);
        m_listTable.InsertColumn(static_cast<int>(c), table.headers[c],
                                 text ? LVCFMT_LEFT : LVCFMT_RIGHT, width);
    }
    m_listTable.SetRedraw(false);
    for (const auto& row : table.rows) {
        const int n = m_listTable.InsertItem(m_listTable.GetItemCount(), row[0]);
        for (size_t c = 1; c < row.size(); ++c)
            m_listTable.SetItemText(n, static_cast<int>(c), row[c]);
    }
    m_listTable.SetRedraw(true);
    ShowChart();
}

void CStatisticsDlg::ShowChart() {
    if (m_result.total.Count() == 0) {
        m_chart.ShowNote("", "所选期间没有收支记录");
        return;
    }
    if (m_view == StatsView::Item) {
        std::vector<ChartSlice> slices;
        for (const StatsLine& l : m_result.items) {
            // A pie can only share out what was spent; refunds larger than the spending
            // leave an item out.
            if (l.pay.fen > Fen())
                slices.push_back({l.strKey.empty() ? "（未填）" : l.strKey, l.pay.fen.Yuan()});
        }
        if (slices.empty())
            m_chart.ShowNote("支出构成", "所选期间没有支出");
        else
            m_chart.ShowPie("支出构成", slices);
        return;
    }
    const bool members = m_view == StatsView::Member;
    const std::vector<StatsLine>& lines = members ? m_result.members : m_result.months;
    // Large sums read better in 万元 (ten thousand yuan), as household ledgers write them.
    std::int64_t largest = 0;
    for (const StatsLine& l : lines)
        largest = std::max({largest, std::abs(l.income.fen.Count()), std::abs(l.pay.fen.Count())});
    const bool tenThousands = largest >= 100000 * 100LL;
    const double scale = tenThousands ? 10000.0 : 1.0;
    std::vector<std::string> categories;
    ChartSeries income{kIncomeSide.name, {}}, pay{kPaySide.name, {}};
    for (const StatsLine& l : lines) {
        categories.push_back(members ? (l.strKey.empty() ? "（未填）" : l.strKey)
                                     : l.strKey.substr(2));  // "26-03" keeps the axis short
        income.values.push_back(l.income.fen.Yuan() / scale);
        pay.values.push_back(l.pay.fen.Yuan() / scale);
    }
    const std::string unit = tenThousands ? "（万元）" : "（元）";
    m_chart.ShowBars((members ? "各成员收支" : "每月收支") + unit, categories, {income, pay});
}

std::string CStatisticsDlg::FileStem() const {
    return "收支统计_" + m_period.from.Format("%Y%m%d") + "-" +
           m_period.to.AddDays(-1).Format("%Y%m%d");
}

void CStatisticsDlg::OnExportImage() {
    const std::string path =
        AskSaveFileName(this, "导出图片", FileStem() + ".png", "PNG 图片 (*.png)");
    if (path.empty())
        return;
    if (!m_chart.SaveImage(path))
        MessageBox("无法保存图片：" + path);
}

void CStatisticsDlg::OnExportCsv() {
    const std::string path =
        AskSaveFileName(this, "导出 CSV", FileStem() + ".csv", "CSV 文件 (*.csv)");
    if (path.empty())
        return;
    std::vector<StatsTable> tables{MakeStatsTable(m_result, StatsView::Member, FenStyle::Plain),
                                   MakeStatsTable(m_result, StatsView::Item, FenStyle::Plain)};
    if (SpansMonths())
        tables.push_back(MakeStatsTable(m_result, StatsView::Month, FenStyle::Plain));
    const std::string bytes = StatsCsv(m_result, PeriodText(), FilterText(), tables);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        MessageBox("无法保存文件：" + path);
}
