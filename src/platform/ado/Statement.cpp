#include "platform/ado/Statement.h"

#include <sqlite3.h>

#include <utility>

#include "platform/ado/Connection.h"

namespace {

std::string_view View(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

}  // namespace

CStatement::CStatement(const CConnection& connection, std::string_view sql) {
    const int rc = TryPrepare(connection, sql, nullptr);
    if (rc != SQLITE_OK)
        connection.RaiseEngineError(rc, sql);
}

CStatement::~CStatement() {
    Finalize();
}

CStatement::CStatement(CStatement&& other) noexcept
    : m_connection(other.m_connection), m_stmt(std::exchange(other.m_stmt, nullptr)) {}

CStatement& CStatement::operator=(CStatement&& other) noexcept {
    if (this != &other) {
        Finalize();
        m_connection = other.m_connection;
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

void CStatement::Finalize() {
    if (m_stmt != nullptr)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

int CStatement::TryPrepare(const CConnection& connection, std::string_view sql, const char** tail) {
    Finalize();
    m_connection = &connection;
    return sqlite3_prepare_v2(connection.Handle(), sql.data(), static_cast<int>(sql.size()),
                              &m_stmt, tail);
}

void CStatement::Check(int rc) const {
    if (rc != SQLITE_OK)
        m_connection->RaiseEngineError(rc, View(sqlite3_sql(m_stmt)));
}

int CStatement::ColumnCount() const {
    return sqlite3_column_count(m_stmt);
}

void CStatement::Bind(int index, const CVariant& value) {
    Bind(index, EngineFromVariant(value));
}

void CStatement::Bind(int index, const EngineValue& e) {
    switch (e.type) {
        case EngineValue::Type::Null:
            BindNull(index);
            break;
        case EngineValue::Type::Integer:
            BindInt64(index, e.integer);
            break;
        case EngineValue::Type::Real:
            Check(sqlite3_bind_double(m_stmt, index, e.real));
            break;
        case EngineValue::Type::Text:
            BindText(index, e.Bytes());
            break;
        case EngineValue::Type::Blob:
            Check(sqlite3_bind_blob64(m_stmt, index, e.Bytes().data(), e.Bytes().size(),
                                      SQLITE_TRANSIENT));
            break;
    }
}

void CStatement::BindInt64(int index, std::int64_t value) {
    Check(sqlite3_bind_int64(m_stmt, index, value));
}

void CStatement::BindNull(int index) {
    Check(sqlite3_bind_null(m_stmt, index));
}

void CStatement::BindText(int index, std::string_view text) {
    Check(sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
}

bool CStatement::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_connection->RaiseEngineError(rc, View(sqlite3_sql(m_stmt)));
}

void CStatement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::int64_t CStatement::ColumnInt64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

bool CStatement::ColumnIsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::string_view CStatement::ColumnText(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return p != nullptr
               ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)))
               : std::string_view();
}

EngineValue CStatement::Column(int column, VarKind kind) const {
    // One look at the column's value, not a locked API call for its type, text and length.
    sqlite3_value* value = sqlite3_column_value(m_stmt, column);
    const auto bytesOf = [value](const void* p) {
        return p != nullptr ? std::string_view(static_cast<const char*>(p),
                                               static_cast<size_t>(sqlite3_value_bytes(value)))
                            : std::string_view();
    };
    EngineValue e;
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            return e;
        case SQLITE_INTEGER:
            e.type = EngineValue::Type::Integer;
            e.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            e.type = EngineValue::Type::Real;
            e.real = sqlite3_value_double(value);
            break;
        case SQLITE_TEXT:
            e.type = EngineValue::Type::Text;
            e.bytes = bytesOf(sqlite3_value_text(value));
            return e;
        default:
            e.type = EngineValue::Type::Blob;
            e.bytes = bytesOf(sqlite3_value_blob(value));
            return e;
    }
    // A number read into a text field takes the engine's own text of it.
    if (kind == VarKind::Text)
        e.bytes = bytesOf(sqlite3_value_text(value));
    return e;
}

std::string_view CStatement::ColumnName(int column) const {
    return View(sqlite3_column_name(m_stmt, column));
}

std::string_view CStatement::ColumnDeclaredType(int column) const {
    return View(sqlite3_column_decltype(m_stmt, column));
}

std::string_view CStatement::ColumnOriginName(int column) const {
    return View(sqlite3_column_origin_name(m_stmt, column));
}

std::string_view CStatement::ColumnTableName(int column) const {
    return View(sqlite3_column_table_name(m_stmt, column));
}
