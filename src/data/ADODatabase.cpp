#include "data/ADODatabase.h"

#include <memory>

#include "data/ADOException.h"
#include "platform/ado/ComError.h"

CADODatabase::CADODatabase() : m_connection(std::make_shared<CConnection>()) {}

CADODatabase::~CADODatabase() {
    // A destructor must not throw; a failed close leaves nothing to undo.
    try {
        Close();
    } catch (...) {
    }
}

void CADODatabase::SetConnectionString(const std::string& connectionString) {
    m_connectionString = connectionString;
}

std::string CADODatabase::GetConnectionString() const {
    return m_connectionString;
}

void CADODatabase::Open() {
    Close();
    try {
        m_connection->Open(m_connectionString, "", "", 0);
    } catch (const CComError& e) {
        RaiseComError(e);
    }
}

void CADODatabase::Close() {
    if (m_connection->GetState() != 0)
        m_connection->Close();
}

bool CADODatabase::IsOpen() const {
    return m_connection->GetState() != 0;
}

ConnectionPtr CADODatabase::GetActiveConnection() const {
    return m_connection;
}

void CADODatabase::BeginTrans() {
    m_connection->BeginTrans();
}

void CADODatabase::BeginSerializableTrans() {
    if (!m_connection)
        throw CComError(E_POINTER);
    m_connection->BeginSerializableTrans();
}

void CADODatabase::CommitTrans() {
    m_connection->CommitTrans();
}

void CADODatabase::RollbackTrans() {
    m_connection->RollbackTrans();
}

void CADODatabase::RaiseComError(const CComError& error) {
    const std::string text = FormatComErrorText("CADODataBase Error", error);
    m_errorDescription = error.Description();
    m_lastErrorText = "Connection String = " + GetConnectionString() + "\n" + text;
    m_lastErrorCode = static_cast<std::uint32_t>(error.Error());
    throw CADOException(error.Error(), error.Description(), error.Facts());
}
