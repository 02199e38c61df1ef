#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The rows of a plain report list. A row keeps its cell texts in one UTF-8 string, cells
// ended by NUL (the platform's list texts ended at one too: a text is cut at its first NUL),
// so a year of query results costs a few dozen bytes a row and no widget at all.
//
// Rows inserted at or after the end of what the view has been told about stay pending until
// Flush: one insertion signal for a whole batch instead of one per row.
class CListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Off: only a row's first cell can be selected, as in a list without full-row selection.
    void SetFullRowSelect(bool bFullRow) { m_bFullRowSelect = bFullRow; }

    // Rows held, pending ones included.
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }

    // Inserts a column before nCol (clamped to the end); returns its index.
    int InsertColumn(int nCol, const std::string& heading, Qt::Alignment alignment);
    // Removes column nCol with its cells.
    bool RemoveColumn(int nCol);
    std::string Heading(int nCol) const;

    // Inserts a row before nRow (clamped to the end) with its first cell; returns its index.
    int InsertRow(int nRow, const std::string& text);
    // Appends a row with its cells (those past the last column left out); returns its index.
    int AppendRow(std::initializer_list<std::string_view> cells);
    bool RemoveRow(int nRow);
    void RemoveAllRows();
    bool SetText(int nRow, int nCol, std::string_view text);
    std::string_view Text(int nRow, int nCol) const;
    std::uint32_t Data(int nRow) const;
    bool SetData(int nRow, std::uint32_t data);

    // While held, rows appended are not announced; releasing announces them at once.
    void HoldInsertions(bool bHold);
    // Tells the views about every pending row.
    void Flush();

private:
    struct Row {
        std::string cells;  // each cell's text followed by NUL
        std::uint32_t data = 0;
        std::uint32_t nCells = 0;  // NULs in `cells`
    };
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };

    bool IsValidRow(int nRow) const { return nRow >= 0 && nRow < RowCount(); }

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    int m_nShown = 0;  // rows the views know of; the rest are pending
    bool m_bHold = false;
    bool m_bFullRowSelect = true;
};
