#include "platform/ado/PostgresEngine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "platform/ado/AsciiText.h"
#include "platform/ado/ComError.h"
#include "platform/ado/LibPq.h"

namespace {

constexpr const char* kSource = "PostgreSQL";
// The column every table of a server book is written back and ordered by.
constexpr const char* kRowKey = "rowid";

// Built-in type numbers (pg_type.oid), fixed across server versions.
enum : Oid {
    kBoolOid = 16,
    kByteaOid = 17,
    kInt8Oid = 20,
    kInt2Oid = 21,
    kInt4Oid = 23,
    kTextOid = 25,
    kOidOid = 26,
    kFloat4Oid = 700,
    kFloat8Oid = 701,
    kVarcharOid = 1043,
    kDateOid = 1082,
    kTimestampOid = 1114,
    kTimestampTzOid = 1184,
    kNumericOid = 1700,
};

struct ResultDeleter {
    void operator()(PGresult* r) const { Pq().PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

std::string_view View(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

// "relation "x" does not exist" -> x.
std::string QuotedName(const std::string& message) {
    const size_t open = message.find('"');
    const size_t close = open == std::string::npos ? open : message.find('"', open + 1);
    if (close == std::string::npos)
        return {};
    std::string name = message.substr(open + 1, close - open - 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

// "?" and "?N" parameters as the server numbers them ("$N"); quoted text left alone.
std::string NumberedParameters(std::string_view sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    int next = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const size_t end = sql.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? sql.size() : end + 1;
            out.append(sql.substr(i, stop - i));
            i = stop - 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const size_t end = sql.find('\n', i);
            const size_t stop = end == std::string_view::npos ? sql.size() : end;
            out.append(sql.substr(i, stop - i));
            i = stop - 1;
        } else if (c == '?') {
            size_t j = i + 1;
            while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9')
                ++j;
            out += '$';
            if (j > i + 1) {
                out.append(sql.substr(i + 1, j - i - 1));
                i = j - 1;
            } else {
                out += std::to_string(++next);
            }
        } else {
            out += c;
        }
    }
    return out;
}

// The table an "INSERT INTO <table>" statement writes to; empty for any other statement.
std::string InsertTarget(std::string_view sql) {
    sql = TrimAsciiSpace(sql);
    if (sql.size() < 12 || !EqualsNoCase(sql.substr(0, 6), "insert"))
        return {};
    sql = TrimAsciiSpace(sql.substr(6));
    if (sql.size() < 5 || !EqualsNoCase(sql.substr(0, 4), "into"))
        return {};
    sql = TrimAsciiSpace(sql.substr(4));
    if (!sql.empty() && sql.front() == '"') {
        std::string name;
        for (size_t i = 1; i < sql.size(); ++i) {
            if (sql[i] == '"') {
                if (i + 1 < sql.size() && sql[i + 1] == '"') {
                    name += '"';
                    ++i;
                    continue;
                }
                return name;
            }
            name += sql[i];
        }
        return {};
    }
    size_t end = 0;
    while (end < sql.size() && !IsAsciiSpace(sql[end]) && sql[end] != '(')
        ++end;
    return std::string(sql.substr(0, end));
}

const char* DeclaredTypeOf(Oid type) {
    switch (type) {
        case kBoolOid:
            return "BOOLEAN";
        case kByteaOid:
            return "BLOB";
        case kInt8Oid:
            return "BIGINT";
        case kInt2Oid:
            return "SMALLINT";
        case kInt4Oid:
        case kOidOid:
            return "INTEGER";
        case kFloat4Oid:
            return "REAL";
        case kFloat8Oid:
            return "DOUBLE";
        case kNumericOid:
            return "NUMERIC";
        case kDateOid:
        case kTimestampOid:
        case kTimestampTzOid:
            return "DATETIME";
        default:
            return "TEXT";  // text, varchar, citext and the rest read as text
    }
}

class PgConnection;

class PgStatement final : public IEngineStatement {
public:
    PgStatement(PgConnection& connection, std::string sql, bool returnsKey)
        : m_connection(connection), m_sql(std::move(sql)), m_bReturnsKey(returnsKey) {}

    int ColumnCount() const override;
    void Bind(int index, const EngineValue& value) override;
    bool Step() override;
    void Reset() override {
        std::fill(m_null.begin(), m_null.end(), char(1));
        m_rows.reset();
        m_nRow = -1;
    }
    std::size_t ExpectedRows() const override {
        return m_rows ? static_cast<std::size_t>(Pq().PQntuples(m_rows.get())) : 0;
    }
    EngineValue Value(int column, bool numberAsText) const override;
    std::string_view ColumnName(int column) const override {
        return View(Pq().PQfname(Shape(), column));
    }
    std::string_view ColumnDeclaredType(int column) const override {
        return Pq().PQftable(Shape(), column) == InvalidOid
                   ? std::string_view()
                   : DeclaredTypeOf(Pq().PQftype(Shape(), column));
    }
    std::string_view ColumnOriginTable(int column) const override;
    std::string_view ColumnOriginName(int column) const override;

private:
    // The result whose columns describe the statement: the rows once run, else a description.
    const PGresult* Shape() const;

    PgConnection& m_connection;
    std::string m_sql;
    bool m_bReturnsKey;
    std::vector<std::string> m_values;
    std::vector<char> m_null;
    std::vector<int> m_formats;
    std::vector<int> m_lengths;
    Result m_rows;
    mutable Result m_description;
    int m_nRow = -1;
    mutable std::string m_blob;
};

class PgConnection final : public IEngineConnection {
public:
    explicit PgConnection(PGconn* conn) : m_conn(conn) {
        const std::string host = View(Pq().PQhost(conn)).empty() ? "localhost" : Pq().PQhost(conn);
        m_describe = "postgresql://" + std::string(View(Pq().PQuser(conn))) + "@" + host + ":" +
                     std::string(View(Pq().PQport(conn))) + "/" +
                     std::string(View(Pq().PQdb(conn)));
    }
    ~PgConnection() override { Pq().PQfinish(m_conn); }
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    EngineKind Kind() const override { return EngineKind::PostgreSQL; }
    const std::string& Describe() const override { return m_describe; }

    std::unique_ptr<IEngineStatement> Prepare(std::string_view sql, bool quiet) override {
        std::string text = NumberedParameters(sql);
        // The key of an added row comes back with it, as the file's last rowid would.
        bool returnsKey = false;
        const std::string target = InsertTarget(text);
        if (!target.empty()) {
            const std::optional<EngineTable> table = FindTable(target);
            returnsKey = table && table->isTable;
            if (returnsKey) {
                while (!text.empty() && (IsAsciiSpace(text.back()) || text.back() == ';'))
                    text.pop_back();
                text += " RETURNING ";
                text += kRowKey;
            }
        }
        // Checked now, as the file engine does, so a bad statement fails where it is made.
        Result check(Pq().PQprepare(m_conn, "", text.c_str(), 0, nullptr));
        if (Pq().PQresultStatus(check.get()) != PGRES_COMMAND_OK) {
            if (quiet)
                return nullptr;
            Raise(check.get());
        }
        return std::make_unique<PgStatement>(*this, std::move(text), returnsKey);
    }

    void Execute(std::string_view sql) override {
        const std::string text(sql);
        Result r(Pq().PQexec(m_conn, text.c_str()));
        Check(r.get());
        m_nChanges = std::atoll(Pq().PQcmdTuples(r.get()));
    }

    void Begin(bool serializable) override {
        Execute(serializable ? "BEGIN ISOLATION LEVEL SERIALIZABLE" : "BEGIN");
    }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() override {
        if (!IsBroken())
            Execute("ROLLBACK");
    }

    std::optional<EngineTable> FindTable(std::string_view name) override {
        const std::string key = LowerAscii(name);
        if (auto found = m_tables.find(key); found != m_tables.end())
            return found->second;
        const std::string text(name);
        const char* params[] = {text.c_str()};
        Result r(Pq().PQexecParams(
            m_conn,
            "SELECT c.relname, c.relkind IN ('r','p') AND EXISTS (SELECT 1 FROM pg_attribute a "
            "WHERE a.attrelid = c.oid AND a.attname = 'rowid' AND NOT a.attisdropped) "
            "FROM pg_class c WHERE c.relkind IN ('r','p','v','m') AND pg_table_is_visible(c.oid) "
            "AND lower(c.relname) = lower($1) ORDER BY c.relname = $1 DESC LIMIT 1",
            1, nullptr, params, nullptr, nullptr, 0));
        Check(r.get());
        if (Pq().PQntuples(r.get()) == 0)
            return std::nullopt;
        EngineTable table{Pq().PQgetvalue(r.get(), 0, 0), *Pq().PQgetvalue(r.get(), 0, 1) == 't'};
        // Tables that exist are remembered; one missing now may be made later.
        m_tables.emplace(key, table);
        return table;
    }

    std::int64_t LastInsertRowid() const override { return m_nLastKey; }
    std::int64_t Changes() const override { return m_nChanges; }
    bool IsReadOnly() const override { return false; }
    bool IsBroken() const override { return Pq().PQstatus(m_conn) != CONNECTION_OK; }

    PGconn* Conn() const { return m_conn; }
    void Wrote(const PGresult* r, std::int64_t key) {
        m_nChanges = std::atoll(Pq().PQcmdTuples(const_cast<PGresult*>(r)));
        if (key != 0)
            m_nLastKey = key;
    }
    // Table and column names of a result column's origin, read once per table.
    const std::vector<std::string>* TableColumns(Oid table, std::string_view* name) {
        auto found = m_origins.find(table);
        if (found == m_origins.end()) {
            const std::string oid = std::to_string(table);
            const char* params[] = {oid.c_str()};
            Result r(Pq().PQexecParams(m_conn,
                                       "SELECT c.relname, a.attnum, a.attname FROM pg_class c JOIN "
                                       "pg_attribute a ON a.attrelid = c.oid WHERE c.oid = $1::oid "
                                       "AND a.attnum > 0 ORDER BY a.attnum",
                                       1, nullptr, params, nullptr, nullptr, 0));
            if (Pq().PQresultStatus(r.get()) != PGRES_TUPLES_OK || Pq().PQntuples(r.get()) == 0)
                return nullptr;
            Origin origin;
            origin.table = Pq().PQgetvalue(r.get(), 0, 0);
            for (int i = 0; i < Pq().PQntuples(r.get()); ++i) {
                const auto attnum = static_cast<size_t>(std::atoi(Pq().PQgetvalue(r.get(), i, 1)));
                origin.columns.resize(std::max(origin.columns.size(), attnum + 1));
                origin.columns[attnum] = Pq().PQgetvalue(r.get(), i, 2);
            }
            found = m_origins.emplace(table, std::move(origin)).first;
        }
        *name = found->second.table;
        return &found->second.columns;
    }

    void Check(const PGresult* r) const {
        const ExecStatusType status = Pq().PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            Raise(r);
    }

    [[noreturn]] void Raise(const PGresult* r) const {
        ComErrorFacts facts;
        facts.server = m_describe;
        facts.path = m_describe;
        facts.state = View(r != nullptr ? Pq().PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr);
        std::string msg(
            View(r != nullptr ? Pq().PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr));
        if (msg.empty())
            msg = TrimAsciiSpace(View(Pq().PQerrorMessage(m_conn)));
        HRESULT hr = E_FAIL;
        const std::string cls = facts.state.substr(0, 2);
        if (Pq().PQstatus(m_conn) != CONNECTION_OK || cls == "08" || cls == "57") {
            facts.connectionLost = true;
            facts.engineCode = EngineCode::CantOpen;
        } else if (cls == "23") {
            hr = DB_E_INTEGRITYVIOLATION;
            facts.engineCode = EngineCode::Constraint;
        } else if (facts.state == "42P01") {
            hr = DB_E_NOTABLE;
            facts.lack = Lack::Table;
            facts.lackName = QuotedName(msg);
        } else if (facts.state == "42703") {
            hr = DB_E_ERRORSINCOMMAND;
            facts.lack = Lack::Column;
            facts.lackName = QuotedName(msg);
        } else if (facts.state == "42501") {
            hr = E_ACCESSDENIED;
            facts.engineCode = EngineCode::Perm;
        } else if (facts.state == "25006") {
            hr = E_ACCESSDENIED;
            facts.engineCode = EngineCode::ReadOnly;
        } else if (cls == "42" || cls == "22") {
            hr = cls == "22" ? DISP_E_TYPEMISMATCH : DB_E_ERRORSINCOMMAND;
        } else if (cls == "53") {
            facts.engineCode = facts.state == "53100" ? EngineCode::Full : EngineCode::NoMem;
        } else if (cls == "40") {
            facts.engineCode = EngineCode::Busy;
        }
        throw CComError(hr, kSource, msg, std::move(facts));
    }

private:
    static std::string LowerAscii(std::string_view s) {
        std::string out(s);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }

    struct Origin {
        std::string table;
        std::vector<std::string> columns;  // by column number
    };

    PGconn* m_conn;
    std::string m_describe;
    std::map<std::string, EngineTable> m_tables;
    std::map<Oid, Origin> m_origins;
    std::int64_t m_nLastKey = 0;
    std::int64_t m_nChanges = 0;
};

int PgStatement::ColumnCount() const {
    return Pq().PQnfields(Shape());
}

const PGresult* PgStatement::Shape() const {
    if (m_rows)
        return m_rows.get();
    if (!m_description) {
        PGconn* conn = m_connection.Conn();
        Result prepared(Pq().PQprepare(conn, "", m_sql.c_str(), 0, nullptr));
        m_connection.Check(prepared.get());
        m_description.reset(Pq().PQdescribePrepared(conn, ""));
        m_connection.Check(m_description.get());
    }
    return m_description.get();
}

void PgStatement::Bind(int index, const EngineValue& e) {
    if (index < 1 || index > 999) {
        throw CComError(E_INVALIDARG, kSource,
                        "Parameter " + std::to_string(index) + " is out of range.");
    }
    const auto i = static_cast<size_t>(index - 1);
    if (m_values.size() <= i) {
        m_values.resize(i + 1);
        m_null.resize(i + 1, 1);
        m_formats.resize(i + 1, 0);
        m_lengths.resize(i + 1, 0);
    }
    m_null[i] = 0;
    m_formats[i] = 0;
    switch (e.type) {
        case EngineValue::Type::Null:
            m_null[i] = 1;
            m_values[i].clear();
            break;
        case EngineValue::Type::Integer:
            m_values[i] = std::to_string(e.integer);
            break;
        case EngineValue::Type::Real: {
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, e.real).ptr;
            m_values[i].assign(text, end);
            break;
        }
        case EngineValue::Type::Text:
            m_values[i] = e.Bytes();
            break;
        case EngineValue::Type::Blob:
            m_values[i] = e.Bytes();
            m_formats[i] = 1;
            break;
    }
    m_lengths[i] = static_cast<int>(m_values[i].size());
    // A new binding runs the statement again from its first row.
    m_rows.reset();
    m_nRow = -1;
}

bool PgStatement::Step() {
    if (!m_rows) {
        std::vector<const char*> values(m_values.size());
        for (size_t i = 0; i < m_values.size(); ++i)
            values[i] = m_null[i] ? nullptr : m_values[i].c_str();
        m_rows.reset(Pq().PQexecParams(m_connection.Conn(), m_sql.c_str(),
                                       static_cast<int>(values.size()), nullptr, values.data(),
                                       m_lengths.data(), m_formats.data(), 0));
        // No result at all (the connection went away while sending) is a failure too.
        const ExecStatusType status = Pq().PQresultStatus(m_rows.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const Result failed = std::move(m_rows);
            m_connection.Raise(failed.get());
        }
        std::int64_t key = 0;
        if (m_bReturnsKey && Pq().PQntuples(m_rows.get()) == 1)
            key = std::atoll(Pq().PQgetvalue(m_rows.get(), 0, 0));
        m_connection.Wrote(m_rows.get(), key);
        m_nRow = -1;
        if (m_bReturnsKey)
            return false;  // the key is the connection's to tell, not a row of the statement
    }
    if (m_bReturnsKey)
        return false;
    ++m_nRow;
    return m_nRow < Pq().PQntuples(m_rows.get());
}

EngineValue PgStatement::Value(int column, bool numberAsText) const {
    EngineValue e;
    const PGresult* r = m_rows.get();
    if (r == nullptr || m_nRow < 0 || m_nRow >= Pq().PQntuples(r) ||
        Pq().PQgetisnull(r, m_nRow, column))
        return e;
    const char* text = Pq().PQgetvalue(r, m_nRow, column);
    const std::string_view bytes(text, static_cast<size_t>(Pq().PQgetlength(r, m_nRow, column)));
    const auto readInteger = [&] {
        e.type = EngineValue::Type::Integer;
        if (std::from_chars(bytes.data(), bytes.data() + bytes.size(), e.integer).ec !=
            std::errc()) {
            e.type = EngineValue::Type::Real;
            e.real = std::strtod(text, nullptr);
        }
    };
    switch (Pq().PQftype(r, column)) {
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
        case kOidOid:
            readInteger();
            break;
        case kNumericOid:
            if (bytes.find_first_of(".eEN") == std::string_view::npos) {
                readInteger();
            } else {
                e.type = EngineValue::Type::Real;
                e.real = std::strtod(text, nullptr);
            }
            break;
        case kFloat4Oid:
        case kFloat8Oid:
            e.type = EngineValue::Type::Real;
            e.real = std::strtod(text, nullptr);  // also reads "NaN" and "Infinity"
            break;
        case kBoolOid:
            e.type = EngineValue::Type::Integer;
            e.integer = bytes == "t" ? 1 : 0;
            break;
        case kByteaOid: {
            size_t length = 0;
            unsigned char* raw =
                Pq().PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            m_blob.assign(reinterpret_cast<const char*>(raw), length);
            Pq().PQfreemem(raw);
            e.type = EngineValue::Type::Blob;
            e.bytes = m_blob;
            return e;
        }
        default:
            e.type = EngineValue::Type::Text;
            e.bytes = bytes;
            return e;
    }
    if (numberAsText)
        e.bytes = bytes;
    return e;
}

std::string_view PgStatement::ColumnOriginTable(int column) const {
    const Oid table = Pq().PQftable(Shape(), column);
    std::string_view name;
    if (table == InvalidOid || m_connection.TableColumns(table, &name) == nullptr)
        return {};
    return name;
}

std::string_view PgStatement::ColumnOriginName(int column) const {
    const Oid table = Pq().PQftable(Shape(), column);
    std::string_view name;
    const std::vector<std::string>* columns =
        table == InvalidOid ? nullptr : m_connection.TableColumns(table, &name);
    const auto number = static_cast<size_t>(Pq().PQftablecol(Shape(), column));
    if (columns == nullptr || number == 0 || number >= columns->size())
        return {};
    return (*columns)[number];
}

}  // namespace

std::unique_ptr<IEngineConnection> OpenPostgresServer(const std::string& uri) {
    PGconn* conn = Pq().PQconnectdb(uri.c_str());
    if (conn == nullptr)
        throw CComError(E_OUTOFMEMORY, kSource, "Cannot reach the server: out of memory.");
    auto connection = std::make_unique<PgConnection>(conn);
    if (Pq().PQstatus(conn) != CONNECTION_OK) {
        ComErrorFacts facts;
        facts.server = connection->Describe();
        facts.path = facts.server;
        facts.connectionLost = true;
        facts.engineCode = EngineCode::CantOpen;
        // Written before the facts move into the error: arguments have no order.
        const std::string msg = "Cannot connect to " + facts.server + ": " +
                                std::string(TrimAsciiSpace(View(Pq().PQerrorMessage(conn))));
        throw CComError(E_FAIL, kSource, msg, std::move(facts));
    }
    // Dates as the file keeps them, text in UTF-8, only warnings worth hearing.
    connection->Execute(
        "SET datestyle = 'ISO, YMD'; SET client_encoding = 'UTF8'; "
        "SET client_min_messages = warning; SET intervalstyle = 'iso_8601'");
    return connection;
}
