#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ado/EngineValue.h"
#include "platform/ado/Variant.h"

class CConnection;
struct sqlite3_stmt;

// One prepared statement of a connection, finalized exactly once. Every bind and
// step is checked: a failure throws the connection's CComError.
class CStatement {
public:
    CStatement() = default;
    // Prepares `sql` or throws.
    CStatement(const CConnection& connection, std::string_view sql);
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;
    CStatement(CStatement&& other) noexcept;
    CStatement& operator=(CStatement&& other) noexcept;

    // Prepares the first statement of `sql` without throwing; returns the engine's
    // result code and where the rest of the text starts.
    int TryPrepare(const CConnection& connection, std::string_view sql, const char** tail);

    bool IsPrepared() const { return m_stmt != nullptr; }
    int ColumnCount() const;

    void Bind(int index, const CVariant& value);
    // The value exactly as the engine keeps it (read back with Column).
    void Bind(int index, const EngineValue& value);
    void BindInt64(int index, std::int64_t value);
    void BindNull(int index);
    void BindText(int index, std::string_view text);

    // True when a row came, false when the statement is done.
    bool Step();
    // Makes the statement ready to run again with new bindings.
    void Reset();
    // Rows the engine says the result holds, for reserving room ahead; 0 when it cannot
    // tell before stepping (SQLite hands rows over one by one).
    std::size_t ExpectedRows() const { return 0; }

    std::int64_t ColumnInt64(int column) const;
    bool ColumnIsNull(int column) const;
    std::string_view ColumnText(int column) const;
    // The column's value; `kind` says whether a number is wanted as text.
    EngineValue Column(int column, VarKind kind) const;
    // Names and origin of a result column (empty when the engine has none).
    std::string_view ColumnName(int column) const;
    std::string_view ColumnDeclaredType(int column) const;
    std::string_view ColumnOriginName(int column) const;
    std::string_view ColumnTableName(int column) const;

private:
    void Check(int rc) const;
    void Finalize();

    const CConnection* m_connection = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};
