#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ado/ComError.h"
#include "platform/ado/Engine.h"
#include "platform/ado/SqliteEngine.h"

// The connection object: opens an existing book named by a connection string,
// either Jet-style for a book file ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>")
// or a server's URI ("postgresql://user@host:port/dbname"). Failing calls throw
// CComError carrying the engine's codes and the file path or server.
class CConnection {
public:
    CConnection() = default;
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    // 0 closed, 1 open.
    long GetState() const { return m_engine != nullptr ? 1 : 0; }
    // Open, Close and OpenFile return S_OK or throw CComError.
    HRESULT Open(const std::string& connectionString, const std::string& userId,
                 const std::string& password, long options);
    HRESULT Close();
    // Opens an existing SQLite file by path (what Open does once the string is read).
    HRESULT OpenFile(const std::string& path);
    // Opens a book on a server by its libpq URI; the password comes from libpq itself.
    HRESULT OpenServer(const std::string& uri);

    // Groups several writes so that they land together or not at all; CComError on failure.
    void BeginTrans();
    // The same, isolated as if the transaction ran alone; a clash fails it at once
    // (IsSerializationFailure) and it can be run again.
    void BeginSerializableTrans();
    void CommitTrans();
    void RollbackTrans();

    // The engine behind the connection (throws when closed). A server connection that
    // broke is opened again here, so the next action after a lost connection works.
    IEngineConnection& Engine() const;
    EngineKind Kind() const;
    // What the connection is open on: the file's full path, or the server's URI.
    const std::string& FilePath() const;
    // True when the engine opened the file for reading only (its permissions forbid writing).
    bool IsReadOnly() const;
    // The row key of the last row this connection inserted, and the rows its last write changed.
    std::int64_t LastInsertRowid() const;
    int Changes() const;
    // Runs a statement without rows; CComError on failure.
    void Execute(const char* sql);

private:
    mutable std::unique_ptr<IEngineConnection> m_engine;
    // Broken server connections replaced by new ones, kept until Close: a statement prepared
    // on one then fails with the lost connection instead of reaching freed memory.
    mutable std::vector<std::unique_ptr<IEngineConnection>> m_broken;
    std::string m_strPath;
    std::string m_strServer;  // the URI to open again; empty for a file
    int m_nTransactionDepth = 0;
};

using ConnectionPtr = std::shared_ptr<CConnection>;

// The provider a Jet-style connection string must name.
constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";
// True for a connection string naming a server book (libpq's URI forms).
bool IsServerConnectionString(const std::string& connectionString);
