#include "platform/ado/Statement.h"

#include "platform/ado/Connection.h"

CStatement::CStatement(const CConnection& connection, std::string_view sql)
    : m_stmt(connection.Engine().Prepare(sql, false)) {}

bool CStatement::TryPrepare(const CConnection& connection, std::string_view sql) {
    m_stmt = connection.Engine().Prepare(sql, true);
    return m_stmt != nullptr;
}

void CStatement::Bind(int index, const CVariant& value) {
    m_stmt->Bind(index, EngineFromVariant(value));
}

void CStatement::BindInt64(int index, std::int64_t value) {
    m_stmt->Bind(index, EngineValue::Integer(value));
}

void CStatement::BindNull(int index) {
    m_stmt->Bind(index, EngineValue::Null());
}

void CStatement::BindText(int index, std::string_view text) {
    m_stmt->Bind(index, EngineValue::Text(text));
}

std::int64_t CStatement::ColumnInt64(int column) const {
    const EngineValue e = m_stmt->Value(column, false);
    return e.type == EngineValue::Type::Real ? static_cast<std::int64_t>(e.real) : e.integer;
}

bool CStatement::ColumnIsNull(int column) const {
    return m_stmt->Value(column, false).type == EngineValue::Type::Null;
}

std::string_view CStatement::ColumnText(int column) const {
    return m_stmt->Value(column, true).bytes;
}
