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
    // The file book's script without its comments, cut at each semicolon outside text.
    std::vector<std::string> statements;
    const std::string script = kBookSchemaSql;
    std::string statement;
    bool inText = false;
    for (size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (!inText && c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
            i = script.find('\n', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        if (c == '\'')
            inText = !inText;
        if (c != ';' || inText) {
            statement += c;
            continue;
        }
        const size_t first = statement.find_first_not_of(" \t\r\n");
        if (first != std::string::npos && statement.compare(first, 6, "INSERT") == 0)
            statements.push_back(statement.substr(first));
        statement.clear();
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
