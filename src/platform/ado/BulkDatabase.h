#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Bulk copies in and out of database files, below the recordset layer: values
// go through exactly as the engine stores them. Failures throw
// std::runtime_error carrying the engine's message.

// A value as the engine stores it.
struct StoredValue {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes;  // the text (UTF-8) or the blob
};

// A new database built in memory, one transaction for the whole copy. It
// reaches the disk only as Image(), which the caller writes where and how it
// chooses, so no half-built file is ever seen.
class CMemoryDatabase {
public:
    CMemoryDatabase();
    ~CMemoryDatabase();
    CMemoryDatabase(const CMemoryDatabase&) = delete;
    CMemoryDatabase& operator=(const CMemoryDatabase&) = delete;

    void Execute(const std::string& sql);
    // The statement AddRow runs; its ? parameters are bound by position (from 1).
    void PrepareRow(const std::string& sql);
    void BindNull(int index);
    void BindInteger(int index, std::int64_t value);
    void BindReal(int index, double value);
    void BindText(int index, std::string_view text);
    void BindBlob(int index, const void* data, std::size_t size);
    void AddRow();
    // The bytes of the finished database file.
    std::string Image();

private:
    [[noreturn]] void Fail() const;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_row = nullptr;
};

// Runs `sql` on the existing file at `path`, opened read-only: `header` gets the
// result's column names and declared types (empty when a column has none), then
// `row` each row as stored.
void ReadStoredRows(const std::string& path, const std::string& sql,
                    const std::function<void(const std::vector<std::string>& names,
                                             const std::vector<std::string>& declared)>& header,
                    const std::function<void(const std::vector<StoredValue>& values)>& row);
