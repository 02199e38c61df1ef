#pragma once

#include <cstdint>
#include <string>

#include "platform/ado/Connection.h"

class CComError;

// One connection to the book, opened with a connection string such as
// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb". Open records a
// failure and throws CADOException; Close and the transaction calls throw CComError.
class CADODatabase {
public:
    // No COM to initialise here; the connection object is all there is to make.
    CADODatabase();
    virtual ~CADODatabase();
    CADODatabase(const CADODatabase&) = delete;
    CADODatabase& operator=(const CADODatabase&) = delete;

    void SetConnectionString(const std::string& connectionString);
    std::string GetConnectionString() const;
    // Closes a connection already open, then opens it again; returns only when open.
    void Open();
    void Close();
    bool IsOpen() const;
    ConnectionPtr GetActiveConnection() const;

    // Groups writes made through recordsets on this database so that they are
    // stored together or not at all (see CADOTransaction). CComError on failure.
    void BeginTrans();
    void BeginSerializableTrans();
    void CommitTrans();
    void RollbackTrans();

    // Diagnosis only: the last error met by Open.
    const std::string& GetLastErrorText() const { return m_lastErrorText; }
    const std::string& GetErrorDescription() const { return m_errorDescription; }
    std::uint32_t GetLastErrorCode() const { return m_lastErrorCode; }

private:
    [[noreturn]] void RaiseComError(const CComError& error);

    ConnectionPtr m_connection;  // made with the object, never null
    std::string m_connectionString;
    std::string m_lastErrorText;
    std::string m_errorDescription;
    std::uint32_t m_lastErrorCode = 0;
};
