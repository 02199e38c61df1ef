#include "platform/ado/BulkDatabase.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

CMemoryDatabase::CMemoryDatabase() {
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw std::runtime_error("cannot make a database in memory");
    }
    Execute("BEGIN");
}

CMemoryDatabase::~CMemoryDatabase() {
    sqlite3_finalize(m_row);
    sqlite3_close(m_db);
}

void CMemoryDatabase::Fail() const {
    throw std::runtime_error(sqlite3_errmsg(m_db));
}

void CMemoryDatabase::Execute(const std::string& sql) {
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail();
}

void CMemoryDatabase::PrepareRow(const std::string& sql) {
    sqlite3_finalize(m_row);
    m_row = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &m_row, nullptr) !=
        SQLITE_OK)
        Fail();
}

void CMemoryDatabase::BindNull(int index) {
    if (sqlite3_bind_null(m_row, index) != SQLITE_OK)
        Fail();
}

void CMemoryDatabase::BindInteger(int index, std::int64_t value) {
    if (sqlite3_bind_int64(m_row, index, value) != SQLITE_OK)
        Fail();
}

void CMemoryDatabase::BindReal(int index, double value) {
    if (sqlite3_bind_double(m_row, index, value) != SQLITE_OK)
        Fail();
}

void CMemoryDatabase::BindText(int index, std::string_view text) {
    if (sqlite3_bind_text64(m_row, index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
        Fail();
}

void CMemoryDatabase::BindBlob(int index, const void* data, std::size_t size) {
    if (sqlite3_bind_blob64(m_row, index, size == 0 ? "" : data, size, SQLITE_TRANSIENT) !=
        SQLITE_OK)
        Fail();
}

void CMemoryDatabase::AddRow() {
    const int rc = sqlite3_step(m_row);
    sqlite3_reset(m_row);
    if (rc != SQLITE_DONE)
        Fail();
}

std::string CMemoryDatabase::Image() {
    if (sqlite3_get_autocommit(m_db) == 0)
        Execute("COMMIT");
    sqlite3_int64 size = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> bytes(sqlite3_serialize(m_db, "main", &size, 0),
                                                          sqlite3_free);
    if (!bytes)
        throw std::runtime_error("out of memory");
    return std::string(reinterpret_cast<const char*>(bytes.get()), static_cast<std::size_t>(size));
}

void ReadStoredRows(const std::string& path, const std::string& sql,
                    const std::function<void(const std::vector<std::string>&,
                                             const std::vector<std::string>&)>& header,
                    const std::function<void(const std::vector<StoredValue>&)>& row) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        throw std::runtime_error(raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    sqlite3_busy_timeout(raw, 3000);
    sqlite3_stmt* rawStmt = nullptr;
    if (sqlite3_prepare_v2(raw, sql.c_str(), static_cast<int>(sql.size()), &rawStmt, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(rawStmt, sqlite3_finalize);
    const int columns = sqlite3_column_count(rawStmt);
    std::vector<std::string> names, declared;
    for (int c = 0; c < columns; ++c) {
        names.emplace_back(sqlite3_column_name(rawStmt, c));
        const char* type = sqlite3_column_decltype(rawStmt, c);
        declared.emplace_back(type != nullptr ? type : "");
    }
    if (header)
        header(names, declared);
    std::vector<StoredValue> values(columns);
    int step;
    while ((step = sqlite3_step(rawStmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            StoredValue& v = values[c];
            v.bytes.clear();
            switch (sqlite3_column_type(rawStmt, c)) {
                case SQLITE_INTEGER:
                    v.kind = StoredValue::Kind::Integer;
                    v.integer = sqlite3_column_int64(rawStmt, c);
                    break;
                case SQLITE_FLOAT:
                    v.kind = StoredValue::Kind::Real;
                    v.real = sqlite3_column_double(rawStmt, c);
                    break;
                case SQLITE_TEXT:
                    v.kind = StoredValue::Kind::Text;
                    v.bytes.assign(reinterpret_cast<const char*>(sqlite3_column_text(rawStmt, c)),
                                   static_cast<std::size_t>(sqlite3_column_bytes(rawStmt, c)));
                    break;
                case SQLITE_BLOB: {
                    v.kind = StoredValue::Kind::Blob;
                    const auto* p = static_cast<const char*>(sqlite3_column_blob(rawStmt, c));
                    v.bytes.assign(p, p + sqlite3_column_bytes(rawStmt, c));
                    break;
                }
                default:
                    v.kind = StoredValue::Kind::Null;
                    break;
            }
        }
        row(values);
    }
    if (step != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(raw));
}
