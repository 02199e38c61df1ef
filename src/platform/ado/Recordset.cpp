#include "platform/ado/Recordset.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "platform/ado/AsciiText.h"
#include "platform/ado/EngineValue.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Statement.h"

namespace {

constexpr const char* kSource = "ADODB.Recordset";
// The column every table's rows are written back by.
constexpr std::string_view kRowKey = "rowid";

[[noreturn]] void RaiseNoCurrentRecord() {
    throw CComError(ADO_E_NOCURRENTRECORD, kSource,
                    "Either BOF or EOF is True, or the current record has been deleted. "
                    "Requested operation requires a current record.");
}

[[noreturn]] void RaiseInvalidConnection() {
    throw CComError(ADO_E_INVALIDCONNECTION, kSource,
                    "The connection cannot be used to perform this operation. It is either "
                    "closed or invalid in this context.");
}

}  // namespace

void CRecordset::RequireOpen() const {
    if (!m_bOpen) {
        throw CComError(ADO_E_OBJECTCLOSED, kSource,
                        "Operation is not allowed when the object is closed.");
    }
}

void CRecordset::RaiseRowNotFound() const {
    throw CComError(E_FAIL, kSource,
                    "Row cannot be located for updating. Some values may have been changed "
                    "since it was last read.");
}

void CRecordset::RaiseNotUpdatable() const {
    throw CComError(ADO_E_FEATURENOTAVAILABLE, kSource,
                    "Current Recordset does not support updating: its rows do not come from "
                    "a single table, or the field is not a table column.");
}

HRESULT CRecordset::Open(const std::string& source, const ConnectionPtr& connection, long, long,
                         long options) {
    if (m_bOpen) {
        throw CComError(ADO_E_OBJECTOPEN, kSource,
                        "Operation is not allowed when the object is open.");
    }
    if (!connection || connection->GetState() == 0)
        RaiseInvalidConnection();
    // Decide whether the source is a table name or a statement.
    std::string table;
    std::string tableType;
    const bool looksLikeName =
        source.find_first_of(" \t\r\n") == std::string::npos ||
        (source.front() == '[' && source.back() == ']' && source.find(']') == source.size() - 1);
    if (options == adCmdTable || (options == adCmdUnknown && looksLikeName)) {
        const std::string name = UnquoteTableName(source);
        if (const std::optional<EngineTable> found = connection->Engine().FindTable(name)) {
            table = found->name;
            tableType = found->isTable ? "table" : "view";
        } else if (options == adCmdTable) {
            ComErrorFacts facts;
            facts.path = connection->FilePath();
            facts.lack = Lack::Table;
            facts.lackName = name;
            throw CComError(DB_E_NOTABLE, "SQLite",
                            "Cannot find the table '" + name +
                                "'. Make sure it exists and that its name is spelled correctly.",
                            std::move(facts));
        }
    }

    CStatement stmt;
    bool hasIdentity = false;
    std::string identityTable;
    std::string tableSql;
    if (!table.empty()) {
        hasIdentity = tableType == "table";
        tableSql = hasIdentity ? "SELECT rowid, * FROM " + QuoteIdentifier(table) +
                                     " WHERE rowid <= ?1 ORDER BY rowid"
                               : "SELECT * FROM " + QuoteIdentifier(table);
        stmt = CStatement(*connection, tableSql);
        identityTable = table;
    } else {
        const JetTranslation jet = TranslateJetStatement(source, connection->Kind());
        if (!jet.sqlWithIdentity.empty()) {
            // Only a table's rows have a key to write back by; a view's are read-only.
            const std::optional<EngineTable> from =
                connection->Engine().FindTable(jet.identityTable);
            if (from && from->isTable) {
                hasIdentity = stmt.TryPrepare(*connection, jet.sqlWithIdentity);
                identityTable = from->name;
            }
        }
        // A view or a statement the row key does not fit: read-only rows.
        if (!hasIdentity)
            stmt = CStatement(*connection, jet.sql);
    }

    if (stmt.ColumnCount() == 0) {
        // A statement without rows runs and leaves the recordset closed.
        stmt.Step();
        return S_OK;
    }
    m_connection = connection;
    DescribeFields(stmt, hasIdentity, identityTable);
    if (!tableSql.empty()) {
        // A table by name is read when first needed: the entry dialogs open it only to add a row.
        // The read stops at the table's current last rowid: rows stored after Open, by anyone,
        // stay out, as they would from a read done now.
        m_strFetchSql = tableSql;
        m_lastRowid.reset();
        if (hasIdentity) {
            CStatement last(*connection, "SELECT max(rowid) FROM " + QuoteIdentifier(table));
            if (last.Step() && !last.ColumnIsNull(0))
                m_lastRowid = last.ColumnInt64(0);
        }
        return S_OK;
    }
    try {
        FetchRows(stmt);
    } catch (...) {
        Reset();
        throw;
    }
    return S_OK;
}

void CRecordset::DescribeFields(const CStatement& stmt, bool hasIdentity,
                                const std::string& table) {
    const int first = hasIdentity ? 1 : 0;
    const int columns = stmt.ColumnCount();
    // A server table keeps its row key as a column of its own, which "*" yields too.
    const bool keyIsColumn = m_connection->Kind() == EngineKind::PostgreSQL;
    m_fields.clear();
    m_sourceColumns.clear();
    m_nStatementColumns = columns;
    for (int c = first; c < columns; ++c) {
        if (keyIsColumn && stmt.ColumnOriginName(c) == kRowKey && !stmt.ColumnTableName(c).empty())
            continue;
        m_sourceColumns.push_back(c);
        CFieldInfo f;
        f.strName = stmt.ColumnName(c);
        f.kind = KindOfDeclaredType(stmt.ColumnDeclaredType(c));
        const std::string_view origin = stmt.ColumnOriginName(c);
        const std::string_view from = stmt.ColumnTableName(c);
        if (hasIdentity && !origin.empty() && EqualsNoCase(from, table))
            f.strColumn = origin;
        m_fields.push_back(std::move(f));
    }
    m_strTable = hasIdentity ? table : std::string();
    m_values.Reset(m_fields.size());
    m_read.assign(m_fields.size(), CVariant());
    m_readRow.assign(m_fields.size(), -1);
    m_nCellsRow = -1;
    m_rowids.clear();
    m_deleted.clear();
    m_order.clear();
    m_nLive = 0;
    m_nPos = kFirstRowPosition;
    m_pending = Pending::None;
    m_bFetched = false;
    m_bOpen = true;
}

void CRecordset::FetchRows(CStatement& stmt) const {
    const bool hasIdentity = !m_strTable.empty();
    const auto n = static_cast<int>(m_fields.size());
    if (stmt.ColumnCount() != m_nStatementColumns)
        throw CComError(E_FAIL, kSource, "The table's columns have changed since it was opened.");
    // Rows this recordset has added and stored are already in memory.
    const std::vector<std::int64_t> added = StoredAddedRowids();
    CRowStore values;
    values.Reset(m_fields.size());
    const size_t expected = stmt.ExpectedRows() + m_values.Rows();
    values.Reserve(expected);
    std::vector<std::int64_t> rowids;
    if (hasIdentity)
        rowids.reserve(expected);
    while (stmt.Step()) {
        const std::int64_t rowid = hasIdentity ? stmt.ColumnInt64(0) : 0;
        if (!added.empty() && std::binary_search(added.begin(), added.end(), rowid))
            continue;
        if (hasIdentity)
            rowids.push_back(rowid);
        // Values are kept as the engine hands them over; a field becomes a variant when read.
        CRowStore::Cell* row = values.AppendRow();
        for (int c = 0; c < n; ++c)
            values.Put(row[c], stmt.Column(m_sourceColumns[c], m_fields[c].kind));
    }
    // The fetched rows come first, the added ones after them in the order they were added.
    const auto fetched = static_cast<long>(values.Rows());
    for (size_t r = 0; r < m_values.Rows(); ++r)
        values.AppendRowFrom(m_values, r);
    if (hasIdentity) {
        rowids.insert(rowids.end(), m_rowids.begin(), m_rowids.end());
        rowids.shrink_to_fit();
    }
    m_values = std::move(values);
    ForgetReads();
    m_rowids = std::move(rowids);
    m_deleted.insert(m_deleted.begin(), static_cast<size_t>(fetched), char{0});
    m_order.resize(m_values.Rows());
    std::iota(m_order.begin(), m_order.end(), 0L);
    m_nLive += fetched;
    const auto shift = [fetched](long pos) { return pos == kFirstRowPosition ? 0 : pos + fetched; };
    m_nPos = shift(m_nPos);
    m_nPosBeforeAdd = shift(m_nPosBeforeAdd);
    if (m_pending != Pending::None)
        m_nPendingRow += fetched;
    m_bFetched = true;
    if (!m_strSort.empty())
        SortRows(m_order.begin(), m_order.begin() + fetched);
}

std::vector<std::int64_t> CRecordset::StoredAddedRowids() const {
    std::vector<std::int64_t> added;
    for (size_t r = 0; r < m_rowids.size(); ++r) {
        if (m_pending != Pending::New || static_cast<long>(r) != m_nPendingRow)
            added.push_back(m_rowids[r]);
    }
    std::sort(added.begin(), added.end());
    return added;
}

void CRecordset::EnsureFetched() const {
    RequireOpen();
    if (m_bFetched)
        return;
    if (m_connection->GetState() == 0)
        RaiseInvalidConnection();
    CStatement stmt(*m_connection, m_strFetchSql);
    if (!m_strTable.empty()) {
        if (m_lastRowid)
            stmt.BindInt64(1, *m_lastRowid);
        else
            stmt.BindNull(1);
    }
    FetchRows(stmt);
}

bool CRecordset::AtFirstUnreadRow() const {
    RequireOpen();
    return !m_bFetched && m_nPos == kFirstRowPosition && !m_strTable.empty();
}

bool CRecordset::TableHasRowsToRead() const {
    // A row this recordset added and did not delete is there whatever the table holds.
    for (size_t r = 0; r < m_deleted.size(); ++r) {
        if (!m_deleted[r])
            return true;
    }
    if (m_connection->GetState() == 0)
        RaiseInvalidConnection();
    // The first rows up to the last rowid at Open, past the ones this recordset added:
    // the rowid index answers without reading the table. Asked even of a table that
    // was empty, so a table dropped meanwhile fails here as a read would.
    const std::vector<std::int64_t> added = StoredAddedRowids();
    CStatement stmt(*m_connection, "SELECT rowid FROM " + QuoteIdentifier(m_strTable) +
                                       " WHERE rowid <= ?1 ORDER BY rowid");
    if (m_lastRowid)
        stmt.BindInt64(1, *m_lastRowid);
    else
        stmt.BindNull(1);
    while (stmt.Step()) {
        if (!std::binary_search(added.begin(), added.end(), stmt.ColumnInt64(0)))
            return true;
    }
    return false;
}

void CRecordset::Reset() {
    m_bOpen = false;
    m_bFetched = true;
    m_strFetchSql.clear();
    m_fields.clear();
    m_values.Reset(0);
    m_read.clear();
    m_readRow.clear();
    m_nCellsRow = -1;
    m_rowids.clear();
    m_deleted.clear();
    m_order.clear();
    m_nLive = 0;
    m_pending = Pending::None;
    m_strTable.clear();
    m_connection.reset();
}

HRESULT CRecordset::Close() {
    RequireOpen();
    Reset();
    return S_OK;
}

bool CRecordset::IsEOF() const {
    if (AtFirstUnreadRow())
        return !TableHasRowsToRead();
    EnsureFetched();
    return m_nPos >= static_cast<long>(m_order.size());
}

bool CRecordset::IsBOF() const {
    if (AtFirstUnreadRow())
        return !TableHasRowsToRead();
    EnsureFetched();
    return m_nPos < 0 || m_nLive == 0;
}

HRESULT CRecordset::MoveNext() {
    RequireOpen();
    // Moving off a changed row stores it first.
    if (m_pending != Pending::None)
        Update();
    EnsureFetched();
    if (IsEOF())
        RaiseNoCurrentRecord();
    do {
        ++m_nPos;
    } while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]]);
    return S_OK;
}

HRESULT CRecordset::MoveFirst() {
    RequireOpen();
    if (m_pending != Pending::None)
        Update();
    EnsureFetched();
    m_nPos = 0;
    while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]])
        ++m_nPos;
    return S_OK;
}

long CRecordset::GetRecordCount() const {
    EnsureFetched();
    return m_nLive;
}

long CRecordset::GetFieldCount() const {
    RequireOpen();
    return static_cast<long>(m_fields.size());
}

const CFieldInfo& CRecordset::GetFieldInfo(long index) const {
    RequireOpen();
    return m_fields.at(static_cast<size_t>(index));
}

long CRecordset::FieldIndex(const CVariant& key) const {
    RequireOpen();
    const auto n = static_cast<long>(m_fields.size());
    switch (key.Kind()) {
        case VarKind::I2:
        case VarKind::I4:
        case VarKind::Int:
        case VarKind::UI1:
        case VarKind::UI4:
            if (key.IntValue() >= 0 && key.IntValue() < n)
                return static_cast<long>(key.IntValue());
            break;
        case VarKind::Text:
            for (long i = 0; i < n; ++i) {
                if (EqualsNoCase(m_fields[i].strName, key.TextValue()))
                    return i;
            }
            break;
        default:
            break;
    }
    ComErrorFacts facts;
    if (key.Kind() == VarKind::Text) {
        // A field asked for by name that the rows lack: the table lacks that column.
        facts.lack = Lack::Column;
        facts.lackName = key.TextValue();
        facts.path = m_connection ? m_connection->FilePath() : std::string();
    }
    throw CComError(ADO_E_ITEMNOTFOUND, "ADODB.Fields",
                    "Item cannot be found in the collection corresponding to the requested "
                    "name or ordinal.",
                    std::move(facts));
}

long CRecordset::CurrentRow() const {
    if (m_nPos < 0 || m_nPos >= static_cast<long>(m_order.size()) || m_deleted[m_order[m_nPos]])
        RaiseNoCurrentRecord();
    return m_order[m_nPos];
}

const CVariant& CRecordset::GetValue(const CVariant& key) const {
    return GetValueAt(FieldIndex(key));
}

const CVariant& CRecordset::GetValueAt(long field) const {
    if (field < 0 || field >= static_cast<long>(m_fields.size()))
        return GetValue(CVariant::FromI4(static_cast<std::int32_t>(field)));  // throws
    if (!m_bFetched)
        EnsureFetched();
    const long row = CurrentRow();
    if (m_readRow[field] != row) {
        if (m_nCellsRow != row) {
            m_pCells = m_values.Row(row);
            m_nCellsRow = row;
        }
        m_values.Read(m_pCells[field], m_fields[field].kind, m_read[field]);
        m_readRow[field] = row;
    }
    return m_read[field];
}

void CRecordset::ForgetReads() const {
    std::fill(m_readRow.begin(), m_readRow.end(), -1L);
    m_nCellsRow = -1;
}

std::vector<CVariant> CRecordset::RowValues(long row) const {
    std::vector<CVariant> values;
    values.reserve(m_fields.size());
    for (size_t f = 0; f < m_fields.size(); ++f)
        values.push_back(m_values.Get(m_values.Row(row)[f], m_fields[f].kind));
    return values;
}
