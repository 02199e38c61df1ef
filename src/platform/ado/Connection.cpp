#include "platform/ado/Connection.h"

#include <string_view>
#include <utility>

#include "platform/ado/AsciiText.h"
#include "platform/ado/PostgresEngine.h"

namespace {

constexpr const char* kSource = "SQLite";
constexpr const char* kConnectionSource = "ADODB.Connection";

std::string Unquote(std::string_view s) {
    s = TrimAsciiSpace(s);
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return std::string(s);
}

// "Key=Value;Key=Value" with keys compared without case.
std::string ConnectionValue(const std::string& text, std::string_view key) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view part = std::string_view(text).substr(start, end - start);
        const size_t eq = part.find('=');
        if (eq != std::string::npos && EqualsNoCase(Unquote(part.substr(0, eq)), key))
            return Unquote(part.substr(eq + 1));
        start = end + 1;
    }
    return {};
}

[[noreturn]] void RaiseAlreadyOpen() {
    throw CComError(ADO_E_OBJECTOPEN, kConnectionSource,
                    "Operation is not allowed when the object is open.");
}

[[noreturn]] void RaiseClosed() {
    throw CComError(ADO_E_OBJECTCLOSED, kConnectionSource,
                    "Operation is not allowed when the object is closed.");
}

}  // namespace

bool IsServerConnectionString(const std::string& connectionString) {
    const std::string_view s = TrimAsciiSpace(connectionString);
    return s.rfind("postgresql://", 0) == 0 || s.rfind("postgres://", 0) == 0;
}

HRESULT CConnection::Open(const std::string& connectionString, const std::string&,
                          const std::string&, long) {
    if (GetState() != 0)
        RaiseAlreadyOpen();
    if (IsServerConnectionString(connectionString))
        return OpenServer(std::string(TrimAsciiSpace(connectionString)));
    const std::string provider = ConnectionValue(connectionString, "provider");
    if (!EqualsNoCase(provider, kJetProvider)) {
        throw CComError(ADO_E_PROVIDERNOTFOUND, kConnectionSource,
                        "Provider cannot be found. It may not be properly installed. (Provider '" +
                            provider + "'; only " + kJetProvider + " is available.)");
    }
    const std::string source = ConnectionValue(connectionString, "data source");
    if (source.empty())
        throw CComError(E_FAIL, kSource, "The connection string names no data source.");
    return OpenFile(source);
}

HRESULT CConnection::OpenFile(const std::string& source) {
    if (GetState() != 0)
        RaiseAlreadyOpen();
    m_engine = OpenSqliteFile(source);
    m_strPath = m_engine->Describe();
    m_strServer.clear();
    m_nTransactionDepth = 0;
    return S_OK;
}

HRESULT CConnection::OpenServer(const std::string& uri) {
    if (GetState() != 0)
        RaiseAlreadyOpen();
    m_engine = OpenPostgresServer(uri);
    m_strPath = m_engine->Describe();
    m_strServer = uri;
    m_nTransactionDepth = 0;
    return S_OK;
}

HRESULT CConnection::Close() {
    if (GetState() == 0)
        RaiseClosed();
    m_engine.reset();
    m_broken.clear();
    m_nTransactionDepth = 0;
    return S_OK;
}

IEngineConnection& CConnection::Engine() const {
    if (m_engine == nullptr)
        RaiseClosed();
    // Outside a transaction nothing is lost by starting over on a new connection.
    if (!m_strServer.empty() && m_nTransactionDepth == 0 && m_engine->IsBroken()) {
        std::unique_ptr<IEngineConnection> fresh = OpenPostgresServer(m_strServer);
        m_broken.push_back(std::exchange(m_engine, std::move(fresh)));
    }
    return *m_engine;
}

EngineKind CConnection::Kind() const {
    return Engine().Kind();
}

const std::string& CConnection::FilePath() const {
    return m_strPath;
}

bool CConnection::IsReadOnly() const {
    return GetState() != 0 && m_engine->IsReadOnly();
}

std::int64_t CConnection::LastInsertRowid() const {
    return Engine().LastInsertRowid();
}

int CConnection::Changes() const {
    return static_cast<int>(Engine().Changes());
}

void CConnection::Execute(const char* sql) {
    Engine().Execute(sql);
}

void CConnection::BeginTrans() {
    Engine().Begin(false);
    ++m_nTransactionDepth;
}

void CConnection::BeginSerializableTrans() {
    Engine().Begin(true);
    ++m_nTransactionDepth;
}

void CConnection::CommitTrans() {
    Engine().Commit();
    m_nTransactionDepth = 0;
}

void CConnection::RollbackTrans() {
    m_nTransactionDepth = 0;
    Engine().Rollback();
}
