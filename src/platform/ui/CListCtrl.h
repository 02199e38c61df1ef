#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/CWnd.h"

class CListModel;
class QTreeView;

// Column formats, as the platform's list and header controls knew them.
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;

// Item states and the GetNextItem search flags.
constexpr unsigned LVIS_FOCUSED = 0x0001;
constexpr unsigned LVIS_SELECTED = 0x0002;
constexpr int LVNI_ALL = 0x0000;
constexpr int LVNI_FOCUSED = 0x0001;
constexpr int LVNI_SELECTED = 0x0002;

// The plain report-view list: columns with headings, rows of cell texts, item data and
// selection. The rows live in a CListModel, so a list of a whole year costs no widget per
// row. Attach it with DDX_Control to a ListView control whose template carries
// style::OwnerData (the kit then makes a model-backed view).
class CListCtrl : public CWnd {
public:
    QTreeView* List() const;
    CListModel* Model() const;

    int InsertColumn(int nCol, const std::string& heading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    bool DeleteColumn(int nCol);
    int GetColumnCount() const;
    int GetColumnWidth(int nCol) const;
    bool SetColumnWidth(int nCol, int nWidth);

    int GetItemCount() const;
    // Inserts an item before nItem (an index past the end appends); its index, or -1.
    int InsertItem(int nItem, const std::string& text);
    bool SetItemText(int nItem, int nSubItem, const std::string& text);
    // Appends an item with the texts of its sub-items in one go; its index, or -1.
    int AppendItem(std::initializer_list<std::string_view> texts);
    std::string GetItemText(int nItem, int nSubItem) const;
    bool DeleteItem(int nItem);
    bool DeleteAllItems();
    std::uint32_t GetItemData(int nItem) const;
    bool SetItemData(int nItem, std::uint32_t dwData);

    // LVIS_SELECTED and LVIS_FOCUSED; bits outside nMask are left alone.
    bool SetItemState(int nItem, unsigned nState, unsigned nMask);
    unsigned GetItemState(int nItem, unsigned nMask) const;
    int GetSelectedCount() const;
    // The first item after nItem (-1: from the start) that has every state in nFlags, or -1.
    int GetNextItem(int nItem, int nFlags) const;

    // The items selected, in ascending order, and a new selection made in one step (items
    // out of range are left out); the focus moves to the first of them.
    std::vector<int> GetSelectedItems() const;
    void SetSelectedItems(const std::vector<int>& items);
    // Off: a click selects the item's first cell only, and a click in another column selects
    // nothing; the list's extended style without full-row selection.
    void SetFullRowSelect(bool bFullRow);
    // The vertical scroll position, kept across a refill of the list.
    int GetScrollPos() const;
    void SetScrollPos(int nPos);

    // Off: rows appended are kept from the view until it is switched back on, which shows
    // them at once. Filling a long list this way costs no per-row repaint bookkeeping.
    void SetRedraw(bool bRedraw);

protected:
    void PreSubclassWindow() override;

private:
    QPointer<CListModel> m_pModel;  // the view's, found once when attached
};
