#include "platform/ui/CListModel.h"

#include <algorithm>

namespace {

// Where cell nCol starts and how long it is; npos when the row has no such cell.
std::pair<std::size_t, std::size_t> CellSpan(const std::string& cells, int nCol) {
    std::size_t start = 0;
    for (int c = 0; c < nCol; ++c) {
        const std::size_t end = cells.find('\0', start);
        if (end == std::string::npos)
            return {std::string::npos, 0};
        start = end + 1;
    }
    const std::size_t end = cells.find('\0', start);
    if (end == std::string::npos)
        return {std::string::npos, 0};
    return {start, end - start};
}

constexpr std::size_t kUsualRowTail = 48;

// A text up to its first NUL, which would otherwise end its cell early.
std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nShown;
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_nShown || index.column() >= ColumnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const std::string_view text = Text(index.row(), index.column());
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::TextAlignmentRole)
        return int(m_columns[static_cast<std::size_t>(index.column())].alignment |
                   Qt::AlignVCenter);
    return {};
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    const Column& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.heading;
    if (role == Qt::TextAlignmentRole)
        return int(column.alignment | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!m_bFullRowSelect && index.column() > 0)
        flags &= ~Qt::ItemIsSelectable;
    return flags;
}

int CListModel::InsertColumn(int nCol, const std::string& heading, Qt::Alignment alignment) {
    nCol = std::clamp(nCol, 0, ColumnCount());
    beginInsertColumns({}, nCol, nCol);
    m_columns.insert(m_columns.begin() + nCol, {QString::fromStdString(heading), alignment});
    // Rows that reach the new column get an empty cell there; shorter rows read it as empty.
    for (Row& row : m_rows) {
        const auto [start, length] = CellSpan(row.cells, nCol);
        if (start != std::string::npos) {
            row.cells.insert(start, 1, '\0');
            ++row.nCells;
        }
    }
    endInsertColumns();
    return nCol;
}

bool CListModel::RemoveColumn(int nCol) {
    if (nCol < 0 || nCol >= ColumnCount())
        return false;
    beginRemoveColumns({}, nCol, nCol);
    m_columns.erase(m_columns.begin() + nCol);
    for (Row& row : m_rows) {
        const auto [start, length] = CellSpan(row.cells, nCol);
        if (start != std::string::npos) {
            row.cells.erase(start, length + 1);
            --row.nCells;
        }
    }
    endRemoveColumns();
    return true;
}

std::string CListModel::Heading(int nCol) const {
    if (nCol < 0 || nCol >= ColumnCount())
        return {};
    return m_columns[static_cast<std::size_t>(nCol)].heading.toStdString();
}

int CListModel::InsertRow(int nRow, const std::string& text) {
    nRow = std::clamp(nRow, 0, RowCount());
    const std::string_view first = UpToNul(text);
    Row row;
    // Room for the further cells a query row usually gets, so filling it costs one allocation.
    row.cells.reserve(first.size() + 1 + kUsualRowTail);
    row.cells.append(first.data(), first.size()).push_back('\0');
    row.nCells = 1;
    if (nRow >= m_nShown) {
        // Past what the views know: nothing to tell them yet.
        m_rows.insert(m_rows.begin() + nRow, std::move(row));
        if (!m_bHold)
            Flush();
        return nRow;
    }
    Flush();
    beginInsertRows({}, nRow, nRow);
    m_rows.insert(m_rows.begin() + nRow, std::move(row));
    ++m_nShown;
    endInsertRows();
    return nRow;
}

int CListModel::AppendRow(std::initializer_list<std::string_view> cells) {
    Row row;
    const std::size_t count = std::min<std::size_t>(
        cells.size(), std::max<std::size_t>(1, static_cast<std::size_t>(ColumnCount())));
    std::size_t bytes = 0;
    for (std::string_view cell : cells)
        bytes += cell.size() + 1;
    row.cells.reserve(bytes);
    for (auto it = cells.begin(); it != cells.begin() + count; ++it) {
        const std::string_view text = UpToNul(*it);
        row.cells.append(text.data(), text.size()).push_back('\0');
    }
    row.nCells = static_cast<std::uint32_t>(count);
    m_rows.push_back(std::move(row));
    if (!m_bHold)
        Flush();
    return RowCount() - 1;
}

bool CListModel::RemoveRow(int nRow) {
    if (!IsValidRow(nRow))
        return false;
    if (nRow >= m_nShown) {
        m_rows.erase(m_rows.begin() + nRow);
        return true;
    }
    beginRemoveRows({}, nRow, nRow);
    m_rows.erase(m_rows.begin() + nRow);
    --m_nShown;
    endRemoveRows();
    return true;
}

void CListModel::RemoveAllRows() {
    beginResetModel();
    std::vector<Row>().swap(m_rows);  // gives the memory back, not just the rows
    m_nShown = 0;
    endResetModel();
}

bool CListModel::SetText(int nRow, int nCol, std::string_view text) {
    if (!IsValidRow(nRow) || nCol < 0)
        return false;
    text = UpToNul(text);
    Row& row = m_rows[static_cast<std::size_t>(nRow)];
    std::string& cells = row.cells;
    const std::size_t have = row.nCells;
    if (have <= static_cast<std::size_t>(nCol)) {
        // A new last cell, as when a row is filled from left to right: just append.
        cells.append(static_cast<std::size_t>(nCol) - have, '\0');
        cells.append(text.data(), text.size()).push_back('\0');
        row.nCells = static_cast<std::uint32_t>(nCol) + 1;
    } else {
        const auto [start, length] = CellSpan(cells, nCol);
        cells.replace(start, length, text.data(), text.size());
    }
    if (nRow < m_nShown && nCol < ColumnCount()) {
        const QModelIndex at = index(nRow, nCol);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
    return true;
}

std::string_view CListModel::Text(int nRow, int nCol) const {
    if (!IsValidRow(nRow) || nCol < 0)
        return {};
    const std::string& cells = m_rows[static_cast<std::size_t>(nRow)].cells;
    const auto [start, length] = CellSpan(cells, nCol);
    if (start == std::string::npos)
        return {};
    return std::string_view(cells).substr(start, length);
}

std::uint32_t CListModel::Data(int nRow) const {
    return IsValidRow(nRow) ? m_rows[static_cast<std::size_t>(nRow)].data : 0;
}

bool CListModel::SetData(int nRow, std::uint32_t data) {
    if (!IsValidRow(nRow))
        return false;
    m_rows[static_cast<std::size_t>(nRow)].data = data;
    return true;
}

void CListModel::HoldInsertions(bool bHold) {
    m_bHold = bHold;
    if (!bHold)
        Flush();
}

void CListModel::Flush() {
    if (m_nShown >= RowCount())
        return;
    beginInsertRows({}, m_nShown, RowCount() - 1);
    m_nShown = RowCount();
    endInsertRows();
}
