#pragma once

#include <memory>
#include <string>

#include "platform/ado/ComError.h"

struct sqlite3;

// The connection object: opens an existing SQLite book named by a Jet-style
// connection string ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>").
// Failing calls throw CComError.
class CConnection {
public:
    CConnection() = default;
    ~CConnection();
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    // 0 closed, 1 open.
    long GetState() const { return m_db != nullptr ? 1 : 0; }
    HRESULT Open(const std::string& connectionString, const std::string& userId,
                 const std::string& password, long options);
    HRESULT Close();
    // Opens an existing SQLite file by path (what Open does once the string is read).
    HRESULT OpenFile(const std::string& path);

    // Groups several writes so that they land together or not at all.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // For the recordsets on this connection.
    sqlite3* Handle() const { return m_db; }
    // Full path of the open file.
    const std::string& FilePath() const { return m_strPath; }
    // Turns an engine result into the matching CComError and throws it.
    [[noreturn]] void RaiseEngineError(int rc) const;
    // Runs a statement without rows (throws on failure).
    void Execute(const char* sql);

private:
    sqlite3* m_db = nullptr;
    std::string m_strPath;
};

using ConnectionPtr = std::shared_ptr<CConnection>;

// How long a call waits for a book that another program is writing.
constexpr int kBusyTimeoutMs = 3000;
// The provider the connection string must name.
constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";
