#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/ado/Engine.h"
#include "platform/ado/EngineValue.h"
#include "platform/ado/Variant.h"

class CConnection;

// One prepared statement of a connection, whatever its engine, released exactly
// once. Every bind and step is checked: a failure throws the engine's CComError.
class CStatement {
public:
    CStatement() = default;
    // Prepares `sql` or throws.
    CStatement(const CConnection& connection, std::string_view sql);
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;
    CStatement(CStatement&& other) noexcept = default;
    CStatement& operator=(CStatement&& other) noexcept = default;

    // Prepares `sql` without throwing when the engine refuses it; true when prepared.
    bool TryPrepare(const CConnection& connection, std::string_view sql);

    bool IsPrepared() const { return m_stmt != nullptr; }
    int ColumnCount() const { return m_stmt->ColumnCount(); }

    void Bind(int index, const CVariant& value);
    // The value exactly as the engine keeps it (read back with Column).
    void Bind(int index, const EngineValue& value) { m_stmt->Bind(index, value); }
    void BindInt64(int index, std::int64_t value);
    void BindNull(int index);
    void BindText(int index, std::string_view text);

    // True when a row came, false when the statement is done.
    bool Step() { return m_stmt->Step(); }
    // Makes the statement ready to run again with new bindings.
    void Reset() { m_stmt->Reset(); }
    // Rows the engine says the result holds, for reserving room ahead; 0 when it cannot
    // tell before stepping (SQLite hands rows over one by one).
    std::size_t ExpectedRows() const { return m_stmt->ExpectedRows(); }

    std::int64_t ColumnInt64(int column) const;
    bool ColumnIsNull(int column) const;
    std::string_view ColumnText(int column) const;
    // The column's value; `kind` says whether a number is wanted as text.
    EngineValue Column(int column, VarKind kind) const {
        return m_stmt->Value(column, kind == VarKind::Text);
    }
    // Names and origin of a result column (empty when the engine has none).
    std::string_view ColumnName(int column) const { return m_stmt->ColumnName(column); }
    std::string_view ColumnDeclaredType(int column) const {
        return m_stmt->ColumnDeclaredType(column);
    }
    std::string_view ColumnOriginName(int column) const { return m_stmt->ColumnOriginName(column); }
    std::string_view ColumnTableName(int column) const { return m_stmt->ColumnOriginTable(column); }

private:
    std::unique_ptr<IEngineStatement> m_stmt;
};
