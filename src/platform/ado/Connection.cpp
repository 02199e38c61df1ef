#include "platform/ado/Connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSource = "SQLite";

std::string Trim(std::string s) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
        s = s.substr(1, s.size() - 2);
    }
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "Key=Value;Key=Value" with keys compared without case.
std::string ConnectionValue(const std::string& text, const std::string& key) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        const size_t eq = part.find('=');
        if (eq != std::string::npos && Lower(Trim(part.substr(0, eq))) == key) {
            return Trim(part.substr(eq + 1));
        }
        start = end + 1;
    }
    return {};
}

// Reads the first bytes so a foreign or empty file gets a clear message before
// the engine sees it.
std::string FileHeader(const std::string& path, size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string buf(n, '\0');
    in.read(buf.data(), static_cast<std::streamsize>(n));
    buf.resize(static_cast<size_t>(in.gcount()));
    return buf;
}

std::string NotABookText(const std::string& path) {
    return "“" + path + "”不是 Tillbook 账本（无法识别的数据库格式）。";
}

}  // namespace

CConnection::~CConnection() {
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
}

HRESULT CConnection::Open(const std::string& connectionString, const std::string&,
                          const std::string&, long) {
    if (m_db != nullptr) {
        throw CComError(ADO_E_OBJECTCLOSED, "ADODB.Connection",
                        "Operation is not allowed when the object is open.");
    }
    const std::string provider = ConnectionValue(connectionString, "provider");
    if (Lower(provider) != Lower(kJetProvider)) {
        throw CComError(ADO_E_PROVIDERNOTFOUND, "ADODB.Connection",
                        "Provider cannot be found. It may not be properly installed. (Provider '" +
                            provider + "'; only " + kJetProvider + " is available.)");
    }
    const std::string source = ConnectionValue(connectionString, "data source");
    if (source.empty()) {
        throw CComError(E_FAIL, kSource, "The connection string names no data source.");
    }
    return OpenFile(source);
}

HRESULT CConnection::OpenFile(const std::string& source) {
    if (m_db != nullptr) {
        throw CComError(ADO_E_OBJECTCLOSED, "ADODB.Connection",
                        "Operation is not allowed when the object is open.");
    }
    std::error_code ec;
    const std::string path = fs::absolute(fs::path(source), ec).lexically_normal().string();
    if (!fs::exists(path, ec)) {
        throw CComError(E_FAIL, kSource, "找不到账本文件“" + path + "”。");
    }
    if (fs::is_directory(path, ec)) {
        throw CComError(E_FAIL, kSource, "“" + path + "”是一个文件夹，不是账本文件。");
    }
    const std::string header = FileHeader(path, 64);
    if (header.find("Standard Jet DB") != std::string::npos ||
        header.find("Standard ACE DB") != std::string::npos) {
        throw CComError(E_FAIL, kSource,
                        "“" + path +
                            "”是 Microsoft Access (Jet) 数据库，本程序不能直接打开。请先转换："
                            "tillbook-db import " +
                            path);
    }
    if (header.size() < 16 || std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
        throw CComError(E_FAIL, kSource, NotABookText(path));
    }
    sqlite3* db = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing book is an error, not a new empty file.
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string msg = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw CComError(E_FAIL, kSource, "无法打开账本文件“" + path + "”：" + msg + "。");
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    m_db = db;
    m_strPath = path;
    try {
        // Touches the schema so a damaged file fails here rather than later.
        Execute("SELECT count(*) FROM sqlite_master");
    } catch (...) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw;
    }
    return S_OK;
}

HRESULT CConnection::Close() {
    if (m_db == nullptr) {
        throw CComError(ADO_E_OBJECTCLOSED, "ADODB.Connection",
                        "Operation is not allowed when the object is closed.");
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return S_OK;
}

void CConnection::Execute(const char* sql) {
    if (m_db == nullptr) {
        throw CComError(ADO_E_OBJECTCLOSED, "ADODB.Connection",
                        "Operation is not allowed when the object is closed.");
    }
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
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
    const std::string msg = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    // The family reads these; they name the book by its full path.
    const std::string file = "“" + m_strPath + "”";
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw CComError(E_FAIL, kSource, "账本文件" + file + "正被其他程序使用，请稍后再试。");
        case SQLITE_READONLY:
            throw CComError(E_ACCESSDENIED, kSource, "无法写入：账本文件" + file + "是只读的。");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            throw CComError(E_ACCESSDENIED, kSource,
                            "没有权限访问账本文件" + file + "：" + msg + "。");
        case SQLITE_NOTADB:
            throw CComError(E_FAIL, kSource, NotABookText(m_strPath));
        case SQLITE_CORRUPT:
            throw CComError(E_FAIL, kSource, "账本文件" + file + "已损坏：" + msg + "。");
        case SQLITE_FULL:
            throw CComError(E_FAIL, kSource,
                            "存放账本文件" + file + "的磁盘已满，这次什么也没有写入。");
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
            throw CComError(E_FAIL, kSource, "无法读写账本文件" + file + "：" + msg + "。");
        case SQLITE_NOMEM:
            throw CComError(E_OUTOFMEMORY, kSource, msg);
        case SQLITE_CONSTRAINT:
            throw CComError(DB_E_INTEGRITYVIOLATION, kSource, msg);
        case SQLITE_MISMATCH:
            throw CComError(DISP_E_TYPEMISMATCH, kSource, msg);
        case SQLITE_TOOBIG:
        case SQLITE_RANGE:
            throw CComError(E_INVALIDARG, kSource, msg);
        case SQLITE_ERROR:
            if (msg.rfind("no such table", 0) == 0)
                throw CComError(DB_E_NOTABLE, kSource, msg);
            throw CComError(DB_E_ERRORSINCOMMAND, kSource, msg);
        default:
            throw CComError(E_FAIL, kSource, msg);
    }
}
