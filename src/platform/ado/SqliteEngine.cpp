#include "platform/ado/SqliteEngine.h"

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
#include "platform/ado/ComError.h"
#include "platform/ado/JetSignature.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSource = "SQLite";

std::string_view View(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
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

// "no such table: main.tbUser" -> "tbUser".
std::string NamedObject(const std::string& msg, size_t prefixLength) {
    std::string name = msg.substr(prefixLength);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(0, dot + 1);
    return name;
}

// The statement, when given, goes into the facts for the log.
[[noreturn]] void RaiseSqliteError(sqlite3* db, int rc, const std::string& path,
                                   std::string_view statement = {}) {
    const std::string msg = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    ComErrorFacts facts;
    facts.engineCode = rc & 0xff;
    facts.extendedCode = db != nullptr ? sqlite3_extended_errcode(db) : rc;
    facts.path = path;
    facts.statement = statement;
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

class SqliteStatement final : public IEngineStatement {
public:
    SqliteStatement(sqlite3* db, const std::string& path, sqlite3_stmt* stmt)
        : m_db(db), m_path(path), m_stmt(stmt) {}
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int ColumnCount() const override { return sqlite3_column_count(m_stmt); }

    void Bind(int index, const EngineValue& e) override {
        // A new binding after a run starts the statement over, as on the server.
        if (m_bStepped) {
            sqlite3_reset(m_stmt);
            m_bStepped = false;
        }
        int rc = SQLITE_OK;
        switch (e.type) {
            case EngineValue::Type::Null:
                rc = sqlite3_bind_null(m_stmt, index);
                break;
            case EngineValue::Type::Integer:
                rc = sqlite3_bind_int64(m_stmt, index, e.integer);
                break;
            case EngineValue::Type::Real:
                rc = sqlite3_bind_double(m_stmt, index, e.real);
                break;
            case EngineValue::Type::Text:
                rc = sqlite3_bind_text64(m_stmt, index, e.Bytes().data(), e.Bytes().size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            case EngineValue::Type::Blob:
                rc = sqlite3_bind_blob64(m_stmt, index, e.Bytes().data(), e.Bytes().size(),
                                         SQLITE_TRANSIENT);
                break;
        }
        if (rc != SQLITE_OK)
            RaiseSqliteError(m_db, rc, m_path, Sql());
    }

    void Reset() override {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        m_bStepped = false;
    }

    bool Step() override {
        m_bStepped = true;
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        RaiseSqliteError(m_db, rc, m_path, Sql());
    }

    EngineValue Value(int column, bool numberAsText) const override {
        // One look at the column's value, not a locked API call for its type, text and length.
        sqlite3_value* value = sqlite3_column_value(m_stmt, column);
        const auto bytesOf = [value](const void* p) {
            return p != nullptr ? std::string_view(static_cast<const char*>(p),
                                                   static_cast<size_t>(sqlite3_value_bytes(value)))
                                : std::string_view();
        };
        EngineValue e;
        switch (sqlite3_value_type(value)) {
            case SQLITE_NULL:
                return e;
            case SQLITE_INTEGER:
                e.type = EngineValue::Type::Integer;
                e.integer = sqlite3_value_int64(value);
                break;
            case SQLITE_FLOAT:
                e.type = EngineValue::Type::Real;
                e.real = sqlite3_value_double(value);
                break;
            case SQLITE_TEXT:
                e.type = EngineValue::Type::Text;
                e.bytes = bytesOf(sqlite3_value_text(value));
                return e;
            default:
                e.type = EngineValue::Type::Blob;
                e.bytes = bytesOf(sqlite3_value_blob(value));
                return e;
        }
        // A number read into a text field takes the engine's own text of it.
        if (numberAsText)
            e.bytes = bytesOf(sqlite3_value_text(value));
        return e;
    }

    std::string_view ColumnName(int column) const override {
        return View(sqlite3_column_name(m_stmt, column));
    }
    std::string_view ColumnDeclaredType(int column) const override {
        return View(sqlite3_column_decltype(m_stmt, column));
    }
    std::string_view ColumnOriginTable(int column) const override {
        return View(sqlite3_column_table_name(m_stmt, column));
    }
    std::string_view ColumnOriginName(int column) const override {
        return View(sqlite3_column_origin_name(m_stmt, column));
    }

private:
    sqlite3* m_db;
    std::string m_path;
    sqlite3_stmt* m_stmt;

    std::string_view Sql() const {
        const char* text = sqlite3_sql(m_stmt);
        return text != nullptr ? std::string_view(text) : std::string_view();
    }
    bool m_bStepped = false;
};

class SqliteConnection final : public IEngineConnection {
public:
    SqliteConnection(CEngineHandle db, std::string path)
        : m_db(std::move(db)), m_path(std::move(path)) {}

    EngineKind Kind() const override { return EngineKind::SQLite; }
    const std::string& Describe() const override { return m_path; }

    std::unique_ptr<IEngineStatement> Prepare(std::string_view sql, bool quiet) override {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db.Get(), sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
        if (rc != SQLITE_OK) {
            if (quiet)
                return nullptr;
            RaiseSqliteError(m_db.Get(), rc, m_path, sql);
        }
        auto result = std::make_unique<SqliteStatement>(m_db.Get(), m_path, stmt);
        if (stmt == nullptr) {
            throw CComError(DB_E_ERRORSINCOMMAND, kSource,
                            "Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT' or "
                            "'UPDATE'.");
        }
        // One statement per call: anything after it is refused, not run.
        const char* end = sql.data() + sql.size();
        for (; tail != nullptr && tail < end; ++tail) {
            if (!IsAsciiSpace(*tail) && *tail != ';') {
                throw CComError(DB_E_ERRORSINCOMMAND, kSource,
                                "Characters found after end of SQL statement.");
            }
        }
        return result;
    }

    void Execute(std::string_view sql) override {
        const std::string text(sql);
        const int rc = sqlite3_exec(m_db.Get(), text.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            RaiseSqliteError(m_db.Get(), rc, m_path, sql);
    }

    // A writer takes the lock at once, so two writers never deadlock halfway; SQLite's
    // transactions are serializable in any case.
    void Begin(bool) override { Execute("BEGIN IMMEDIATE"); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() override { Execute("ROLLBACK"); }

    std::optional<EngineTable> FindTable(std::string_view name) override {
        auto lookup = Prepare(
            "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') "
            "AND name = ?1 COLLATE NOCASE",
            false);
        lookup->Bind(1, EngineValue::Text(name));
        if (!lookup->Step())
            return std::nullopt;
        return EngineTable{std::string(lookup->Value(0, true).bytes),
                           lookup->Value(1, true).bytes == "table"};
    }

    std::int64_t LastInsertRowid() const override { return sqlite3_last_insert_rowid(m_db.Get()); }
    std::int64_t Changes() const override { return sqlite3_changes(m_db.Get()); }
    bool IsReadOnly() const override { return sqlite3_db_readonly(m_db.Get(), "main") == 1; }

private:
    CEngineHandle m_db;
    std::string m_path;
};

}  // namespace

void CEngineHandle::Reset() {
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

std::unique_ptr<IEngineConnection> OpenSqliteFile(const std::string& source) {
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
    auto connection = std::make_unique<SqliteConnection>(std::move(db), path);
    // Touches the schema so a damaged file fails here rather than later.
    connection->Execute("SELECT count(*) FROM sqlite_master");
    return connection;
}
