// Writing a recordset's rows back to their table: edits, new rows and deletes, by row key.
#include "platform/ado/Recordset.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ado/JetDialect.h"
#include "platform/ado/Statement.h"

void CRecordset::PutValue(const CVariant& key, const CVariant& value) {
    const long field = FieldIndex(key);
    if (m_strTable.empty() || m_fields[field].strColumn.empty())
        RaiseNotUpdatable();
    // A pending new row is the current row and needs none of the table's rows.
    if (m_pending != Pending::New)
        EnsureFetched();
    const long row = CurrentRow();
    const CVariant stored = CoerceToField(value, m_fields[field].kind);
    if (m_pending == Pending::None) {
        m_pending = Pending::Edit;
        m_nPendingRow = row;
        m_savedRow = RowValues(row);
        m_changed.assign(m_fields.size(), 0);
    }
    m_values.Put(m_values.Row(row)[field], stored);
    ForgetReads();
    m_changed[field] = 1;
}

HRESULT CRecordset::AddNew() {
    RequireOpen();
    if (m_strTable.empty())
        RaiseNotUpdatable();
    if (m_pending != Pending::None)
        Update();
    const size_t nf = m_fields.size();
    m_values.AppendRow();
    ForgetReads();
    m_rowids.push_back(0);
    m_deleted.push_back(0);
    ++m_nLive;
    m_order.push_back(static_cast<long>(m_rowids.size()) - 1);
    m_nPosBeforeAdd = m_nPos;
    m_nPos = static_cast<long>(m_order.size()) - 1;
    m_pending = Pending::New;
    m_nPendingRow = m_order.back();
    m_changed.assign(nf, 0);
    return S_OK;
}

HRESULT CRecordset::Update() {
    RequireOpen();
    if (m_pending == Pending::None)
        return S_OK;
    const size_t nf = m_fields.size();
    const long row = m_nPendingRow;
    std::vector<size_t> changed;
    for (size_t f = 0; f < nf; ++f) {
        if (m_changed[f])
            changed.push_back(f);
    }
    if (m_pending == Pending::Edit && changed.empty()) {
        m_pending = Pending::None;
        return S_OK;
    }
    const std::string table = QuoteIdentifier(m_strTable);
    std::string sql;
    if (m_pending == Pending::New) {
        if (changed.empty()) {
            sql = "INSERT INTO " + table + " DEFAULT VALUES";
        } else {
            std::string columns, marks;
            for (size_t f : changed) {
                columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn);
                marks += marks.empty() ? "?" : ", ?";
            }
            sql = "INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")";
        }
    } else {
        std::string sets;
        for (size_t f : changed) {
            sets += (sets.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn) + " = ?";
        }
        sql = "UPDATE " + table + " SET " + sets + " WHERE rowid = ?";
    }
    CStatement stmt(*m_connection, sql);
    int index = 1;
    for (size_t f : changed)
        stmt.Bind(index++, m_values.Get(m_values.Row(row)[f], m_fields[f].kind));
    if (m_pending == Pending::Edit)
        stmt.BindInt64(index, m_rowids[row]);
    stmt.Step();
    if (m_pending == Pending::New) {
        m_rowids[row] = m_connection->LastInsertRowid();
    } else if (m_connection->Changes() == 0) {
        RaiseRowNotFound();
    }
    m_pending = Pending::None;
    ReloadRow(row);
    return S_OK;
}

void CRecordset::ReloadRow(long row) {
    // Picks up what the engine filled in: auto-numbers, defaults.
    std::string columns;
    std::vector<size_t> fields;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_fields[f].strColumn.empty())
            continue;
        columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn);
        fields.push_back(f);
    }
    if (fields.empty())
        return;
    CStatement stmt(*m_connection, "SELECT " + columns + " FROM " + QuoteIdentifier(m_strTable) +
                                       " WHERE rowid = ?");
    stmt.BindInt64(1, m_rowids[row]);
    // A row another program removed at once keeps the values just written.
    if (!stmt.Step())
        return;
    for (size_t i = 0; i < fields.size(); ++i) {
        const VarKind kind = m_fields[fields[i]].kind;
        m_values.Put(m_values.Row(row)[fields[i]], stmt.Column(static_cast<int>(i), kind));
    }
    ForgetReads();
}

void CRecordset::DiscardPending() {
    if (m_pending == Pending::New) {
        m_values.PopRow();
        m_rowids.pop_back();
        m_deleted.pop_back();
        --m_nLive;
        m_order.erase(std::find(m_order.begin(), m_order.end(), m_nPendingRow));
        m_nPos = m_nPosBeforeAdd;
    } else if (m_pending == Pending::Edit) {
        CRowStore::Cell* cells = m_values.Row(m_nPendingRow);
        for (size_t f = 0; f < m_savedRow.size(); ++f)
            m_values.Put(cells[f], m_savedRow[f]);
    }
    ForgetReads();
    m_pending = Pending::None;
}

HRESULT CRecordset::CancelUpdate() {
    RequireOpen();
    DiscardPending();
    return S_OK;
}

HRESULT CRecordset::Delete(long) {
    RequireOpen();
    if (m_strTable.empty())
        RaiseNotUpdatable();
    if (m_pending == Pending::New) {
        DiscardPending();
        return S_OK;
    }
    EnsureFetched();
    DiscardPending();
    const long row = CurrentRow();
    CStatement stmt(*m_connection,
                    "DELETE FROM " + QuoteIdentifier(m_strTable) + " WHERE rowid = ?");
    stmt.BindInt64(1, m_rowids[row]);
    stmt.Step();
    m_deleted[row] = 1;
    --m_nLive;
    return S_OK;
}
