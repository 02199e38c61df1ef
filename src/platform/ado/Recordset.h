#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/RowStore.h"
#include "platform/ado/Variant.h"

class CStatement;

// Cursor, lock and command constants as the connection layer understands them.
enum : long {
    adOpenKeyset = 1,
    adOpenStatic = 3,
    adUseClient = 3,
    adLockOptimistic = 3,
    adCmdTable = 2,
    adCmdUnknown = 8,
    adAffectCurrent = 1,
};

struct CFieldInfo {
    std::string strName;
    VarKind kind = VarKind::Empty;  // from the declared column type; Empty when there is none
    std::string strColumn;          // table column it writes back to; empty when read-only
};

// A client-side static recordset: the rows are read into memory, so the count
// is known and moving is local. A statement's rows are read by Open; the rows of
// a table opened by name are read when first needed, so asking IsEOF and adding
// a row to a large table does not read it. Rows of one table keep their rowid,
// so a new, changed or deleted row is written back with one statement.
//
// Failures travel only as thrown CComError (code, English description, and the
// facts: engine codes, file path, missing table or column); the HRESULT a call
// returns is always S_OK. Wording for people is the caller's job.
class CRecordset {
public:
    CRecordset() = default;
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    long GetState() const { return m_bOpen ? 1 : 0; }
    void PutCursorType(long type) { m_nCursorType = type; }
    long GetCursorType() const { return m_nCursorType; }
    void PutCursorLocation(long location) { m_nCursorLocation = location; }
    long GetCursorLocation() const { return m_nCursorLocation; }

    // options adCmdTable: `source` is a table name; adCmdUnknown: a table name
    // when it names one, otherwise a statement in the Jet dialect.
    HRESULT Open(const std::string& source, const ConnectionPtr& connection, long cursorType,
                 long lockType, long options);
    HRESULT Close();

    bool IsEOF() const;
    bool IsBOF() const;
    HRESULT MoveNext();
    HRESULT MoveFirst();
    long GetRecordCount() const;

    long GetFieldCount() const;
    const CFieldInfo& GetFieldInfo(long index) const;
    // key: a position (I2/I4/Int) or a name (Text, compared without ASCII case). The value
    // stays valid until the same field is read on another row or the rows change.
    const CVariant& GetValue(const CVariant& key) const;
    // The same by position, without a key to look at.
    const CVariant& GetValueAt(long index) const;
    void PutValue(const CVariant& key, const CVariant& value);

    HRESULT AddNew();
    HRESULT Update();
    HRESULT CancelUpdate();
    HRESULT Delete(long affect);

    // "Field [ASC|DESC], ..." sorts the rows in memory; "" restores the fetched order.
    void PutSort(const std::string& sort);
    const std::string& GetSort() const { return m_strSort; }

private:
    void RequireOpen() const;
    // The values read are built anew after a change to the rows.
    void ForgetReads() const;
    std::vector<CVariant> RowValues(long row) const;
    long FieldIndex(const CVariant& key) const;
    long CurrentRow() const;  // row index of the current row, or throws
    void DescribeFields(const CStatement& stmt, bool hasIdentity, const std::string& table);
    void FetchRows(CStatement& stmt) const;
    void EnsureFetched() const;
    // Before a table's rows are read, with the cursor on the first row to come.
    bool AtFirstUnreadRow() const;
    bool TableHasRowsToRead() const;
    std::vector<std::int64_t> StoredAddedRowids() const;
    void Reset();
    void ReloadRow(long row);
    void ApplySort();
    void SortRows(std::vector<long>::iterator first, std::vector<long>::iterator last) const;
    void DiscardPending();
    [[noreturn]] void RaiseNotUpdatable() const;
    [[noreturn]] void RaiseRowNotFound() const;

    // The cursor before the rows are read: on the first row, however many come.
    static constexpr long kFirstRowPosition = -2;

    ConnectionPtr m_connection;
    bool m_bOpen = false;
    long m_nCursorType = adOpenStatic;
    long m_nCursorLocation = adUseClient;
    std::string m_strTable;  // table the rows write back to; empty when read-only
    std::vector<CFieldInfo> m_fields;
    std::vector<int> m_sourceColumns;  // the statement's column of each field
    int m_nStatementColumns = 0;
    // The rows are read on first need, from const calls too: reading changes
    // nothing a caller can see but the time taken, so the row state is mutable.
    mutable CRowStore m_values;
    // The last value read of each field, and the row it was read from (-1: none).
    mutable std::vector<CVariant> m_read;
    mutable std::vector<long> m_readRow;
    mutable const CRowStore::Cell* m_pCells = nullptr;  // the cells of row m_nCellsRow
    mutable long m_nCellsRow = -1;
    mutable std::vector<std::int64_t> m_rowids;  // only for rows of one table
    mutable std::vector<char> m_deleted;
    mutable std::vector<long> m_order;  // display order of row indexes
    mutable long m_nLive = 0;           // rows not deleted
    mutable long m_nPos = 0;            // position in m_order; m_order.size() means EOF, -1 BOF
    // Until the rows are read, the store holds only the rows added since Open;
    // reading puts the table's rows before them.
    mutable bool m_bFetched = true;
    std::string m_strFetchSql;
    std::optional<std::int64_t> m_lastRowid;  // the table's last row at Open; none when empty
    std::string m_strSort;

    // Pending change.
    enum class Pending { None, New, Edit } m_pending = Pending::None;
    mutable long m_nPendingRow = -1;
    mutable long m_nPosBeforeAdd = 0;
    std::vector<CVariant> m_savedRow;
    std::vector<char> m_changed;
};

using RecordsetPtr = std::shared_ptr<CRecordset>;
