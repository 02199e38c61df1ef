#include "platform/ado/Connection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

#include "platform/ado/AsciiText.h"
#include "platform/ado/JetSignature.h"

namespace fs = std::filesystem;

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

[[noreturn]] void RaiseFileFault(FileFault fault, const std::string& path, std::string what) {
    ComErrorFacts facts;
    facts.path = path;
    facts.fileFault = fault;
    throw CComError(E_FAIL, kSource, "'" + path + "' " + std::move(what), std::move(facts));
}

// What the file is before the engine sees it. Opens without blocking, so a pipe
// or device under the book's name is refused instead of waited on, and reads
// the first bytes so a foreign or empty file gets a clear reason.
void SniffFile(const std::string& path) {
    const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (vfs != nullptr && path.size() >= static_cast<size_t>(vfs->mxPathname)) {
        RaiseFileFault(FileFault::PathTooLong, path,
                       "has a path longer than the engine can open (" +
                           std::to_string(vfs->mxPathname - 1) + " bytes at most).");
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENAMETOOLONG)
            RaiseFileFault(FileFault::PathTooLong, path, "has a path that is too long.");
        if (errno == ENOENT || errno == ENOTDIR)
            RaiseFileFault(FileFault::Missing, path, "does not exist.");
        return;  // the engine reports why it cannot reach it (permissions, ...)
    }
    if (S_ISDIR(st.st_mode))
        RaiseFileFault(FileFault::Folder, path, "is a folder, not a file.");
    if (!S_ISREG(st.st_mode))
        RaiseFileFault(FileFault::NotRegular, path, "is not a regular file.");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;  // the engine reports why it cannot open it
    char header[64];
    ssize_t got = 0;
    // Checked again on the open file: the name may have been replaced meanwhile.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::read(fd, header, sizeof header);
    else
        got = -2;
    ::close(fd);
    if (got == -2)
        RaiseFileFault(FileFault::NotRegular, path, "is not a regular file.");
    const std::string_view bytes(header, got > 0 ? static_cast<size_t>(got) : 0);
    if (JetFormatOf(bytes) != JetFormat::None)
        RaiseFileFault(FileFault::JetFormat, path, "is a Microsoft Access (Jet) database.");
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "SQLite format 3", 16) != 0)
        RaiseFileFault(FileFault::NotDatabase, path, "is not a database of this program.");
}

[[noreturn]] void RaiseAlreadyOpen() {
    throw CComError(ADO_E_OBJECTOPEN, kConnectionSource,
                    "Operation is not allowed when the object is open.");
}

[[noreturn]] void RaiseClosed() {
    throw CComError(ADO_E_OBJECTCLOSED, kConnectionSource,
                    "Operation is not allowed when the object is closed.");
}

// "no such table: main.tbUser" -> "tbUser".
std::string NamedObject(const std::string& msg, size_t prefixLength) {
    std::string name = msg.substr(prefixLength);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(0, dot + 1);
    return name;
}

}  // namespace

void CEngineHandle::Reset() {
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

HRESULT CConnection::Open(const std::string& connectionString, const std::string&,
                          const std::string&, long) {
    if (GetState() != 0)
        RaiseAlreadyOpen();
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
    std::error_code ec;
    const std::string path = fs::absolute(fs::path(source), ec).lexically_normal().string();
    SniffFile(path);
    sqlite3* raw = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing book is an error, not a new empty file. A
    // connection is used by one thread at a time, so the engine need not lock each call.
    const int rc =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    CEngineHandle db(raw);
    if (rc != SQLITE_OK) {
        ComErrorFacts facts;
        facts.engineCode = rc & 0xff;
        facts.extendedCode = db.Get() != nullptr ? sqlite3_extended_errcode(db.Get()) : rc;
        facts.path = path;
        const std::string msg = db.Get() != nullptr ? sqlite3_errmsg(db.Get()) : sqlite3_errstr(rc);
        throw CComError(E_FAIL, kSource, "Cannot open '" + path + "': " + msg + ".",
                        std::move(facts));
    }
    sqlite3_busy_timeout(db.Get(), kBusyTimeoutMs);
    sqlite3_extended_result_codes(db.Get(), 0);
    m_db = std::move(db);
    m_strPath = path;
    try {
        // Touches the schema so a damaged file fails here rather than later.
        Execute("SELECT count(*) FROM sqlite_master");
    } catch (...) {
        m_db.Reset();
        throw;
    }
    return S_OK;
}

HRESULT CConnection::Close() {
    if (GetState() == 0)
        RaiseClosed();
    m_db.Reset();
    return S_OK;
}

bool CConnection::IsReadOnly() const {
    return GetState() != 0 && sqlite3_db_readonly(m_db.Get(), "main") == 1;
}

std::int64_t CConnection::LastInsertRowid() const {
    return sqlite3_last_insert_rowid(m_db.Get());
}

int CConnection::Changes() const {
    return sqlite3_changes(m_db.Get());
}

void CConnection::Execute(const char* sql) {
    if (GetState() == 0)
        RaiseClosed();
    const int rc = sqlite3_exec(m_db.Get(), sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        RaiseEngineError(rc);
}

void CConnection::BeginTrans() {
    Execute("BEGIN IMMEDIATE");
}
void CConnection::CommitTrans() {
    Execute("COMMIT");
}
void CConnection::RollbackTrans() {
    Execute("ROLLBACK");
}

void CConnection::RaiseEngineError(int rc) const {
    sqlite3* db = m_db.Get();
    const std::string msg = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    ComErrorFacts facts;
    facts.engineCode = rc & 0xff;
    facts.extendedCode = db != nullptr ? sqlite3_extended_errcode(db) : rc;
    facts.path = m_strPath;
    HRESULT hr = E_FAIL;
    switch (rc & 0xff) {
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            hr = E_ACCESSDENIED;
            break;
        case SQLITE_NOMEM:
            hr = E_OUTOFMEMORY;
            break;
        case SQLITE_CONSTRAINT:
            hr = DB_E_INTEGRITYVIOLATION;
            break;
        case SQLITE_MISMATCH:
            hr = DISP_E_TYPEMISMATCH;
            break;
        case SQLITE_TOOBIG:
        case SQLITE_RANGE:
            hr = E_INVALIDARG;
            break;
        case SQLITE_ERROR:
            hr = DB_E_ERRORSINCOMMAND;
            if (msg.rfind("no such table: ", 0) == 0) {
                hr = DB_E_NOTABLE;
                facts.lack = Lack::Table;
                facts.lackName = NamedObject(msg, 15);
            } else if (msg.rfind("no such column: ", 0) == 0) {
                facts.lack = Lack::Column;
                facts.lackName = NamedObject(msg, 16);
            }
            break;
        default:
            break;
    }
    throw CComError(hr, kSource, msg, std::move(facts));
}
