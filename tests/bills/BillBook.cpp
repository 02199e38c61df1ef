#include "BillBook.h"

#include <functional>

#include "data/ServerBook.h"
#include "platform/ado/BulkDatabase.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Statement.h"

namespace {

// Each row of `sql` as the engine keeps it.
void ReadRows(const std::string& book, const std::string& sql,
              const std::function<void(const std::vector<StoredValue>&)>& take) {
    if (!IsServerBook(book)) {
        ReadStoredRows(book, sql, nullptr, take);
        return;
    }
    CConnection connection;
    connection.OpenServer(book);
    CStatement statement(connection, TranslateJetStatement(sql, EngineKind::PostgreSQL).sql);
    while (statement.Step()) {
        std::vector<StoredValue> row(static_cast<size_t>(statement.ColumnCount()));
        for (int c = 0; c < statement.ColumnCount(); ++c) {
            const EngineValue e = statement.Column(c, VarKind::Empty);
            StoredValue& v = row[static_cast<size_t>(c)];
            v.kind = e.type == EngineValue::Type::Null      ? StoredValue::Kind::Null
                     : e.type == EngineValue::Type::Integer ? StoredValue::Kind::Integer
                     : e.type == EngineValue::Type::Real    ? StoredValue::Kind::Real
                                                            : StoredValue::Kind::Text;
            v.integer = e.integer;
            v.real = e.real;
            v.bytes = std::string(e.Bytes());
        }
        take(row);
    }
}

}  // namespace

std::vector<std::vector<std::string>> QueryBook(const std::string& book, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    ReadRows(book, sql, [&](const std::vector<StoredValue>& values) {
        rows.emplace_back();
        for (const StoredValue& v : values) {
            switch (v.kind) {
                case StoredValue::Kind::Integer:
                    rows.back().push_back(std::to_string(v.integer));
                    break;
                case StoredValue::Kind::Real:
                    rows.back().push_back(std::to_string(v.real));
                    break;
                case StoredValue::Kind::Null:
                    rows.back().push_back("NULL");
                    break;
                default:
                    rows.back().push_back(v.bytes);
            }
        }
    });
    return rows;
}

long long QueryNumber(const std::string& book, const std::string& sql) {
    long long number = 0;
    ReadRows(book, sql, [&](const std::vector<StoredValue>& values) {
        if (values[0].kind == StoredValue::Kind::Integer)
            number = values[0].integer;
        else if (values[0].kind == StoredValue::Kind::Real)
            number = static_cast<long long>(values[0].real);
    });
    return number;
}

bool BookHasTable(const std::string& book, const std::string& table) {
    CConnection connection;
    if (IsServerBook(book))
        connection.OpenServer(book);
    else
        connection.OpenFile(book);
    return connection.Engine().FindTable(table).has_value();
}
