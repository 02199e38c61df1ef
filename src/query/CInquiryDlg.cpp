#include "query/CInquiryDlg.h"

#include <QMenu>

#include "categories/CategoryList.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/Fen.h"
#include "platform/skin/Skin.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/ErrorBarrier.h"
#include "res/ResourceIds.h"

CInquiryDlg::CInquiryDlg(const DialogTemplate& tpl, const InquiryTable& table,
                         ChangeFormRunner runChangeForm, QWidget* parent)
    : CDialog(tpl, parent),
      m_dateFrom(QueryNow()),
      m_dateTo(m_dateFrom),
      m_table(table),
      m_runChangeForm(runChangeForm) {}

CInquiryDlg::~CInquiryDlg() = default;

const MessageMap& CInquiryDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_INQ_TODAY, &CInquiryDlg::OnQueryToday),
        Command(IDC_INQ_WEEK, &CInquiryDlg::OnQueryWeek),
        Command(IDC_INQ_MONTH, &CInquiryDlg::OnQueryMonth),
        Command(IDC_INQ_YEAR, &CInquiryDlg::OnQueryYear),
        Command(IDC_INQ_SEARCH, &CInquiryDlg::OnQueryInterval),
        Command(ID_INQ_CHANGE, &CInquiryDlg::OnChangeEntry),
        Command(ID_INQ_DELETE, &CInquiryDlg::OnDeleteEntries),
        Command(ID_INQ_UNDO, &CInquiryDlg::OnUndo),
    };
    return map;
}

void CInquiryDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INQ_COMBO_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_INQ_COMBO_ITEM, m_comboItem);
    DDX_Control(pDX, m_table.listId, m_listResult);
    DDX_DateTimeCtrl(pDX, IDC_INQ_DATE_FROM, m_dateFrom);
    DDX_DateTimeCtrl(pDX, IDC_INQ_DATE_TO, m_dateTo);
    DDX_Check(pDX, IDC_INQ_CHECK_MEMBER, m_bFilterMember);
    DDX_Check(pDX, IDC_INQ_CHECK_ITEM, m_bFilterItem);
    DDX_CBString(pDX, IDC_INQ_COMBO_MEMBER, m_strMember);
    DDX_CBString(pDX, IDC_INQ_COMBO_ITEM, m_strItem);
}

bool CInquiryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    dsSkinWindow(GetDlgItem(IDC_INQ_SEARCH), 103, "buttonSearch", 1);
    // No label stands before the result list; name it for screen readers.
    GetDlgItem(m_table.listId)->setAccessibleName(QStringLiteral("查询结果"));

    // A book that cannot be read is reported and leaves the combo boxes empty; the dialog
    // still opens with its columns and dates.
    RunGuarded(this, [this] { LoadChoices(); });

    m_listResult.InsertColumn(0, "编号", LVCFMT_LEFT, 50);
    m_listResult.InsertColumn(1, "金额", LVCFMT_LEFT, 70);
    m_listResult.InsertColumn(2, m_table.side.memberColumn, LVCFMT_LEFT, 100);
    m_listResult.InsertColumn(3, m_table.side.dateColumn, LVCFMT_LEFT, 100);
    m_listResult.InsertColumn(4, m_table.side.itemColumn, LVCFMT_LEFT, 100);
    // The result list has no full-row selection: a click selects a record by its number.
    m_listResult.SetFullRowSelect(false);
    MakeContextMenu();

    m_dateFrom = DateTimeValue(m_dateFrom.GetYear(), m_dateFrom.GetMonth(), 1);
    UpdateData(false);
    m_comboMember.SetCurSel(0);
    m_comboItem.SetCurSel(0);
    UpdateData(true);
    return true;
}

void CInquiryDlg::LoadChoices() {
    m_db.SetConnectionString(BookConnectionString());
    m_db.Open();
    // Each list is filled on its own: one unreadable table leaves the other one full.
    RunGuarded(this, [this] { AppendCategoryEntries(m_db, kMemberTable, m_comboMember); });
    RunGuarded(this, [this] { AppendCategoryEntries(m_db, m_table.side.itemTable, m_comboItem); });
}

void CInquiryDlg::StartQuery() {
    m_listResult.DeleteAllItems();
    UpdateData(true);
}

void CInquiryDlg::OnQueryToday() {
    StartQuery();
    RunRangeQuery(TodayPeriod(QueryNow()));
}

void CInquiryDlg::OnQueryWeek() {
    StartQuery();
    RunRangeQuery(WeekPeriod(QueryNow()));
}

void CInquiryDlg::OnQueryMonth() {
    StartQuery();
    RunRangeQuery(MonthPeriod(QueryNow()));
}

void CInquiryDlg::OnQueryYear() {
    StartQuery();
    RunRangeQuery(YearPeriod(QueryNow()));
}

void CInquiryDlg::OnQueryInterval() {
    StartQuery();
    RunRangeQuery(IntervalPeriod(m_dateFrom, m_dateTo));
}

void CInquiryDlg::RunRangeQuery(const QueryPeriod& period) {
    ListRows({period, m_bFilterMember ? m_strMember : std::string(),
              m_bFilterItem ? m_strItem : std::string()});
}

void CInquiryDlg::ListRows(const ListedQuery& query) {
    if (!m_db.IsOpen())
        return;
    m_listed = query;
    CADORecordset rs(&m_db);
    const std::string statement =
        BuildInquiryStatement(m_table, query.period, query.member, query.item);
    rs.Open(m_db.GetActiveConnection(), statement, CADORecordset::OpenQuery);

    // The rows reach the view in one go when the walk ends, or when a failure cuts it short:
    // what was read by then stays listed.
    struct ShowRowsAtEnd {
        CListCtrl& list;
        ~ShowRowsAtEnd() { list.SetRedraw(true); }
    } showRows{m_listResult};
    m_listResult.SetRedraw(false);

    const std::string datePattern = m_table.datePattern;
    std::string number;
    EntryFields fields;
    while (!rs.IsEOF()) {
        rs.GetFieldValue(kNumberPosition, number);
        rs.GetFieldValue(kAmountPosition, fields.amount);
        rs.GetFieldValue(kMemberPosition, fields.member);
        // A stored text that is no date shows as an empty cell, not as day 0 (1899-12-30).
        if (!rs.GetFieldValue(kDatePosition, fields.date))
            fields.date = DateTimeValue::Null();
        rs.GetFieldValue(kItemPosition, fields.item);
        // What the row held when listed, so a change made meanwhile elsewhere is noticed.
        rs.GetFieldValue(kRemarkPosition, fields.remark);
        const int row =
            m_listResult.AppendItem({number, StoredAmountText(fields.amount), fields.member,
                                     fields.date.Format(datePattern), fields.item});
        m_listResult.SetItemData(row, EntryFingerprint(fields));
        rs.MoveNext();
    }
    rs.Close();
}
