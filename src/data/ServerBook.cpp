#include "data/ServerBook.h"

#include <memory>
#include <stdexcept>

#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Statement.h"

extern const char* const kBookSchemaSql;
extern const char* const kServerBookSchemaSql;

bool IsServerBook(const std::string& book) {
    return IsServerConnectionString(book);
}

std::vector<std::string> StartingRowStatements() {
    // The file book's script ends in its INSERT statements; they hold no semicolon in text.
    std::vector<std::string> statements;
    const std::string script = kBookSchemaSql;
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find(';', start);
        if (end == std::string::npos)
            end = script.size();
        std::string statement = script.substr(start, end - start);
        // Comment lines before the statement do not count.
        size_t line = 0;
        while (line < statement.size()) {
            const size_t first = statement.find_first_not_of(" \t\r\n", line);
            if (first == std::string::npos || statement.compare(first, 2, "--") != 0)
                break;
            line = statement.find('\n', first);
            if (line == std::string::npos)
                line = statement.size();
        }
        const size_t first = statement.find_first_not_of(" \t\r\n", line);
        if (first != std::string::npos && statement.compare(first, 6, "INSERT") == 0)
            statements.push_back(statement.substr(first));
        start = end + 1;
    }
    return statements;
}

void RequireEmptyDatabase(CConnection& connection) {
    CStatement tables(connection,
                      "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = "
                      "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind IN "
                      "('r','v','p','m')");
    if (tables.Step() && tables.ColumnInt64(0) != 0) {
        throw std::runtime_error("'" + connection.FilePath() +
                                 "' already holds tables; it was left untouched.");
    }
}

void CreateServerTables(CConnection& connection) {
    connection.Execute(kServerBookSchemaSql);
}

void CreateServerBook(const std::string& uri, const std::string& rootPasswordHash) {
    CConnection connection;
    try {
        connection.OpenServer(uri);
        RequireEmptyDatabase(connection);
        connection.BeginTrans();
        CreateServerTables(connection);
        std::vector<std::string> rows = StartingRowStatements();
        rows.push_back("INSERT INTO tbUser (user, password) VALUES ('root', '" + rootPasswordHash +
                       "')");
        for (const std::string& row : rows)
            connection.Execute(TranslateJetStatement(row, EngineKind::PostgreSQL).sql.c_str());
        connection.CommitTrans();
    } catch (const CComError& e) {
        throw std::runtime_error("Cannot create the book on '" +
                                 (connection.GetState() != 0 ? connection.FilePath() : uri) +
                                 "': " + e.Description());
    }
}
