#pragma once

#include <QHeaderView>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/CListCtrl.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/report/CReportRow.h"

class QTreeWidget;
class QTreeWidgetItem;

// The header item format bit of a column drawn by its header (LVCFMT_ come with the list).
constexpr int HDF_OWNERDRAW = 0x8000;

// A report list that sorts its rows when a column header is clicked, shows the direction as a
// small bevelled triangle in that header item, and keeps a copy of every row's texts
// (CReportRow) for sorting and row moves. Attach it to a ListView control with DDX_Control.
class CReportCtrl : public CWnd {
public:
    // The list's header: holds the sort state and draws every column that has once been sorted.
    class CReportHeaderCtrl : public QHeaderView {
    public:
        // One header item to paint, in the header's own coordinates.
        struct DrawItemInfo {
            int nItem;
            bool bPressed;  // the item is held down by the mouse
            QPainter* pDC;
            QRect rcItem;
        };

        CReportHeaderCtrl();
        ~CReportHeaderCtrl() override;

        int GetItemFormat(int nItem) const;
        void SetItemFormat(int nItem, int nFormat);

        // Turns the sort column owner-drawn and repaints the header.
        void MarkSortColumn();
        virtual void DrawItem(const DrawItemInfo& info) const;

        int m_nSortColumn = -1;
        bool m_bSortAscending = true;

    protected:
        void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
        void mousePressEvent(QMouseEvent* event) override;
        void mouseReleaseEvent(QMouseEvent* event) override;

    private:
        int m_nPressedItem = -1;
    };

    CReportCtrl();
    ~CReportCtrl() override;

    QTreeWidget* List() const;

    // Plain list operations; rows added or texts changed through them bypass the row copies
    // until ResyncRow.
    int GetItemCount() const;
    int GetColumnCount() const;
    int InsertItem(int nItem, const std::string& text);
    bool SetItemText(int nItem, int nSubItem, const std::string& text);
    std::string GetItemText(int nItem, int nSubItem) const;
    bool GetCheck(int nItem) const;
    bool SetCheck(int nItem, bool bCheck);
    std::uint32_t GetItemData(int nItem) const;
    bool SetItemData(int nItem, std::uint32_t dwData);
    bool SetItemSelected(int nItem, bool bSelected);

    // nSubItem is accepted for the platform's signature; a column is always its own sub-item.
    int InsertReportColumn(int nCol, const std::string& heading, int nFormat = LVCFMT_LEFT,
                           int nWidth = -1, int nSubItem = -1);
    // Inserts a row with its first text and one text for each further column; texts missing
    // from `further` count as empty, surplus ones are ignored. Returns the row index or -1.
    int InsertRow(int nItem, const std::string& first,
                  const std::vector<std::string>& further = {});
    int DeleteAllRows();
    int GetFirstSelectedRow() const;
    bool IsRowSelected(int nItem) const;
    bool SwapRows(int nItem1, int nItem2);
    bool MoveRowsUp(int nItem, int nCount);
    bool MoveRowsDown(int nItem, int nCount);
    bool ResyncRow(int nItem);
    // Number of row copies the control holds.
    int GetRecordCount() const { return static_cast<int>(m_records.size()); }

    // The sort callback: the two rows' record addresses and the control's address.
    static int CompareRows(std::uintptr_t lParam1, std::uintptr_t lParam2,
                           std::uintptr_t lParamSort);

    // Handlers: the header's column click (the column in notification.item) and the list
    // window's destruction.
    void OnColumnClick(Notification& notification);
    void OnDestroy();

    CReportHeaderCtrl m_header;

protected:
    void PreSubclassWindow() override;

private:
    QTreeWidgetItem* Item(int nItem) const;
    CReportRow* RecordOf(int nItem) const;
    void FreeRecord(CReportRow* pRow);
    void SortItems();
    void OnListDestroyed();

    // Owns every record; the list items hold their addresses.
    std::unordered_map<CReportRow*, std::unique_ptr<CReportRow>> m_records;
};
