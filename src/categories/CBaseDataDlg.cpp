#include "categories/CBaseDataDlg.h"

#include <utility>
#include <vector>

#include "categories/EntryOrder.h"
#include "data/ADOException.h"
#include "data/ADORecordset.h"
#include "data/BookBackup.h"
#include "data/BookConnection.h"
#include "data/SqlText.h"
#include "platform/ado/ComError.h"
#include "platform/ado/JetDialect.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {
constexpr const char* kOrderKept = "次序未能保存，各项仍是原来的次序。";
}  // namespace

CBaseDataDlg::CBaseDataDlg(QWidget* parent) : CDialog(BaseDataDialogTemplate(), parent) {}

const MessageMap& CBaseDataDlg::GetMessageMap() const {
    static const MessageMap map{
        Notify(Event::Click, IDC_LIST_BASE_KIND, &CBaseDataDlg::OnClickListKind),
        Notify(Event::Click, IDC_LIST_BASE_ENTRY, &CBaseDataDlg::OnClickListEntry),
        // Keyboard and empty-space selection changes too: the entry list must never show
        // one kind's rows while another is selected.
        Notify(Event::SelChange, IDC_LIST_BASE_KIND, &CBaseDataDlg::OnSelChangeListKind),
        Command(IDC_BTN_BASE_UP, &CBaseDataDlg::OnMoveUp),
        Command(IDC_BTN_BASE_ADD, &CBaseDataDlg::OnAdd),
        Command(IDC_BTN_BASE_DELETE, &CBaseDataDlg::OnDelete),
        Command(IDC_BTN_BASE_CHANGE, &CBaseDataDlg::OnChange),
        Command(IDC_BTN_BASE_DOWN, &CBaseDataDlg::OnMoveDown),
        Command(IDC_BTN_BASE_CLOSE, &CBaseDataDlg::OnClose),
    };
    return map;
}

void CBaseDataDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_BASE_KIND, m_listKind);
    DDX_Control(pDX, IDC_LIST_BASE_ENTRY, m_listEntry);
    DDX_Text(pDX, IDC_EDIT_BASE_TYPE, m_strType);
    DDX_Text(pDX, IDC_EDIT_BASE_REMARK, m_strRemark);
}

bool CBaseDataDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    // No label stands beside the lists; name them for assistive technologies.
    GetDlgItem(IDC_LIST_BASE_KIND)->setAccessibleName(QStringLiteral("基础数据种类"));
    GetDlgItem(IDC_LIST_BASE_ENTRY)->setAccessibleName(QStringLiteral("基础数据条目"));

    m_listKind.InsertColumn(0, "类型", LVCFMT_LEFT, 100);
    m_listEntry.InsertReportColumn(0, "类型", LVCFMT_LEFT, 100);
    m_listEntry.InsertReportColumn(1, "备注", LVCFMT_LEFT, 120);

    m_db.SetConnectionString(BookConnectionString());
    if (!m_db.Open()) {
        MessageBox("Open error!");
        return true;
    }
    CADORecordset rs(&m_db);
    if (rs.Open(m_db.GetActiveConnection(), "baseData", CADORecordset::OpenTable)) {
        while (!rs.IsEOF()) {
            std::string kind;
            rs.GetFieldValue("类型", kind);
            m_listKind.InsertItem(m_listKind.GetItemCount(), kind);
            rs.MoveNext();
        }
        rs.Close();
    }
    return true;
}

std::string CBaseDataDlg::SelectedKind() const {
    const int item = m_listKind.GetNextItem(-1, LVNI_SELECTED);
    return item < 0 ? std::string() : m_listKind.GetItemText(item, 0);
}

void CBaseDataDlg::EmptyEntries() {
    m_listEntry.DeleteAllRows();
    m_strShownKind.clear();
}

void CBaseDataDlg::ReloadEntries() {
    const std::string kind = SelectedKind();
    if (kind.empty())
        return;
    // Emptied first, so that a table that cannot be read leaves no other kind's rows shown.
    EmptyEntries();
    CADORecordset rs(&m_db);
    if (!rs.Open(m_db.GetActiveConnection(), SqlIdentifier(kind), CADORecordset::OpenTable))
        return;
    while (!rs.IsEOF()) {
        std::string type;
        std::string remark;
        rs.GetFieldValue("类型", type);
        rs.GetFieldValue("备注", remark);
        m_listEntry.InsertRow(m_listEntry.GetItemCount(), type, {remark});
        rs.MoveNext();
    }
    rs.Close();
    m_strShownKind = kind;
}

void CBaseDataDlg::OnClickListKind(Notification& n) {
    // A click that changed the selection has had its kind read already; read it once.
    if (!std::exchange(m_bKindJustRead, false))
        ReloadEntries();
    n.result = 0;
}

void CBaseDataDlg::OnSelChangeListKind(Notification&) {
    const std::string kind = SelectedKind();
    if (kind == m_strShownKind)
        return;
    if (kind.empty()) {
        EmptyEntries();
        return;
    }
    m_bKindJustRead = true;
    ReloadEntries();
}

void CBaseDataDlg::OnClickListEntry(Notification& n) {
    const int row = m_listEntry.GetFirstSelectedRow();
    if (row < 0)
        return;
    m_strType = m_listEntry.GetItemText(row, 0);
    m_strRemark = m_listEntry.GetItemText(row, 1);
    UpdateData(false);
    n.result = 0;
}

void CBaseDataDlg::OnAdd() {
    UpdateData(true);
    const std::string kind = SelectedKind();
    if (kind.empty())
        return;
    // A row without a 类型 could never be found again to delete or change.
    if (m_strType.empty()) {
        MessageBox("类型不能为空，请填入类型！");
        return;
    }
    CADORecordset rs(&m_db);
    const std::string query =
        "select * from " + SqlIdentifier(kind) + " where 类型 = '" + SqlText(m_strType) + "'";
    if (!rs.Open(m_db.GetActiveConnection(), query, CADORecordset::OpenDefault))
        return;
    if (rs.GetRecordCount() >= 1) {
        MessageBox("该类型已存在，无法添加已存在的类型！");
    } else {
        rs.AddNew();
        rs.SetFieldValue("类型", m_strType);
        rs.SetFieldValue("备注", m_strRemark);
        if (rs.Update()) {
            MessageBox("添加成功！");
            ReloadEntries();
        }
    }
    rs.Close();
}

bool CBaseDataDlg::OpenTypedEntry(CADORecordset& rs) {
    UpdateData(true);
    const std::string kind = SelectedKind();
    if (kind.empty())
        return false;
    const std::string query =
        "select * from " + SqlIdentifier(kind) + " where 类型 = '" + SqlText(m_strType) + "'";
    if (!rs.Open(m_db.GetActiveConnection(), query, CADORecordset::OpenDefault))
        return false;
    if (rs.GetRecordCount() < 1) {
        MessageBox("没有此数据项，请重新选项！");
        rs.Close();
        return false;
    }
    return true;
}

void CBaseDataDlg::OnDelete() {
    CADORecordset rs(&m_db);
    if (!OpenTypedEntry(rs))
        return;
    if (rs.Delete() && rs.Update()) {
        MessageBox("数据删除成功！");
        ReloadEntries();
    } else {
        MessageBox("数据删除失败！");
    }
    rs.Close();
}

void CBaseDataDlg::OnChange() {
    CADORecordset rs(&m_db);
    if (!OpenTypedEntry(rs))
        return;
    rs.Edit();
    rs.SetFieldValue("类型", m_strType);
    rs.SetFieldValue("备注", m_strRemark);
    if (rs.Update()) {
        MessageBox("数据更改成功！");
        ReloadEntries();
    } else {
        MessageBox("数据更改失败！");
    }
    rs.Close();
}

void CBaseDataDlg::OnMoveUp() {
    m_listEntry.MoveRowsUp(m_listEntry.GetFirstSelectedRow(), 1);
    m_listEntry.GetSafeHwnd()->setFocus();
    StoreShownOrder();
}

void CBaseDataDlg::OnMoveDown() {
    const int row = m_listEntry.GetFirstSelectedRow();
    m_listEntry.SwapRows(row, row + 1);
    m_listEntry.GetSafeHwnd()->setFocus();
    StoreShownOrder();
}

void CBaseDataDlg::StoreShownOrder() {
    const std::string kind = SelectedKind();
    if (kind.empty() || kind != m_strShownKind)
        return;
    // The first reorder of a visit rewrites the whole table: keep the book as it was first.
    if (!std::exchange(m_bBackedUp, true) && m_db.IsOpen())
        BackUpBeforeBulkChange(m_db.GetActiveConnection()->FilePath());
    std::vector<CategoryEntry> entries;
    for (int row = 0; row < m_listEntry.GetItemCount(); ++row)
        entries.push_back({m_listEntry.GetItemText(row, 0), m_listEntry.GetItemText(row, 1)});

    // Whatever fails, the table keeps its old order; show that order again.
    auto showStoredOrder = [this] {
        try {
            ReloadEntries();
        } catch (...) {
            EmptyEntries();
        }
    };
    bool stored = false;
    try {
        stored = StoreEntryOrder(m_db, kind, entries);
    } catch (const CADOException& e) {
        showStoredOrder();
        throw CADOException(e.m_code, kOrderKept + ("\n" + e.m_description));
    } catch (const CComError& e) {
        showStoredOrder();
        throw CADOException(e.Error(), kOrderKept + ("\n" + e.Description()));
    }
    if (!stored) {
        showStoredOrder();
        MessageBox(kOrderKept);
    }
}

void CBaseDataDlg::OnClose() {
    OnOK();
}
