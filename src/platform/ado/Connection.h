#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ado/ComError.h"

struct sqlite3;

// Owns one engine connection handle and closes it once.
class CEngineHandle {
public:
    CEngineHandle() = default;
    explicit CEngineHandle(sqlite3* db) : m_db(db) {}
    ~CEngineHandle() { Reset(); }
    CEngineHandle(const CEngineHandle&) = delete;
    CEngineHandle& operator=(const CEngineHandle&) = delete;
    CEngineHandle(CEngineHandle&& other) noexcept : m_db(other.Release()) {}
    CEngineHandle& operator=(CEngineHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_db = other.Release();
        }
        return *this;
    }

    sqlite3* Get() const { return m_db; }
    sqlite3* Release() {
        sqlite3* db = m_db;
        m_db = nullptr;
        return db;
    }
    void Reset();

private:
    sqlite3* m_db = nullptr;
};

// The connection object: opens an existing SQLite book named by a Jet-style
// connection string ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>").
// Failing calls throw CComError carrying the engine's codes and the file path.
class CConnection {
public:
    CConnection() = default;
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    // 0 closed, 1 open.
    long GetState() const { return m_db.Get() != nullptr ? 1 : 0; }
    // Open, Close and OpenFile return S_OK or throw CComError.
    HRESULT Open(const std::string& connectionString, const std::string& userId,
                 const std::string& password, long options);
    HRESULT Close();
    // Opens an existing SQLite file by path (what Open does once the string is read).
    HRESULT OpenFile(const std::string& path);

    // Groups several writes so that they land together or not at all; CComError on failure.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // For the recordsets on this connection.
    sqlite3* Handle() const { return m_db.Get(); }
    // Full path of the open file.
    const std::string& FilePath() const { return m_strPath; }
    // True when the engine opened the file for reading only (its permissions forbid writing).
    bool IsReadOnly() const;
    // Turns an engine result into the matching CComError and throws it; the statement, when
    // given, goes into the facts for the log.
    [[noreturn]] void RaiseEngineError(int rc, std::string_view statement = {}) const;
    // The rowid of the last row this connection inserted, and the rows its last write changed.
    std::int64_t LastInsertRowid() const;
    int Changes() const;
    // Runs a statement without rows; CComError on failure.
    void Execute(const char* sql);

private:
    CEngineHandle m_db;
    std::string m_strPath;
};

using ConnectionPtr = std::shared_ptr<CConnection>;

// How long a call waits for a book that another program is writing.
constexpr int kBusyTimeoutMs = 3000;
// The provider the connection string must name.
constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";
