#include "platform/ui/report/CReportCtrl.h"

#include <QItemSelection>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <climits>

#include "text/CellCompare.h"
#include "platform/ui/report/ReportRoles.h"

namespace {

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

Qt::Alignment AlignmentOfFormat(int nFormat) {
    if (nFormat & LVCFMT_CENTER)
        return Qt::AlignHCenter | Qt::AlignVCenter;
    if (nFormat & LVCFMT_RIGHT)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

CReportCtrl::CReportCtrl() = default;

CReportCtrl::~CReportCtrl() {
    QTreeWidget* tree = List();
    if (!tree)
        return;
    OnDestroy();
    // The list outlives this object: give it back a header of its own before ours goes.
    if (tree->header() == &m_header) {
        m_header.setParent(nullptr);
        tree->setHeader(new QHeaderView(Qt::Horizontal, tree));
    }
}

QTreeWidget* CReportCtrl::List() const {
    return qobject_cast<QTreeWidget*>(GetSafeHwnd());
}

void CReportCtrl::PreSubclassWindow() {
    QTreeWidget* tree = List();
    if (!tree)
        return;
    // The list starts without columns; InsertReportColumn adds them.
    if (tree->topLevelItemCount() == 0)
        tree->setColumnCount(0);
    tree->setHeader(&m_header);
    m_header.setSectionsClickable(true);
    m_header.setSectionsMovable(false);
    m_header.setStretchLastSection(false);
    m_header.setHighlightSections(false);
    m_header.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header.show();
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);

    // The column click comes to the list itself, not to the dialog.
    const int id = tree->property("controlId").toInt();
    QObject::connect(&m_header, &QHeaderView::sectionClicked, &m_header, [this, id](int column) {
        Notification n{id, Event::ColumnClick, column};
        OnColumnClick(n);
    });
    // Runs before the list deletes its children: our header is a member, not the list's to
    // free. The rows are already gone, so their records go too.
    QObject::connect(tree, &QObject::destroyed, &m_header, [this] {
        m_records.clear();
        m_header.setParent(nullptr);
    });
}

QTreeWidgetItem* CReportCtrl::Item(int nItem) const {
    QTreeWidget* tree = List();
    return tree && nItem >= 0 ? tree->topLevelItem(nItem) : nullptr;
}

CReportRow* CReportCtrl::RecordOf(int nItem) const {
    QTreeWidgetItem* item = Item(nItem);
    if (!item)
        return nullptr;
    return reinterpret_cast<CReportRow*>(item->data(0, kRecordRole).value<quintptr>());
}

int CReportCtrl::GetItemCount() const {
    QTreeWidget* tree = List();
    return tree ? tree->topLevelItemCount() : 0;
}

int CReportCtrl::GetColumnCount() const {
    QTreeWidget* tree = List();
    return tree ? tree->columnCount() : 0;
}

int CReportCtrl::InsertItem(int nItem, const std::string& text) {
    QTreeWidget* tree = List();
    if (!tree || nItem < 0)
        return -1;
    nItem = std::min(nItem, tree->topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQ(text));
    item->setTextAlignment(0, AlignmentOfFormat(m_header.GetItemFormat(0)));
    tree->insertTopLevelItem(nItem, item);
    return nItem;
}

bool CReportCtrl::SetItemText(int nItem, int nSubItem, const std::string& text) {
    QTreeWidgetItem* item = Item(nItem);
    if (!item || nSubItem < 0 || (nSubItem > 0 && nSubItem >= GetColumnCount()))
        return false;
    item->setText(nSubItem, ToQ(text));
    item->setTextAlignment(nSubItem, AlignmentOfFormat(m_header.GetItemFormat(nSubItem)));
    return true;
}

std::string CReportCtrl::GetItemText(int nItem, int nSubItem) const {
    QTreeWidgetItem* item = Item(nItem);
    if (!item || nSubItem < 0)
        return {};
    return item->text(nSubItem).toStdString();
}

bool CReportCtrl::GetCheck(int nItem) const {
    QTreeWidgetItem* item = Item(nItem);
    return item && item->checkState(0) == Qt::Checked;
}

bool CReportCtrl::SetCheck(int nItem, bool bCheck) {
    QTreeWidgetItem* item = Item(nItem);
    if (!item)
        return false;
    item->setCheckState(0, bCheck ? Qt::Checked : Qt::Unchecked);
    return true;
}

std::uint32_t CReportCtrl::GetItemData(int nItem) const {
    QTreeWidgetItem* item = Item(nItem);
    return item ? item->data(0, kItemDataRole).toUInt() : 0;
}

bool CReportCtrl::SetItemData(int nItem, std::uint32_t dwData) {
    QTreeWidgetItem* item = Item(nItem);
    if (!item)
        return false;
    item->setData(0, kItemDataRole, dwData);
    if (CReportRow* pRow = RecordOf(nItem))
        pRow->m_dwData = dwData;
    return true;
}

bool CReportCtrl::SetItemSelected(int nItem, bool bSelected) {
    QTreeWidgetItem* item = Item(nItem);
    if (!item)
        return false;
    item->setSelected(bSelected);
    return true;
}

int CReportCtrl::InsertReportColumn(int nCol, const std::string& heading, int nFormat, int nWidth,
                                    int /*nSubItem*/) {
    QTreeWidget* tree = List();
    if (!tree || nCol < 0)
        return -1;
    const int count = tree->columnCount();
    nCol = std::min(nCol, count);
    std::vector<int> widths(count);
    for (int c = 0; c < count; ++c)
        widths[c] = m_header.sectionSize(c);

    // Qt only appends columns; shift the texts right of the new one by hand. Row data stays in
    // column 0.
    tree->setColumnCount(count + 1);
    QTreeWidgetItem* head = tree->headerItem();
    const int rows = tree->topLevelItemCount();
    for (int c = count; c > nCol; --c) {
        head->setText(c, head->text(c - 1));
        head->setData(c, kFormatRole, head->data(c - 1, kFormatRole));
        head->setData(c, Qt::TextAlignmentRole, head->data(c - 1, Qt::TextAlignmentRole));
        for (int r = 0; r < rows; ++r) {
            QTreeWidgetItem* item = tree->topLevelItem(r);
            item->setText(c, item->text(c - 1));
            item->setData(c, Qt::TextAlignmentRole, item->data(c - 1, Qt::TextAlignmentRole));
        }
        m_header.resizeSection(c, widths[c - 1]);
    }
    head->setText(nCol, ToQ(heading));
    m_header.SetItemFormat(nCol, nFormat & (LVCFMT_RIGHT | LVCFMT_CENTER));
    for (int r = 0; r < rows; ++r) {
        QTreeWidgetItem* item = tree->topLevelItem(r);
        item->setText(nCol, QString());
        item->setTextAlignment(nCol, AlignmentOfFormat(nFormat));
    }
    m_header.resizeSection(nCol, nWidth >= 0 ? nWidth : m_header.defaultSectionSize());

    for (int r = 0; r < rows; ++r)
        ResyncRow(r);
    return nCol;
}

int CReportCtrl::InsertRow(int nItem, const std::string& first,
                           const std::vector<std::string>& further) {
    QTreeWidget* tree = List();
    if (!tree || nItem < 0)
        return -1;
    nItem = std::min(nItem, tree->topLevelItemCount());
    const int nColumns = GetColumnCount();

    // The item is complete before it enters the list: every change to an item already in the
    // list makes the model look up its row, a search from the end that made filling from the
    // top quadratic.
    auto owned = std::make_unique<CReportRow>();
    CReportRow* pRow = owned.get();
    pRow->m_texts.resize(static_cast<std::size_t>(nColumns));
    // Left is the cells' own alignment; only the other ones are stored.
    auto align = [this](QTreeWidgetItem* item, int c) {
        const int nFormat = m_header.GetItemFormat(c);
        if (nFormat & (LVCFMT_RIGHT | LVCFMT_CENTER))
            item->setTextAlignment(c, AlignmentOfFormat(nFormat));
    };
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQ(first));
    align(item, 0);
    if (nColumns > 0)
        pRow->m_texts[0] = first;
    for (int c = 1; c < nColumns; ++c) {
        const std::size_t next = static_cast<std::size_t>(c - 1);
        std::string& text = pRow->m_texts[static_cast<std::size_t>(c)];
        text = next < further.size() ? further[next] : std::string();
        item->setText(c, ToQ(text));
        align(item, c);
    }
    item->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(pRow)));
    m_records.emplace(pRow, std::move(owned));
    tree->insertTopLevelItem(nItem, item);
    return nItem;
}

void CReportCtrl::FreeRecord(CReportRow* pRow) {
    if (pRow)
        m_records.erase(pRow);
}

int CReportCtrl::DeleteAllRows() {
    QTreeWidget* tree = List();
    if (!tree)
        return 0;
    // One removal for all rows: taking them one by one from the top moved every row below
    // each time.
    const QList<QTreeWidgetItem*> items = tree->invisibleRootItem()->takeChildren();
    qDeleteAll(items);
    // Every record belongs to a row, and the rows are all gone.
    m_records.clear();
    return static_cast<int>(items.size());
}

int CReportCtrl::GetFirstSelectedRow() const {
    QTreeWidget* tree = List();
    if (!tree || !tree->selectionModel())
        return -1;
    int nFirst = -1;
    for (const QItemSelectionRange& range : tree->selectionModel()->selection()) {
        if (range.parent().isValid() || range.left() > 0)
            continue;
        if (nFirst < 0 || range.top() < nFirst)
            nFirst = range.top();
    }
    return nFirst;
}

bool CReportCtrl::IsRowSelected(int nItem) const {
    QTreeWidgetItem* item = Item(nItem);
    return item && item->isSelected();
}

bool CReportCtrl::SwapRows(int nItem1, int nItem2) {
    QTreeWidgetItem* item1 = Item(nItem1);
    QTreeWidgetItem* item2 = Item(nItem2);
    if (!item1 || !item2)
        return false;

    const bool bSelected1 = item1->isSelected();
    const bool bSelected2 = item2->isSelected();
    const QVariant check1 = item1->data(0, Qt::CheckStateRole);
    const QVariant check2 = item2->data(0, Qt::CheckStateRole);
    CReportRow* pRow1 = RecordOf(nItem1);
    CReportRow* pRow2 = RecordOf(nItem2);
    const std::uint32_t dwData1 = GetItemData(nItem1);
    const std::uint32_t dwData2 = GetItemData(nItem2);

    const int nColumns = GetColumnCount();
    // A row without a record, or with too short a one, still gets its texts swapped; its
    // record (if any) grows to hold them.
    auto store = [nColumns](CReportRow* pRow, int c, const std::string& text) {
        if (!pRow)
            return;
        if (pRow->m_texts.size() <= static_cast<std::size_t>(c))
            pRow->m_texts.resize(static_cast<std::size_t>(nColumns));
        pRow->m_texts[static_cast<std::size_t>(c)] = text;
    };
    for (int c = 0; c < nColumns; ++c) {
        const std::string text1 = GetItemText(nItem1, c);
        const std::string text2 = GetItemText(nItem2, c);
        if (SetItemText(nItem1, c, text2))
            store(pRow1, c, text2);
        if (SetItemText(nItem2, c, text1))
            store(pRow2, c, text1);
    }
    SetItemData(nItem1, dwData2);
    SetItemData(nItem2, dwData1);
    item1->setData(0, Qt::CheckStateRole, check2);
    item2->setData(0, Qt::CheckStateRole, check1);
    // Only the selection changes places; the focus stays on its row.
    item1->setSelected(bSelected2);
    item2->setSelected(bSelected1);
    return true;
}

bool CReportCtrl::MoveRowsUp(int nItem, int nCount) {
    if (nCount < 0)
        return MoveRowsDown(nItem, nCount == INT_MIN ? INT_MAX : -nCount);
    if (nCount == 0)
        return true;
    const long long target = static_cast<long long>(nItem) - nCount;
    const int nRows = GetItemCount();
    for (int i = nItem;; --i) {
        if (i < 0 || i >= nRows || i - 1 < 0 || i - 1 >= nRows)
            return false;
        SwapRows(i, i - 1);
        if (i - 1 <= target)
            return true;
    }
}

bool CReportCtrl::MoveRowsDown(int nItem, int nCount) {
    if (nCount < 0)
        return MoveRowsUp(nItem, nCount == INT_MIN ? INT_MAX : -nCount);
    const long long end = static_cast<long long>(nItem) + nCount;
    for (long long i = nItem; i < end; ++i) {
        if (i + 1 > INT_MAX || !SwapRows(static_cast<int>(i), static_cast<int>(i + 1)))
            return false;
    }
    return true;
}

bool CReportCtrl::ResyncRow(int nItem) {
    CReportRow* pRow = RecordOf(nItem);
    if (!pRow)
        return false;
    const int nColumns = GetColumnCount();
    pRow->m_texts.resize(static_cast<std::size_t>(nColumns));
    for (int c = 0; c < nColumns; ++c)
        pRow->m_texts[static_cast<std::size_t>(c)] = GetItemText(nItem, c);
    return true;
}

void CReportCtrl::OnColumnClick(Notification& notification) {
    const int nColumn = notification.item;
    const bool bAscending = nColumn != m_header.m_nSortColumn || !m_header.m_bSortAscending;
    notification.result = 0;
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return;
    m_header.m_nSortColumn = nColumn;
    m_header.m_bSortAscending = bAscending;
    m_header.MarkSortColumn();
    SortItems();
}

void CReportCtrl::OnDestroy() {
    if (QTreeWidget* tree = List()) {
        for (int r = 0; r < tree->topLevelItemCount(); ++r) {
            FreeRecord(RecordOf(r));
            tree->topLevelItem(r)->setData(0, kRecordRole, QVariant());
        }
    }
    m_records.clear();
}

// A missing record or a record shorter than the sort column compares as empty text, so rows
// added through the plain list operations still sort instead of failing.
int CReportCtrl::CompareRows(std::uintptr_t lParam1, std::uintptr_t lParam2,
                             std::uintptr_t lParamSort) {
    const auto* pCtrl = reinterpret_cast<const CReportCtrl*>(lParamSort);
    const int nColumn = pCtrl->m_header.m_nSortColumn;
    auto textOf = [nColumn](std::uintptr_t lParam) -> std::string_view {
        const auto* pRow = reinterpret_cast<const CReportRow*>(lParam);
        if (!pRow || nColumn < 0 || static_cast<std::size_t>(nColumn) >= pRow->m_texts.size())
            return {};
        return pRow->m_texts[static_cast<std::size_t>(nColumn)];
    };
    const std::string_view a = textOf(lParam1);
    const std::string_view b = textOf(lParam2);
    return pCtrl->m_header.m_bSortAscending ? CompareCellTexts(a, b) : CompareCellTexts(b, a);
}

void CReportCtrl::SortItems() {
    QTreeWidget* tree = List();
    if (!tree || tree->topLevelItemCount() < 2)
        return;

    struct CEntry {
        QTreeWidgetItem* pItem;
        std::uintptr_t lParam;
        bool bSelected;
    };
    std::vector<CEntry> entries;
    entries.reserve(static_cast<std::size_t>(tree->topLevelItemCount()));
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = tree->topLevelItem(r);
        entries.push_back({item, item->data(0, kRecordRole).value<quintptr>(), item->isSelected()});
    }
    QTreeWidgetItem* current = tree->currentItem();
    const int currentColumn = std::max(tree->currentColumn(), 0);

    // Sorting moves rows; it selects nothing new, so the dialog hears of no selection change.
    const QSignalBlocker blocker(tree->selectionModel());
    tree->invisibleRootItem()->takeChildren();
    const auto lParamSort = reinterpret_cast<std::uintptr_t>(this);
    std::stable_sort(entries.begin(), entries.end(),
                     [lParamSort](const CEntry& a, const CEntry& b) {
                         return CompareRows(a.lParam, b.lParam, lParamSort) < 0;
                     });
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(static_cast<qsizetype>(entries.size()));
    for (const CEntry& entry : entries)
        sorted.append(entry.pItem);
    tree->addTopLevelItems(sorted);

    QItemSelection selection;
    QAbstractItemModel* model = tree->model();
    const int last = std::max(tree->columnCount() - 1, 0);
    for (std::size_t r = 0; r < entries.size(); ++r) {
        if (!entries[r].bSelected)
            continue;
        std::size_t end = r;
        while (end + 1 < entries.size() && entries[end + 1].bSelected)
            ++end;
        selection.select(model->index(static_cast<int>(r), 0),
                         model->index(static_cast<int>(end), last));
        r = end;
    }
    tree->selectionModel()->select(selection, QItemSelectionModel::Select);
    if (current)
        tree->setCurrentItem(current, currentColumn, QItemSelectionModel::NoUpdate);
    tree->viewport()->update();
}
