#include "bills/CBillImportDlg.h"

#include <QFileInfo>
#include <QSettings>
#include <QTreeWidget>
#include <variant>

#include "bills/BillReader.h"
#include "categories/CategoryList.h"
#include "data/BookBackup.h"
#include "data/BookConnection.h"
#include "data/Fen.h"
#include "platform/skin/Skin.h"
#include "platform/ui/FileDialog.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {

constexpr const char* kFolderKey = "bills/folder";

std::string Grouped(std::int64_t fen) {
    return FenText(Fen(fen), FenStyle::Grouped);
}

std::string DirectionText(const PlannedBillRow& r) {
    if (r.presence == BillPresence::New) {
        switch (r.decision.action) {
            case BillAction::Expense:
                return "支出";
            case BillAction::Income:
                return "收入";
            case BillAction::Refund:
                return "退款";
            case BillAction::Skip:
                break;
        }
    }
    return r.row.strDirection.empty() ? "—" : r.row.strDirection;
}

// "已在账本中N笔", with how many of them came again with a new status.
std::string PresentText(const BillImportResult& r) {
    std::string text = "已在账本中" + std::to_string(r.nPresent) + "笔";
    if (r.nStatusChanged > 0)
        text += "（其中" + std::to_string(r.nStatusChanged) + "笔状态有变）";
    return text;
}

std::string CategoryText(const CategoryKey& key) {
    return (key.first == BillSide::Pay ? "支出：" : "收入：") +
           (key.second.empty() ? std::string("（无分类）") : key.second);
}

}  // namespace

CBillImportDlg::CBillImportDlg(QWidget* parent) : CDialog(BillImportDialogTemplate(), parent) {}

CBillImportDlg::~CBillImportDlg() {
    // The list outlives the plan while members go; its last changes must not reach the plan.
    if (QTreeWidget* list = m_listPreview.List())
        list->disconnect(this);
}

const MessageMap& CBillImportDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_BILL_BROWSE, &CBillImportDlg::OnBrowse),
        Command(IDC_BILL_IMPORT, &CBillImportDlg::OnImport),
        Notify(Event::SelChange, IDC_BILL_CATEGORY, &CBillImportDlg::OnSelChangeCategory),
        Notify(Event::SelChange, IDC_BILL_ITEM, &CBillImportDlg::OnSelChangeItem),
    };
    return map;
}

void CBillImportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BILL_MEMBER, m_comboMember);
    DDX_Control(pDX, IDC_BILL_CATEGORY, m_comboCategory);
    DDX_Control(pDX, IDC_BILL_ITEM, m_comboItem);
    DDX_Control(pDX, IDC_BILL_LIST, m_listPreview);
}

bool CBillImportDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    static const char* const kHeadings[ColCount] = {"交易时间", "收/支",    "金额",
                                                    "交易对方", "商品说明", "支付方式",
                                                    "交易状态", "记入项目", "说明"};
    static const int kWidths[ColCount] = {150, 58, 70, 100, 120, 115, 70, 70, 130};
    for (int c = 0; c < ColCount; ++c)
        m_listPreview.InsertReportColumn(c, kHeadings[c],
                                         c == ColAmount ? LVCFMT_RIGHT : LVCFMT_LEFT, kWidths[c]);
    // A checked row is booked; the box is what the user changes, so a change recounts.
    connect(m_listPreview.List(), &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        const auto index =
            m_listPreview.GetItemData(m_listPreview.List()->indexOfTopLevelItem(item));
        if (index < m_plan.rows.size()) {
            m_plan.rows[index].bChecked = item->checkState(0) == Qt::Checked;
            ShowSummary();
        }
    });
    m_db.SetConnectionString(BookConnectionString());
    if (m_db.Open()) {
        AppendCategoryEntries(m_db, "家庭成员", m_comboMember);
        m_comboMember.SetCurSel(0);
    }
    ShowSummary();
    return true;
}

void CBillImportDlg::OnBrowse() {
    QSettings settings;
    const std::string folder = settings.value(kFolderKey).toString().toStdString();
    const std::string path = AskOpenFileName(this, "选择支付宝或微信支付账单", folder,
                                             "账单文件 (*.csv *.xlsx);;所有文件 (*)");
    if (path.empty())
        return;
    settings.setValue(kFolderKey, QFileInfo(QString::fromStdString(path)).absolutePath());
    LoadFile(path);
}

void CBillImportDlg::LoadFile(const std::string& path) {
    // What was shown belongs to the previous file; it goes before the new one is judged.
    m_statement.reset();
    m_plan = BillImportPlan{};
    m_strFile = path;
    SetDlgItemText(IDC_BILL_FILE, path);
    auto read = ReadBillFile(path);
    if (const auto* error = std::get_if<BillError>(&read)) {
        FillPreview();
        MessageBox(error->strMessage);
        return;
    }
    m_statement = std::move(std::get<BillStatement>(read));
    Plan();
}

void CBillImportDlg::Plan() {
    if (m_statement && (m_db.IsOpen() || m_db.Open()))
        m_plan = PlanBillImport(m_db, *m_statement);
    FillPreview();
}

void CBillImportDlg::FillPreview() {
    QTreeWidget* list = m_listPreview.List();
    const QSignalBlocker quiet(list);
    list->setUpdatesEnabled(false);
    m_listPreview.DeleteAllRows();
    const QBrush grey = list->palette().brush(QPalette::Disabled, QPalette::Text);
    for (std::size_t i = 0; i < m_plan.rows.size(); ++i) {
        const PlannedBillRow& r = m_plan.rows[i];
        const bool bookable = r.Bookable();
        const std::string amount =
            Grouped(r.presence == BillPresence::New && bookable ? r.SignedFen() : r.row.nFen);
        const int row = m_listPreview.InsertRow(
            m_listPreview.GetItemCount(), r.row.strTime,
            {DirectionText(r), amount, r.row.strCounterparty, r.row.strDescription, r.row.strMethod,
             r.row.strStatus, bookable ? m_plan.ItemFor(i) : std::string(),
             bookable ? std::string() : SkipText(r)});
        QTreeWidgetItem* item = list->topLevelItem(row);
        m_listPreview.SetItemData(row, static_cast<std::uint32_t>(i));
        item->setCheckState(0, r.bChecked ? Qt::Checked : Qt::Unchecked);
        if (!bookable) {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            for (int c = 0; c < ColCount; ++c)
                item->setForeground(c, grey);
        }
    }
    list->setUpdatesEnabled(true);
    m_comboCategory.ResetContent();
    for (const CategoryKey& key : m_plan.MappedCategories())
        m_comboCategory.InsertString(-1, CategoryText(key));
    m_comboCategory.SetCurSel(0);
    FillItemChoices();
    ShowSummary();
}

CategoryKey CBillImportDlg::SelectedCategory() const {
    const auto keys = m_plan.MappedCategories();
    const int selected = m_comboCategory.GetCurSel();
    if (selected < 0 || static_cast<std::size_t>(selected) >= keys.size())
        return {BillSide::Pay, {}};
    return keys[static_cast<std::size_t>(selected)];
}

void CBillImportDlg::FillItemChoices() {
    m_comboItem.ResetContent();
    if (m_comboCategory.GetCurSel() < 0)
        return;
    const CategoryKey key = SelectedCategory();
    const std::string current = m_plan.mapping[key];
    const std::vector<std::string>& items = m_plan.ItemsOf(key.first);
    for (std::size_t i = 0; i < items.size(); ++i) {
        m_comboItem.InsertString(-1, items[i]);
        if (items[i] == current)
            m_comboItem.SetCurSel(static_cast<int>(i));
    }
}

void CBillImportDlg::OnSelChangeCategory(Notification&) {
    FillItemChoices();
}

void CBillImportDlg::OnSelChangeItem(Notification&) {
    const int selected = m_comboItem.GetCurSel();
    if (selected < 0 || m_comboCategory.GetCurSel() < 0)
        return;
    m_plan.mapping[SelectedCategory()] = m_comboItem.GetLBText(selected);
    ShowItems();
}

void CBillImportDlg::ShowItems() {
    QTreeWidget* list = m_listPreview.List();
    const QSignalBlocker quiet(list);
    for (int row = 0; row < m_listPreview.GetItemCount(); ++row) {
        const auto index = m_listPreview.GetItemData(row);
        if (index < m_plan.rows.size() && m_plan.rows[index].Bookable()) {
            m_listPreview.SetItemText(row, ColItem, m_plan.ItemFor(index));
            m_listPreview.ResyncRow(row);
        }
    }
}

void CBillImportDlg::ShowSummary() {
    if (!m_statement) {
        SetDlgItemText(IDC_BILL_SUMMARY, "请选择支付宝或微信支付导出的账单文件（CSV 或 XLSX）。");
        return;
    }
    const BillImportResult r = SummariseBillImport(m_plan);
    SetDlgItemText(IDC_BILL_SUMMARY, std::string(PlatformName(m_plan.platform)) + "账单共" +
                                         std::to_string(m_plan.rows.size()) + "笔：将添加" +
                                         std::to_string(r.nAdded) + "笔（支出" +
                                         Grouped(r.nPayFen) + "元，收入" + Grouped(r.nIncomeFen) +
                                         "元），跳过" + std::to_string(r.nSkipped) + "笔，" +
                                         PresentText(r));
}

void CBillImportDlg::OnImport() {
    if (!m_statement) {
        MessageBox("请先选择账单文件。");
        return;
    }
    const int member = m_comboMember.GetCurSel();
    if (member < 0) {
        MessageBox(
            "没有选择家庭成员，账单未导入。家庭成员在“系统设置”的基础数据“家庭成员”中添加。");
        return;
    }
    // A whole statement goes in at once: keep the book as it was before it.
    if (m_db.IsOpen() && SummariseBillImport(m_plan).nAdded > 0)
        BackUpBeforeBulkChange(m_db.GetActiveConnection()->FilePath());
    const BillImportResult r = ApplyBillImport(m_db, m_plan, m_comboMember.GetLBText(member));
    MessageBox("导入完成：添加" + std::to_string(r.nAdded) + "笔，跳过" +
               std::to_string(r.nSkipped) + "笔，" + PresentText(r) + "。");
    Plan();
}
