#include "platform/ui/CListCtrl.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>

#include "platform/ui/CListModel.h"

namespace {
Qt::Alignment AlignmentOfFormat(int nFormat) {
    if (nFormat & LVCFMT_CENTER)
        return Qt::AlignHCenter;
    if (nFormat & LVCFMT_RIGHT)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}
}  // namespace

QTreeView* CListCtrl::List() const {
    return qobject_cast<QTreeView*>(GetSafeHwnd());
}

CListModel* CListCtrl::Model() const {
    return m_pModel.data();
}

void CListCtrl::PreSubclassWindow() {
    QTreeView* view = List();
    m_pModel = view ? qobject_cast<CListModel*>(view->model()) : nullptr;
    if (!m_pModel)
        qWarning("CListCtrl: the list has no CListModel; give its template style::OwnerData");
}

int CListCtrl::InsertColumn(int nCol, const std::string& heading, int nFormat, int nWidth,
                            int /*nSubItem*/) {
    CListModel* model = Model();
    if (!model || nCol < 0)
        return -1;
    nCol = model->InsertColumn(nCol, heading, AlignmentOfFormat(nFormat));
    QHeaderView* header = List()->header();
    header->resizeSection(nCol, nWidth >= 0 ? nWidth : header->defaultSectionSize());
    return nCol;
}

bool CListCtrl::DeleteColumn(int nCol) {
    CListModel* model = Model();
    return model && model->RemoveColumn(nCol);
}

int CListCtrl::GetColumnCount() const {
    CListModel* model = Model();
    return model ? model->ColumnCount() : 0;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    if (nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return List()->header()->sectionSize(nCol);
}

bool CListCtrl::SetColumnWidth(int nCol, int nWidth) {
    if (nCol < 0 || nCol >= GetColumnCount() || nWidth < 0)
        return false;
    List()->header()->resizeSection(nCol, nWidth);
    return true;
}

int CListCtrl::GetItemCount() const {
    CListModel* model = Model();
    return model ? model->RowCount() : 0;
}

int CListCtrl::InsertItem(int nItem, const std::string& text) {
    CListModel* model = Model();
    if (!model || nItem < 0)
        return -1;
    return model->InsertRow(nItem, text);
}

int CListCtrl::AppendItem(std::initializer_list<std::string_view> texts) {
    CListModel* model = Model();
    return model ? model->AppendRow(texts) : -1;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const std::string& text) {
    CListModel* model = Model();
    // Sub-item 0 is the item's own text and exists even before any column does.
    if (!model || (nSubItem > 0 && nSubItem >= model->ColumnCount()))
        return false;
    return model->SetText(nItem, nSubItem, text);
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    CListModel* model = Model();
    return model ? std::string(model->Text(nItem, nSubItem)) : std::string();
}

bool CListCtrl::DeleteItem(int nItem) {
    CListModel* model = Model();
    return model && model->RemoveRow(nItem);
}

bool CListCtrl::DeleteAllItems() {
    CListModel* model = Model();
    if (!model)
        return false;
    model->RemoveAllRows();
    return true;
}

std::uint32_t CListCtrl::GetItemData(int nItem) const {
    CListModel* model = Model();
    return model ? model->Data(nItem) : 0;
}

bool CListCtrl::SetItemData(int nItem, std::uint32_t dwData) {
    CListModel* model = Model();
    return model && model->SetData(nItem, dwData);
}

bool CListCtrl::SetItemState(int nItem, unsigned nState, unsigned nMask) {
    CListModel* model = Model();
    if (!model || nItem < 0 || nItem >= model->RowCount())
        return false;
    // A pending row has no index the view could select.
    model->Flush();
    QTreeView* view = List();
    const QModelIndex index = model->index(nItem, 0);
    if (nMask & LVIS_SELECTED) {
        const auto command =
            (nState & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
        view->selectionModel()->select(index, command | QItemSelectionModel::Rows);
    }
    if (nMask & LVIS_FOCUSED) {
        if (nState & LVIS_FOCUSED)
            view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        else if (view->selectionModel()->currentIndex().row() == nItem)
            view->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    return true;
}

unsigned CListCtrl::GetItemState(int nItem, unsigned nMask) const {
    CListModel* model = Model();
    if (!model || nItem < 0 || nItem >= model->rowCount())
        return 0;
    const QItemSelectionModel* selection = List()->selectionModel();
    unsigned state = 0;
    // A row is selected when its first cell is: the whole row, or that cell alone in a list
    // without full-row selection.
    if (selection->isSelected(model->index(nItem, 0)))
        state |= LVIS_SELECTED;
    if (selection->currentIndex().isValid() && selection->currentIndex().row() == nItem)
        state |= LVIS_FOCUSED;
    return state & nMask;
}

int CListCtrl::GetSelectedCount() const {
    QTreeView* view = List();
    if (!Model() || !view->selectionModel())
        return 0;
    return static_cast<int>(GetSelectedItems().size());
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    const int count = GetItemCount();
    const unsigned wanted = static_cast<unsigned>(nFlags) & (LVIS_SELECTED | LVIS_FOCUSED);
    for (int i = std::max(nItem + 1, 0); i < count; ++i) {
        if (wanted == 0)
            return i;
        if (GetItemState(i, wanted) == wanted)
            return i;
        // Only rows the view knows can be selected or focused.
        if (i >= Model()->rowCount())
            break;
    }
    return -1;
}

std::vector<int> CListCtrl::GetSelectedItems() const {
    std::vector<int> items;
    QTreeView* view = List();
    if (!Model() || !view->selectionModel())
        return items;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        if (index.column() == 0)
            items.push_back(index.row());
    }
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

void CListCtrl::SetSelectedItems(const std::vector<int>& items) {
    CListModel* model = Model();
    if (!model)
        return;
    model->Flush();
    QTreeView* view = List();
    QItemSelection selection;
    for (int item : items) {
        if (item >= 0 && item < model->rowCount())
            selection.select(model->index(item, 0), model->index(item, 0));
    }
    const auto rows = view->selectionBehavior() == QAbstractItemView::SelectRows
                          ? QItemSelectionModel::Rows
                          : QItemSelectionModel::NoUpdate;
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | rows);
    if (!selection.isEmpty())
        view->selectionModel()->setCurrentIndex(selection.first().topLeft(),
                                                QItemSelectionModel::NoUpdate);
}

void CListCtrl::SetFullRowSelect(bool bFullRow) {
    QTreeView* view = List();
    if (!view || !Model())
        return;
    Model()->SetFullRowSelect(bFullRow);
    view->setSelectionBehavior(bFullRow ? QAbstractItemView::SelectRows
                                        : QAbstractItemView::SelectItems);
    view->setAllColumnsShowFocus(bFullRow);
}

int CListCtrl::GetScrollPos() const {
    QTreeView* view = List();
    return view ? view->verticalScrollBar()->value() : 0;
}

void CListCtrl::SetScrollPos(int nPos) {
    if (QTreeView* view = List()) {
        // The view learns the new rows' extent when it lays them out.
        view->doItemsLayout();
        view->verticalScrollBar()->setValue(nPos);
    }
}

void CListCtrl::SetRedraw(bool bRedraw) {
    if (CListModel* model = Model())
        model->HoldInsertions(!bRedraw);
}
