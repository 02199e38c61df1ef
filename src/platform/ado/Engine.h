#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ado/EngineValue.h"
#include "platform/ado/Variant.h"

// The few calls the connection and recordset need from a database engine. Every
// engine (the embedded file, the server) implements them; nothing above this
// layer knows which one is in use. Failures throw CComError with the facts filled in.

enum class EngineKind : std::uint8_t { SQLite, PostgreSQL };

// One prepared statement. Parameters are numbered from 1, columns from 0.
class IEngineStatement {
public:
    virtual ~IEngineStatement() = default;

    virtual int ColumnCount() const = 0;
    virtual void Bind(int index, const EngineValue& value) = 0;
    // True when a row came, false when the statement is done.
    virtual bool Step() = 0;
    // Starts the statement over with every parameter unbound (null).
    virtual void Reset() = 0;
    // Rows the result holds once known (the server sends them all at once); 0 when unknown.
    virtual std::size_t ExpectedRows() const { return 0; }

    // The current row's value as stored: null, integer, real, text or blob. A number
    // read for a text field (`numberAsText`) also carries the engine's text of it.
    virtual EngineValue Value(int column, bool numberAsText) const = 0;
    virtual std::string_view ColumnName(int column) const = 0;
    // Empty for a column that does not come straight from a table.
    virtual std::string_view ColumnDeclaredType(int column) const = 0;
    virtual std::string_view ColumnOriginTable(int column) const = 0;
    virtual std::string_view ColumnOriginName(int column) const = 0;
};

// A table or view as the engine names it.
struct EngineTable {
    std::string name;
    bool isTable = false;  // false for a view: its rows cannot be written back
};

// One open connection to a book.
class IEngineConnection {
public:
    virtual ~IEngineConnection() = default;

    virtual EngineKind Kind() const = 0;
    // What the connection is open on, for messages: the file's full path, or the
    // server and database (never a password).
    virtual const std::string& Describe() const = 0;

    // Prepares the first statement of `sql`; text after it other than spaces and
    // semicolons is refused. Null, with no exception, when `quiet` and the engine
    // cannot prepare it.
    virtual std::unique_ptr<IEngineStatement> Prepare(std::string_view sql, bool quiet) = 0;
    // Runs statements without rows.
    virtual void Execute(std::string_view sql) = 0;

    virtual void Begin(bool serializable) = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

    // The table or view of that name (compared without ASCII case), if any.
    virtual std::optional<EngineTable> FindTable(std::string_view name) = 0;
    // The row key of the last row this connection inserted, and the rows its last write changed.
    virtual std::int64_t LastInsertRowid() const = 0;
    virtual std::int64_t Changes() const = 0;
    virtual bool IsReadOnly() const = 0;
    // True when the connection is known to be broken (the server went away).
    virtual bool IsBroken() const { return false; }
};
