#include "ReportTestDlg.h"

#include <QTest>
#include <QTreeWidget>

#include "platform/ui/report/ReportRoles.h"

namespace {
const DialogTemplate& ReportTemplate() {
    static const DialogTemplate tpl{
        900,
        "报表测试",
        260,
        130,
        "宋体",
        9,
        style::Caption | style::SysMenu,
        {
            {IDC_REPORT, ControlKind::ListView, "", 7, 7, 246, 100, style::Border | style::TabStop},
            {IDCANCEL, ControlKind::PushButton, "关闭", 203, 111, 50, 14, style::TabStop},
        }};
    return tpl;
}
}  // namespace

ReportTestDlg::ReportTestDlg(CReportCtrl* list)
    : CDialog(ReportTemplate()), m_list(list ? *list : m_ownList) {}

void ReportTestDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_REPORT, m_list);
}

const MessageMap& ReportTestDlg::GetMessageMap() const {
    static const MessageMap map{
        Notify(Event::ColumnClick, IDC_REPORT, &ReportTestDlg::OnListColumnClick),
    };
    return map;
}

void ReportTestDlg::AddColumns() {
    m_list.InsertReportColumn(0, "名称", LVCFMT_LEFT, 120);
    m_list.InsertReportColumn(1, "金额", LVCFMT_RIGHT, 90);
    m_list.InsertReportColumn(2, "日期", LVCFMT_CENTER, 150);
}

void ReportTestDlg::AddRows(const std::vector<std::vector<std::string>>& rows) {
    for (const auto& row : rows) {
        m_list.InsertRow(m_list.GetItemCount(), row.at(0),
                         std::vector<std::string>(row.begin() + 1, row.end()));
    }
}

std::vector<std::string> ReportTestDlg::Column(int column) const {
    std::vector<std::string> texts;
    for (int r = 0; r < m_list.GetItemCount(); ++r)
        texts.push_back(m_list.GetItemText(r, column));
    return texts;
}

CReportRow* ReportTestDlg::Record(int row) const {
    return reinterpret_cast<CReportRow*>(
        m_list.List()->topLevelItem(row)->data(0, kRecordRole).value<quintptr>());
}

std::vector<std::string> ReportTestDlg::RecordColumn(int column) const {
    std::vector<std::string> texts;
    for (int r = 0; r < m_list.GetItemCount(); ++r) {
        const CReportRow* pRow = Record(r);
        texts.push_back(pRow ? pRow->m_texts.at(static_cast<std::size_t>(column)) : "<none>");
    }
    return texts;
}

QHeaderView* ReportTestDlg::Header() const {
    return m_list.List()->header();
}

void ReportTestDlg::ClickHeader(int column) {
    QHeaderView* header = Header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}
