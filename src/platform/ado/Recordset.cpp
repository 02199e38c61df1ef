#include "platform/ado/Recordset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "platform/ado/JetDialect.h"
#include "platform/ado/OleDate.h"

namespace {

constexpr const char* kSource = "ADODB.Recordset";
// The cursor before the rows are read: on the first row, however many come.
constexpr long kFirstRowPosition = -2;

struct Statement {
    sqlite3_stmt* p = nullptr;
    ~Statement() { sqlite3_finalize(p); }
};

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

VarKind KindOfDeclaredType(const char* declared) {
    if (declared == nullptr)
        return VarKind::Empty;
    std::string t;
    for (const char* p = declared; *p && *p != '('; ++p) {
        t += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    struct Entry {
        const char* name;
        VarKind kind;
    };
    static const Entry kTypes[] = {
        {"DATETIME", VarKind::Date},
        {"DATE", VarKind::Date},
        {"TIME", VarKind::Date},
        {"TIMESTAMP", VarKind::Date},
        {"DOUBLE", VarKind::R8},
        {"DOUBLE PRECISION", VarKind::R8},
        {"REAL", VarKind::R8},
        {"FLOAT", VarKind::R8},
        {"SINGLE", VarKind::R4},
        {"INTEGER", VarKind::I4},
        {"INT", VarKind::I4},
        {"LONG", VarKind::I4},
        {"COUNTER", VarKind::I4},
        {"AUTOINCREMENT", VarKind::I4},
        {"SHORT", VarKind::I2},
        {"SMALLINT", VarKind::I2},
        {"BYTE", VarKind::UI1},
        {"TINYINT", VarKind::UI1},
        {"CURRENCY", VarKind::Currency},
        {"MONEY", VarKind::Currency},
        {"DECIMAL", VarKind::Decimal},
        {"NUMERIC", VarKind::Decimal},
        {"BIT", VarKind::Bool},
        {"YESNO", VarKind::Bool},
        {"BOOLEAN", VarKind::Bool},
        {"LOGICAL", VarKind::Bool},
        {"TEXT", VarKind::Text},
        {"VARCHAR", VarKind::Text},
        {"NVARCHAR", VarKind::Text},
        {"CHAR", VarKind::Text},
        {"NCHAR", VarKind::Text},
        {"MEMO", VarKind::Text},
        {"LONGTEXT", VarKind::Text},
        {"CLOB", VarKind::Text},
    };
    for (const auto& e : kTypes) {
        if (t == e.name)
            return e.kind;
    }
    return VarKind::Empty;
}

CVariant DecimalFromDouble(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    DecimalParts d{};
    if (!DecimalFromText(buf, d))
        return CVariant::FromR8(v);
    return CVariant::FromDecimal(d);
}

// An integer in the field's kind; one that does not fit that kind comes as a double.
CVariant IntegerAs(VarKind kind, std::int64_t v) {
    switch (kind) {
        case VarKind::I2:
            if (v >= INT16_MIN && v <= INT16_MAX)
                return CVariant::FromI2(static_cast<int16_t>(v));
            break;
        case VarKind::UI1:
            if (v >= 0 && v <= 255)
                return CVariant::FromUI1(static_cast<uint8_t>(v));
            break;
        case VarKind::UI4:
            if (v >= 0 && v <= UINT32_MAX)
                return CVariant::FromUI4(static_cast<uint32_t>(v));
            break;
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(v));
        case VarKind::Currency:
            return CVariant::FromCurrency(v * 10000);
        case VarKind::Decimal: {
            DecimalParts d{};
            d.sign = v < 0 ? 0x80 : 0;
            d.lo64 = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
            return CVariant::FromDecimal(d);
        }
        case VarKind::R8:
            return CVariant::FromR8(static_cast<double>(v));
        default:
            break;
    }
    if (v >= INT32_MIN && v <= INT32_MAX)
        return CVariant::FromI4(static_cast<int32_t>(v));
    return CVariant::FromR8(static_cast<double>(v));
}

CVariant ColumnToVariant(sqlite3_stmt* stmt, int col, VarKind kind) {
    const int type = sqlite3_column_type(stmt, col);
    if (type == SQLITE_NULL)
        return CVariant::Null();
    if (type == SQLITE_BLOB) {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, col));
        return CVariant::FromBinary(std::string(p, p + sqlite3_column_bytes(stmt, col)));
    }
    if (type == SQLITE_TEXT) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
        const std::string_view text(p, static_cast<size_t>(sqlite3_column_bytes(stmt, col)));
        if (kind == VarKind::Date) {
            double date = 0;
            if (OleDateFromIsoText(text, date))
                return CVariant::FromDate(date);
        }
        // Text the column's type could not take stays text.
        return CVariant::FromText(std::string(text));
    }
    switch (kind) {
        case VarKind::Text:
            return CVariant::FromText(
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)));
        case VarKind::Date:
            return CVariant::FromDate(sqlite3_column_double(stmt, col));
        case VarKind::Bool:
            return CVariant::FromBool(sqlite3_column_double(stmt, col) != 0);
        case VarKind::R8:
            return CVariant::FromR8(sqlite3_column_double(stmt, col));
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(sqlite3_column_double(stmt, col)));
        case VarKind::Currency:
            return CVariant::FromCurrency(std::llround(sqlite3_column_double(stmt, col) * 10000));
        case VarKind::Decimal:
            if (type == SQLITE_INTEGER)
                return IntegerAs(kind, sqlite3_column_int64(stmt, col));
            return DecimalFromDouble(sqlite3_column_double(stmt, col));
        default:
            break;
    }
    if (type == SQLITE_INTEGER)
        return IntegerAs(kind, sqlite3_column_int64(stmt, col));
    const double v = sqlite3_column_double(stmt, col);
    if (v == std::trunc(v) && std::fabs(v) < 9.2e18) {
        return IntegerAs(kind, static_cast<std::int64_t>(v));
    }
    return CVariant::FromR8(v);
}

[[noreturn]] void RaiseMismatch() {
    throw CComError(DB_E_CANTCONVERTVALUE, kSource,
                    "Data type mismatch: the value does not fit the field's type.");
}

[[noreturn]] void RaiseOverflow() {
    throw CComError(DISP_E_OVERFLOW, kSource, "The value is outside the field's range.");
}

std::string NumberText(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    if (std::strtod(buf, nullptr) != v)
        std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

double NumberOf(const CVariant& v) {
    if (const std::optional<double> number = v.NumberValue())
        return *number;
    switch (v.Kind()) {
        case VarKind::Bool:
            return v.BoolValue() ? -1 : 0;
        case VarKind::Date:
            return v.RealValue();
        case VarKind::Text: {
            const std::string& s = v.TextValue();
            char* end = nullptr;
            const double d = std::strtod(s.c_str(), &end);
            while (end && std::isspace(static_cast<unsigned char>(*end)))
                ++end;
            if (s.empty() || end == s.c_str() || *end != '\0')
                RaiseMismatch();
            return d;
        }
        default:
            RaiseMismatch();
    }
}

// The value as the field's kind, the way the field will hold it once stored.
CVariant Coerce(const CVariant& v, VarKind kind) {
    if (v.IsNullOrEmpty())
        return CVariant::Null();
    if (v.Kind() == kind && kind != VarKind::Date)
        return v;
    switch (kind) {
        case VarKind::Empty:
            return v;
        case VarKind::Text:
            switch (v.Kind()) {
                case VarKind::Binary:
                    return v;
                case VarKind::Bool:
                    return CVariant::FromText(v.BoolValue() ? "True" : "False");
                case VarKind::Date: {
                    std::string iso = OleDateToIsoText(v.RealValue());
                    if (iso.empty())
                        RaiseOverflow();
                    return CVariant::FromText(iso);
                }
                case VarKind::R4:
                case VarKind::R8:
                case VarKind::Currency:
                case VarKind::Decimal:
                    return CVariant::FromText(NumberText(NumberOf(v)));
                default:
                    return CVariant::FromText(std::to_string(v.IntValue()));
            }
        case VarKind::Date: {
            double date = 0;
            if (v.Kind() == VarKind::Text) {
                if (!OleDateFromIsoText(v.TextValue(), date))
                    RaiseMismatch();
            } else if (v.Kind() == VarKind::Bool || v.Kind() == VarKind::Binary) {
                RaiseMismatch();
            } else {
                date = NumberOf(v);
            }
            if (OleDateToIsoText(date).empty())
                RaiseOverflow();
            return CVariant::FromDate(date);
        }
        case VarKind::Bool:
            if (v.Kind() == VarKind::Text) {
                if (EqualsNoCase(v.TextValue(), "true"))
                    return CVariant::FromBool(true);
                if (EqualsNoCase(v.TextValue(), "false"))
                    return CVariant::FromBool(false);
            }
            return CVariant::FromBool(NumberOf(v) != 0);
        case VarKind::R8:
            return CVariant::FromR8(NumberOf(v));
        case VarKind::R4:
            return CVariant::FromR4(static_cast<float>(NumberOf(v)));
        case VarKind::Currency: {
            const double d = NumberOf(v) * 10000;
            if (!(std::fabs(d) < 9.2e18))
                RaiseOverflow();
            return CVariant::FromCurrency(std::llround(d));
        }
        case VarKind::Decimal:
            return DecimalFromDouble(NumberOf(v));
        default: {
            // Whole-number kinds round half to even, as the platform's coercion does.
            const double d = std::nearbyint(NumberOf(v));
            if (!(std::fabs(d) < 9.2e18))
                RaiseOverflow();
            const CVariant r = IntegerAs(kind, static_cast<std::int64_t>(d));
            if (r.Kind() != kind)
                RaiseOverflow();
            return r;
        }
    }
}

void Bind(sqlite3_stmt* stmt, int index, const CVariant& v) {
    switch (v.Kind()) {
        case VarKind::Empty:
        case VarKind::Null:
            sqlite3_bind_null(stmt, index);
            break;
        case VarKind::R4:
        case VarKind::R8:
            sqlite3_bind_double(stmt, index, v.RealValue());
            break;
        case VarKind::Currency:
            sqlite3_bind_double(stmt, index, static_cast<double>(v.IntValue()) / 10000);
            break;
        case VarKind::Decimal:
            if (v.DecimalValue().scale == 0 && v.DecimalValue().hi32 == 0 &&
                v.DecimalValue().lo64 <= static_cast<std::uint64_t>(INT64_MAX)) {
                const auto m = static_cast<std::int64_t>(v.DecimalValue().lo64);
                sqlite3_bind_int64(stmt, index, v.DecimalValue().sign == 0x80 ? -m : m);
            } else {
                sqlite3_bind_double(stmt, index, DecimalToDouble(v.DecimalValue()));
            }
            break;
        case VarKind::Date: {
            const std::string iso = OleDateToIsoText(v.RealValue());
            if (iso.empty())
                RaiseOverflow();
            sqlite3_bind_text(stmt, index, iso.c_str(), static_cast<int>(iso.size()),
                              SQLITE_TRANSIENT);
            break;
        }
        case VarKind::Text:
            sqlite3_bind_text(stmt, index, v.TextValue().data(),
                              static_cast<int>(v.TextValue().size()), SQLITE_TRANSIENT);
            break;
        case VarKind::Binary:
            sqlite3_bind_blob(stmt, index, v.TextValue().data(),
                              static_cast<int>(v.TextValue().size()), SQLITE_TRANSIENT);
            break;
        case VarKind::Bool:
            sqlite3_bind_int(stmt, index, v.BoolValue() ? 1 : 0);
            break;
        default:
            sqlite3_bind_int64(stmt, index, v.IntValue());
            break;
    }
}

void Prepare(const ConnectionPtr& connection, const std::string& sql, Statement& stmt) {
    const int rc = sqlite3_prepare_v2(connection->Handle(), sql.c_str(),
                                      static_cast<int>(sql.size()), &stmt.p, nullptr);
    if (rc != SQLITE_OK)
        connection->RaiseEngineError(rc);
}

void Step(const ConnectionPtr& connection, Statement& stmt) {
    const int rc = sqlite3_step(stmt.p);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        connection->RaiseEngineError(rc);
}

// A comparable rank and value for sorting: NULLs first, then numbers, then text.
int SortRank(const CVariant& v) {
    if (v.IsNullOrEmpty())
        return 0;
    if (v.Kind() == VarKind::Text || v.Kind() == VarKind::Binary)
        return 2;
    return 1;
}

}  // namespace

void CRecordset::RequireOpen() const {
    if (!m_bOpen) {
        throw CComError(ADO_E_OBJECTCLOSED, kSource,
                        "Operation is not allowed when the object is closed.");
    }
}

void CRecordset::RaiseNotUpdatable() const {
    throw CComError(ADO_E_FEATURENOTAVAILABLE, kSource,
                    "Current Recordset does not support updating: its rows do not come from "
                    "a single table, or the field is not a table column.");
}

HRESULT CRecordset::Open(const std::string& source, const ConnectionPtr& connection, long, long,
                         long options) {
    if (m_bOpen) {
        throw CComError(static_cast<HRESULT>(0x800A0E79), kSource,
                        "Operation is not allowed when the object is open.");
    }
    if (!connection || connection->GetState() == 0) {
        throw CComError(static_cast<HRESULT>(0x800A0E7D), kSource,
                        "The connection cannot be used to perform this operation. It is either "
                        "closed or invalid in this context.");
    }
    // Decide whether the source is a table name or a statement.
    std::string table;
    std::string tableType;
    const bool looksLikeName =
        source.find_first_of(" \t\r\n") == std::string::npos ||
        (source.front() == '[' && source.back() == ']' && source.find(']') == source.size() - 1);
    if (options == adCmdTable || (options == adCmdUnknown && looksLikeName)) {
        const std::string name = UnquoteTableName(source);
        Statement lookup;
        Prepare(connection,
                "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') AND "
                "name = ?1 COLLATE NOCASE",
                lookup);
        sqlite3_bind_text(lookup.p, 1, name.c_str(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        if (sqlite3_step(lookup.p) == SQLITE_ROW) {
            table = reinterpret_cast<const char*>(sqlite3_column_text(lookup.p, 0));
            tableType = reinterpret_cast<const char*>(sqlite3_column_text(lookup.p, 1));
        } else if (options == adCmdTable) {
            throw CComError(DB_E_NOTABLE, "SQLite",
                            "Cannot find the table '" + name +
                                "'. Make sure it exists and that its name is spelled correctly.");
        }
    }

    Statement stmt;
    bool hasIdentity = false;
    std::string identityTable;
    std::string tableSql;
    if (!table.empty()) {
        hasIdentity = tableType == "table";
        tableSql = hasIdentity ? "SELECT rowid, * FROM " + QuoteIdentifier(table) +
                                     " WHERE rowid <= ?1 ORDER BY rowid"
                               : "SELECT * FROM " + QuoteIdentifier(table);
        Prepare(connection, tableSql, stmt);
        identityTable = table;
    } else {
        const JetTranslation jet = TranslateJetStatement(source);
        const char* tail = nullptr;
        int rc = SQLITE_ERROR;
        if (!jet.sqlWithIdentity.empty()) {
            rc = sqlite3_prepare_v2(connection->Handle(), jet.sqlWithIdentity.c_str(),
                                    static_cast<int>(jet.sqlWithIdentity.size()), &stmt.p, &tail);
            hasIdentity = rc == SQLITE_OK;
            identityTable = jet.identityTable;
        }
        if (!hasIdentity) {
            // A view or a statement the rowid does not fit: read-only rows.
            sqlite3_finalize(stmt.p);
            stmt.p = nullptr;
            rc = sqlite3_prepare_v2(connection->Handle(), jet.sql.c_str(),
                                    static_cast<int>(jet.sql.size()), &stmt.p, &tail);
            if (rc != SQLITE_OK)
                connection->RaiseEngineError(rc);
        }
        if (stmt.p == nullptr) {
            throw CComError(DB_E_ERRORSINCOMMAND, "SQLite",
                            "Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT' or "
                            "'UPDATE'.");
        }
        // One statement per call: anything after it is refused, not run.
        for (; tail != nullptr && *tail; ++tail) {
            if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') {
                throw CComError(DB_E_ERRORSINCOMMAND, "SQLite",
                                "Characters found after end of SQL statement.");
            }
        }
    }

    if (sqlite3_column_count(stmt.p) == 0) {
        // A statement without rows runs and leaves the recordset closed.
        Step(connection, stmt);
        return S_OK;
    }
    m_connection = connection;
    DescribeFields(stmt.p, hasIdentity, identityTable);
    if (!tableSql.empty()) {
        // A table by name is read when first needed: the entry dialogs open it only to add a row.
        // The read stops at the table's current last rowid: rows stored after Open, by anyone,
        // stay out, as they would from a read done now.
        m_strFetchSql = tableSql;
        m_lastRowid.reset();
        if (hasIdentity) {
            Statement last;
            Prepare(connection, "SELECT max(rowid) FROM " + QuoteIdentifier(table), last);
            Step(connection, last);
            if (sqlite3_column_type(last.p, 0) != SQLITE_NULL)
                m_lastRowid = sqlite3_column_int64(last.p, 0);
        }
        return S_OK;
    }
    try {
        FetchRows(stmt.p);
    } catch (...) {
        Reset();
        throw;
    }
    return S_OK;
}

void CRecordset::DescribeFields(sqlite3_stmt* stmt, bool hasIdentity, const std::string& table) {
    const int first = hasIdentity ? 1 : 0;
    const int columns = sqlite3_column_count(stmt);
    m_fields.clear();
    for (int c = first; c < columns; ++c) {
        CFieldInfo f;
        f.strName = sqlite3_column_name(stmt, c);
        f.kind = KindOfDeclaredType(sqlite3_column_decltype(stmt, c));
        const char* origin = sqlite3_column_origin_name(stmt, c);
        const char* from = sqlite3_column_table_name(stmt, c);
        if (hasIdentity && origin != nullptr && from != nullptr && EqualsNoCase(from, table)) {
            f.strColumn = origin;
        }
        m_fields.push_back(std::move(f));
    }
    m_strTable = hasIdentity ? table : std::string();
    m_values.Reset(m_fields.size());
    m_rowids.clear();
    m_deleted.clear();
    m_order.clear();
    m_nPos = kFirstRowPosition;
    m_pending = Pending::None;
    m_bFetched = false;
    m_bOpen = true;
}

void CRecordset::FetchRows(sqlite3_stmt* stmt) {
    const bool hasIdentity = !m_strTable.empty();
    const int first = hasIdentity ? 1 : 0;
    const auto n = static_cast<int>(m_fields.size());
    if (sqlite3_column_count(stmt) != first + n) {
        throw CComError(E_FAIL, kSource, "The table's columns have changed since it was opened.");
    }
    // Rows this recordset has added and stored are already in memory.
    std::vector<std::int64_t> added;
    for (size_t r = 0; r < m_rowids.size(); ++r) {
        if (m_pending != Pending::New || static_cast<long>(r) != m_nPendingRow)
            added.push_back(m_rowids[r]);
    }
    std::sort(added.begin(), added.end());
    CRowStore values;
    values.Reset(m_fields.size());
    std::vector<std::int64_t> rowids;
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            m_connection->RaiseEngineError(rc);
        const std::int64_t rowid = hasIdentity ? sqlite3_column_int64(stmt, 0) : 0;
        if (!added.empty() && std::binary_search(added.begin(), added.end(), rowid))
            continue;
        rowids.push_back(rowid);
        CVariant* row = values.AppendRow();
        for (int c = 0; c < n; ++c)
            row[c] = ColumnToVariant(stmt, c + first, m_fields[c].kind);
    }
    // The fetched rows come first, the added ones after them in the order they were added.
    const auto fetched = static_cast<long>(rowids.size());
    for (size_t r = 0; r < m_values.Rows(); ++r) {
        CVariant* row = values.AppendRow();
        for (int c = 0; c < n; ++c)
            row[c] = std::move(m_values.Cell(r, c));
    }
    rowids.insert(rowids.end(), m_rowids.begin(), m_rowids.end());
    m_values = std::move(values);
    m_rowids = std::move(rowids);
    m_deleted.insert(m_deleted.begin(), static_cast<size_t>(fetched), char{0});
    m_order.resize(m_rowids.size());
    std::iota(m_order.begin(), m_order.end(), 0L);
    const auto shift = [fetched](long pos) { return pos == kFirstRowPosition ? 0 : pos + fetched; };
    m_nPos = shift(m_nPos);
    m_nPosBeforeAdd = shift(m_nPosBeforeAdd);
    if (m_pending != Pending::None)
        m_nPendingRow += fetched;
    m_bFetched = true;
    if (!m_strSort.empty())
        SortRows(m_order.begin(), m_order.begin() + fetched);
}

void CRecordset::EnsureFetched() const {
    RequireOpen();
    if (m_bFetched)
        return;
    if (m_connection->GetState() == 0) {
        throw CComError(static_cast<HRESULT>(0x800A0E7D), kSource,
                        "The connection cannot be used to perform this operation. It is either "
                        "closed or invalid in this context.");
    }
    Statement stmt;
    Prepare(m_connection, m_strFetchSql, stmt);
    if (!m_strTable.empty()) {
        if (m_lastRowid)
            sqlite3_bind_int64(stmt.p, 1, *m_lastRowid);
        else
            sqlite3_bind_null(stmt.p, 1);
    }
    // Reading the rows changes nothing a caller can see but the time taken.
    const_cast<CRecordset*>(this)->FetchRows(stmt.p);
}

void CRecordset::Reset() {
    m_bOpen = false;
    m_bFetched = true;
    m_strFetchSql.clear();
    m_fields.clear();
    m_values.Reset(0);
    m_rowids.clear();
    m_deleted.clear();
    m_order.clear();
    m_pending = Pending::None;
    m_strTable.clear();
    m_connection.reset();
}

HRESULT CRecordset::Close() {
    RequireOpen();
    Reset();
    return S_OK;
}

bool CRecordset::IsEOF() const {
    EnsureFetched();
    return m_nPos >= static_cast<long>(m_order.size());
}

bool CRecordset::IsBOF() const {
    EnsureFetched();
    return m_nPos < 0 || GetRecordCount() == 0;
}

HRESULT CRecordset::MoveNext() {
    RequireOpen();
    // Moving off a changed row stores it first.
    if (m_pending != Pending::None)
        Update();
    if (IsEOF()) {
        throw CComError(ADO_E_NOCURRENTRECORD, kSource,
                        "Either BOF or EOF is True, or the current record has been deleted. "
                        "Requested operation requires a current record.");
    }
    do {
        ++m_nPos;
    } while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]]);
    return S_OK;
}

HRESULT CRecordset::MoveFirst() {
    RequireOpen();
    if (m_pending != Pending::None)
        Update();
    EnsureFetched();
    m_nPos = 0;
    while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]])
        ++m_nPos;
    return S_OK;
}

long CRecordset::GetRecordCount() const {
    EnsureFetched();
    return static_cast<long>(std::count(m_deleted.begin(), m_deleted.end(), 0));
}

long CRecordset::GetFieldCount() const {
    RequireOpen();
    return static_cast<long>(m_fields.size());
}

const CFieldInfo& CRecordset::GetFieldInfo(long index) const {
    RequireOpen();
    return m_fields.at(static_cast<size_t>(index));
}

long CRecordset::FieldIndex(const CVariant& key) const {
    RequireOpen();
    const auto n = static_cast<long>(m_fields.size());
    switch (key.Kind()) {
        case VarKind::I2:
        case VarKind::I4:
        case VarKind::Int:
        case VarKind::UI1:
        case VarKind::UI4:
            if (key.IntValue() >= 0 && key.IntValue() < n)
                return static_cast<long>(key.IntValue());
            break;
        case VarKind::Text:
            for (long i = 0; i < n; ++i) {
                if (EqualsNoCase(m_fields[i].strName, key.TextValue()))
                    return i;
            }
            break;
        default:
            break;
    }
    throw CComError(ADO_E_ITEMNOTFOUND, "ADODB.Fields",
                    "Item cannot be found in the collection corresponding to the requested "
                    "name or ordinal.");
}

long CRecordset::CurrentRow() const {
    if (m_nPos < 0 || m_nPos >= static_cast<long>(m_order.size()) || m_deleted[m_order[m_nPos]]) {
        throw CComError(ADO_E_NOCURRENTRECORD, kSource,
                        "Either BOF or EOF is True, or the current record has been deleted. "
                        "Requested operation requires a current record.");
    }
    return m_order[m_nPos];
}

const CVariant& CRecordset::GetValue(const CVariant& key) const {
    const long field = FieldIndex(key);
    EnsureFetched();
    return m_values.Cell(CurrentRow(), field);
}

void CRecordset::PutValue(const CVariant& key, const CVariant& value) {
    const long field = FieldIndex(key);
    if (m_strTable.empty() || m_fields[field].strColumn.empty())
        RaiseNotUpdatable();
    // A pending new row is the current row and needs none of the table's rows.
    if (m_pending != Pending::New)
        EnsureFetched();
    const long row = CurrentRow();
    const CVariant stored = Coerce(value, m_fields[field].kind);
    const size_t nf = m_fields.size();
    if (m_pending == Pending::None) {
        m_pending = Pending::Edit;
        m_nPendingRow = row;
        m_savedRow.assign(&m_values.Cell(row, 0), &m_values.Cell(row, 0) + nf);
        m_changed.assign(nf, 0);
    }
    m_values.Cell(row, field) = stored;
    m_changed[field] = 1;
}

HRESULT CRecordset::AddNew() {
    RequireOpen();
    if (m_strTable.empty())
        RaiseNotUpdatable();
    if (m_pending != Pending::None)
        Update();
    const size_t nf = m_fields.size();
    m_values.AppendRow();
    m_rowids.push_back(0);
    m_deleted.push_back(0);
    m_order.push_back(static_cast<long>(m_rowids.size()) - 1);
    m_nPosBeforeAdd = m_nPos;
    m_nPos = static_cast<long>(m_order.size()) - 1;
    m_pending = Pending::New;
    m_nPendingRow = m_order.back();
    m_changed.assign(nf, 0);
    return S_OK;
}

HRESULT CRecordset::Update() {
    RequireOpen();
    if (m_pending == Pending::None)
        return S_OK;
    const size_t nf = m_fields.size();
    const long row = m_nPendingRow;
    std::vector<size_t> changed;
    for (size_t f = 0; f < nf; ++f) {
        if (m_changed[f])
            changed.push_back(f);
    }
    if (m_pending == Pending::Edit && changed.empty()) {
        m_pending = Pending::None;
        return S_OK;
    }
    const std::string table = QuoteIdentifier(m_strTable);
    std::string sql;
    if (m_pending == Pending::New) {
        if (changed.empty()) {
            sql = "INSERT INTO " + table + " DEFAULT VALUES";
        } else {
            std::string columns, marks;
            for (size_t f : changed) {
                columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn);
                marks += marks.empty() ? "?" : ", ?";
            }
            sql = "INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")";
        }
    } else {
        std::string sets;
        for (size_t f : changed) {
            sets += (sets.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn) + " = ?";
        }
        sql = "UPDATE " + table + " SET " + sets + " WHERE rowid = ?";
    }
    Statement stmt;
    Prepare(m_connection, sql, stmt);
    int index = 1;
    for (size_t f : changed)
        Bind(stmt.p, index++, m_values.Cell(row, f));
    if (m_pending == Pending::Edit)
        sqlite3_bind_int64(stmt.p, index, m_rowids[row]);
    Step(m_connection, stmt);
    if (m_pending == Pending::New) {
        m_rowids[row] = sqlite3_last_insert_rowid(m_connection->Handle());
    } else if (sqlite3_changes(m_connection->Handle()) == 0) {
        throw CComError(E_FAIL, kSource,
                        "Row cannot be located for updating. Some values may have been "
                        "changed since it was last read.");
    }
    m_pending = Pending::None;
    ReloadRow(row);
    return S_OK;
}

void CRecordset::ReloadRow(long row) {
    // Picks up what the engine filled in: auto-numbers, defaults.
    std::string columns;
    std::vector<size_t> fields;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_fields[f].strColumn.empty())
            continue;
        columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(m_fields[f].strColumn);
        fields.push_back(f);
    }
    if (fields.empty())
        return;
    Statement stmt;
    Prepare(m_connection,
            "SELECT " + columns + " FROM " + QuoteIdentifier(m_strTable) + " WHERE rowid = ?",
            stmt);
    sqlite3_bind_int64(stmt.p, 1, m_rowids[row]);
    if (sqlite3_step(stmt.p) != SQLITE_ROW)
        return;
    for (size_t i = 0; i < fields.size(); ++i) {
        m_values.Cell(row, fields[i]) =
            ColumnToVariant(stmt.p, static_cast<int>(i), m_fields[fields[i]].kind);
    }
}

void CRecordset::DiscardPending() {
    if (m_pending == Pending::New) {
        m_values.PopRow();
        m_rowids.pop_back();
        m_deleted.pop_back();
        m_order.erase(std::find(m_order.begin(), m_order.end(), m_nPendingRow));
        m_nPos = m_nPosBeforeAdd;
    } else if (m_pending == Pending::Edit) {
        std::copy(m_savedRow.begin(), m_savedRow.end(), &m_values.Cell(m_nPendingRow, 0));
    }
    m_pending = Pending::None;
}

HRESULT CRecordset::CancelUpdate() {
    RequireOpen();
    DiscardPending();
    return S_OK;
}

HRESULT CRecordset::Delete(long) {
    RequireOpen();
    if (m_strTable.empty())
        RaiseNotUpdatable();
    if (m_pending == Pending::New) {
        DiscardPending();
        return S_OK;
    }
    EnsureFetched();
    DiscardPending();
    const long row = CurrentRow();
    Statement stmt;
    Prepare(m_connection, "DELETE FROM " + QuoteIdentifier(m_strTable) + " WHERE rowid = ?", stmt);
    sqlite3_bind_int64(stmt.p, 1, m_rowids[row]);
    Step(m_connection, stmt);
    m_deleted[row] = 1;
    return S_OK;
}

void CRecordset::PutSort(const std::string& sort) {
    m_strSort = sort;
    if (!m_bOpen)
        return;
    if (!m_bFetched && sort.empty() && m_pending == Pending::None) {
        // Nothing to reorder yet (Close clears the sort): back to the first row.
        m_nPos = kFirstRowPosition;
        return;
    }
    EnsureFetched();
    ApplySort();
}

void CRecordset::ApplySort() {
    std::iota(m_order.begin(), m_order.end(), 0L);
    SortRows(m_order.begin(), m_order.end());
    // A new order starts at its first row.
    m_nPos = 0;
    while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]])
        ++m_nPos;
}

void CRecordset::SortRows(std::vector<long>::iterator first, std::vector<long>::iterator last) {
    // Parse "Field [ASC|DESC], ...".
    std::vector<std::pair<long, bool>> keys;  // field, descending
    size_t start = 0;
    while (start < m_strSort.size()) {
        size_t end = m_strSort.find(',', start);
        if (end == std::string::npos)
            end = m_strSort.size();
        std::string part = m_strSort.substr(start, end - start);
        start = end + 1;
        while (!part.empty() && std::isspace(static_cast<unsigned char>(part.front())))
            part.erase(0, 1);
        while (!part.empty() && std::isspace(static_cast<unsigned char>(part.back())))
            part.pop_back();
        if (part.empty())
            continue;
        bool descending = false;
        const size_t space = part.find_last_of(" \t");
        if (space != std::string::npos) {
            const std::string dir = part.substr(space + 1);
            if (EqualsNoCase(dir, "desc") || EqualsNoCase(dir, "asc")) {
                descending = EqualsNoCase(dir, "desc");
                part = part.substr(0, part.find_last_not_of(" \t", space) + 1);
            }
        }
        keys.emplace_back(FieldIndex(CVariant::FromText(UnquoteTableName(part))), descending);
    }
    std::stable_sort(first, last, [&](long a, long b) {
        for (const auto& [field, descending] : keys) {
            const CVariant& x = m_values.Cell(a, field);
            const CVariant& y = m_values.Cell(b, field);
            int cmp = SortRank(x) - SortRank(y);
            if (cmp == 0 && SortRank(x) == 1) {
                const double dx = NumberOf(x), dy = NumberOf(y);
                cmp = dx < dy ? -1 : dx > dy ? 1 : 0;
            } else if (cmp == 0 && SortRank(x) == 2) {
                cmp = x.TextValue().compare(y.TextValue());
            }
            if (cmp != 0)
                return descending ? cmp > 0 : cmp < 0;
        }
        return false;
    });
}
