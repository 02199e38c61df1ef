#include "data/EntryEdits.h"

#include "data/ADODatabase.h"
#include "data/ADOTransaction.h"
#include "data/FieldConversion.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Statement.h"

namespace {

struct Fnv32 {
    std::uint32_t hash = 2166136261u;
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 16777619u;
    }
    void Add(const std::string& text) { Add(text.c_str(), text.size() + 1); }
    void Add(double value) {
        // Zero has two signs, one stored amount.
        if (value == 0)
            value = 0;
        Add(&value, sizeof value);
    }
};

std::string Column(const std::string& name) {
    return QuoteIdentifier(name);
}

EngineValue ToEngine(const StoredRows::Value& v) {
    EngineValue e;
    e.type = v.type;
    e.integer = v.integer;
    e.real = v.real;
    e.bytes = v.bytes;  // a std::string's data is never null, so "" stays an empty text
    return e;
}

CVariant TextOrNull(const std::string& text) {
    return text.empty() ? CVariant::Null() : CVariant::FromText(text);
}

CVariant DateOrNull(const DateTimeValue& date) {
    return date.GetStatus() == DateTimeValue::null ? CVariant::Null()
                                                   : CVariant::FromDate(date.GetDays());
}

// The statements of one step on one side of the book, prepared once for all its rows.
class SideStatements {
public:
    SideStatements(CADODatabase& db, const BookSide& side)
        : m_connection(*db.GetActiveConnection()),
          m_side(side),
          m_select(m_connection, "select * from " + Column(side.entryTable) + " where " +
                                     Column(side.numberColumn) + " = ?") {}

    // The row with this 编号, appended to `rows`; false when there is none.
    bool Read(std::int64_t number, StoredRows& rows) {
        m_select.Reset();
        m_select.BindInt64(1, number);
        if (!m_select.Step())
            return false;
        const int count = m_select.ColumnCount();
        if (rows.columns.empty()) {
            for (int c = 0; c < count; ++c) {
                rows.columns.emplace_back(m_select.ColumnName(c));
                rows.kinds.push_back(KindOfDeclaredType(m_select.ColumnDeclaredType(c)));
            }
        }
        StoredRows::Row row{number, {}};
        for (int c = 0; c < count; ++c) {
            const EngineValue e = m_select.Column(c, rows.kinds[static_cast<std::size_t>(c)]);
            row.values.push_back({e.type, e.integer, e.real, std::string(e.Bytes())});
        }
        rows.rows.push_back(std::move(row));
        return true;
    }

    // Reads the row and checks it still holds what it held when listed.
    bool ReadAsListed(const ListedEntry& listed, StoredRows& rows) {
        if (!Read(listed.number, rows))
            return false;
        if (EntryFingerprint(rows.Fields(rows.rows.size() - 1)) == listed.fingerprint)
            return true;
        rows.rows.pop_back();
        return false;
    }

    void Delete(std::int64_t number) {
        if (!m_delete.IsPrepared())
            m_delete =
                CStatement(m_connection, "delete from " + Column(m_side.entryTable) + " where " +
                                             Column(m_side.numberColumn) + " = ?");
        m_delete.Reset();
        m_delete.BindInt64(1, number);
        m_delete.Step();
    }

    // Puts the row back with its 编号 and every value as it was.
    void Insert(const StoredRows& rows, const StoredRows::Row& row) {
        if (!m_insert.IsPrepared()) {
            std::string names, marks;
            for (const std::string& name : rows.columns) {
                names += (names.empty() ? "" : ", ") + Column(name);
                marks += marks.empty() ? "?" : ", ?";
            }
            // The server makes its keys itself unless told that these are the row's own.
            const char* keep =
                m_connection.Kind() == EngineKind::PostgreSQL ? " overriding system value" : "";
            m_insert = CStatement(m_connection, "insert into " + Column(m_side.entryTable) + " (" +
                                                    names + ")" + keep + " values (" + marks + ")");
        }
        m_insert.Reset();
        for (std::size_t c = 0; c < row.values.size(); ++c)
            m_insert.Bind(static_cast<int>(c + 1), ToEngine(row.values[c]));
        m_insert.Step();
    }

    CConnection& Connection() { return m_connection; }

private:
    CConnection& m_connection;
    const BookSide& m_side;
    CStatement m_select;
    CStatement m_delete;
    CStatement m_insert;
};

std::uint32_t StoredFingerprint(SideStatements& statements, std::int64_t number) {
    StoredRows now;
    return statements.Read(number, now) ? EntryFingerprint(now.Fields(0)) : 0;
}
}  // namespace

std::uint32_t EntryFingerprint(const EntryFields& fields) {
    Fnv32 f;
    f.Add(fields.member);
    f.Add(fields.amount);
    const auto status = static_cast<unsigned char>(fields.date.GetStatus());
    f.Add(&status, 1);
    if (fields.date.GetStatus() != DateTimeValue::null)
        f.Add(fields.date.GetDays());
    f.Add(fields.item);
    f.Add(fields.remark);
    return f.hash;
}

EntryFields StoredRows::Fields(std::size_t i) const {
    const Row& row = rows[i];
    auto variant = [&](std::size_t c) {
        return c < row.values.size() ? VariantFromEngine(ToEngine(row.values[c]), kinds[c])
                                     : CVariant::Null();
    };
    auto text = [&](std::size_t c) {
        std::string value;
        VariantToText(variant(c), "", value);
        return value;
    };
    EntryFields fields;
    fields.member = text(kMemberPosition);
    fields.amount = VariantToDouble(variant(kAmountPosition));
    // A stored text that is no date reads as no date at all, as the list shows it.
    if (!VariantToDateTime(variant(kDatePosition), fields.date))
        fields.date = DateTimeValue::Null();
    fields.item = text(kItemPosition);
    fields.remark = text(kRemarkPosition);
    return fields;
}

std::optional<StoredRows> ReadListedEntries(CADODatabase& db, const BookSide& side,
                                            const std::vector<ListedEntry>& listed) {
    SideStatements statements(db, side);
    StoredRows rows;
    for (const ListedEntry& entry : listed) {
        if (!statements.ReadAsListed(entry, rows))
            return std::nullopt;
    }
    return rows;
}

EditOutcome DeleteEntries(CADODatabase& db, const BookSide& side,
                          const std::vector<ListedEntry>& listed, StoredRows& removed) {
    CADOTransaction transaction(db);
    SideStatements statements(db, side);
    StoredRows rows;
    for (const ListedEntry& entry : listed) {
        if (!statements.ReadAsListed(entry, rows))
            return EditOutcome::Stale;
        statements.Delete(entry.number);
    }
    transaction.Commit();
    removed = std::move(rows);
    return EditOutcome::Done;
}

EditOutcome ChangeEntry(CADODatabase& db, const BookSide& side, const ListedEntry& listed,
                        const EntryFields& fields, StoredRows& before, std::uint32_t& fingerprint) {
    CADOTransaction transaction(db);
    SideStatements statements(db, side);
    StoredRows rows;
    if (!statements.ReadAsListed(listed, rows))
        return EditOutcome::Stale;
    const EntryFields stored = rows.Fields(0);

    std::string assignments;
    std::vector<CVariant> values;
    auto set = [&](const char* column, bool differs, CVariant value) {
        if (!differs)
            return;
        assignments += (assignments.empty() ? "" : ", ") + Column(column) + " = ?";
        values.push_back(std::move(value));
    };
    set(side.memberColumn, fields.member != stored.member, TextOrNull(fields.member));
    set(side.amountColumn, fields.amount != stored.amount, CVariant::FromR8(fields.amount));
    set(side.dateColumn, !(fields.date == stored.date), DateOrNull(fields.date));
    set(side.itemColumn, fields.item != stored.item, TextOrNull(fields.item));
    set(side.remarkColumn, fields.remark != stored.remark, TextOrNull(fields.remark));
    if (values.empty())
        return EditOutcome::Unchanged;

    CStatement update(statements.Connection(), "update " + Column(side.entryTable) + " set " +
                                                   assignments + " where " +
                                                   Column(side.numberColumn) + " = ?");
    for (std::size_t i = 0; i < values.size(); ++i)
        update.Bind(static_cast<int>(i + 1), values[i]);
    update.BindInt64(static_cast<int>(values.size() + 1), listed.number);
    update.Step();
    fingerprint = StoredFingerprint(statements, listed.number);
    transaction.Commit();
    before = std::move(rows);
    return EditOutcome::Done;
}

EditOutcome RestoreEntries(CADODatabase& db, const BookSide& side, const StoredRows& before,
                           const std::vector<std::optional<std::uint32_t>>& after) {
    CADOTransaction transaction(db);
    SideStatements statements(db, side);
    for (std::size_t i = 0; i < before.rows.size(); ++i) {
        const StoredRows::Row& row = before.rows[i];
        StoredRows now;
        const bool present = statements.Read(row.number, now);
        const std::optional<std::uint32_t> left = after[i];
        if (present != left.has_value() || (present && EntryFingerprint(now.Fields(0)) != *left))
            return EditOutcome::Stale;
        if (present)
            statements.Delete(row.number);
        statements.Insert(before, row);
    }
    transaction.Commit();
    return EditOutcome::Done;
}
