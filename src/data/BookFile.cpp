#include "data/BookFile.h"

#include <initializer_list>
#include <memory>

#include "data/BookSide.h"
#include "data/PasswordHash.h"
#include "data/ServerBook.h"
#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseFile.h"
#include "platform/ado/Recordset.h"

extern const char* const kBookSchemaSql;

namespace {

enum class Need { Any, Text, Number, Date };

struct ColumnRule {
    int position;  // -1: anywhere
    const char* name;
    Need need;
};

bool Satisfies(VarKind kind, Need need) {
    switch (need) {
        case Need::Any:
            return true;
        case Need::Text:
            return kind == VarKind::Text || kind == VarKind::Empty;
        case Need::Number:
            return kind == VarKind::R8 || kind == VarKind::R4 || kind == VarKind::I4 ||
                   kind == VarKind::I2 || kind == VarKind::Currency || kind == VarKind::Decimal;
        case Need::Date:
            return kind == VarKind::Date;
    }
    return false;
}

const char* NeedText(Need need) {
    switch (need) {
        case Need::Text:
            return "TEXT";
        case Need::Number:
            return "DOUBLE";
        case Need::Date:
            return "DATETIME";
        default:
            return "any type";
    }
}

bool IsDamage(const CComError& e) {
    return e.Facts().engineCode == EngineCode::Corrupt ||
           e.Facts().engineCode == EngineCode::NotADb;
}

// Why a table could not be opened: it is not there, the file is damaged where it
// lies, or something else the engine says.
std::string TableProblem(const std::string& table, const CComError& e) {
    if (e.Facts().lack == Lack::Table)
        return "missing table " + table;
    if (IsDamage(e))
        return "damaged: table " + table + " cannot be read (" + e.Description() + ")";
    return "table " + table + " cannot be read: " + e.Description();
}

// Whether the program could store a row: the file's permissions, and the folder
// where the engine keeps its journal while writing. The trial write is undone.
std::string WriteProblem(CConnection& connection) {
    if (connection.IsReadOnly())
        return "read-only: " + connection.FilePath() + " cannot be written (file permissions)";
    try {
        connection.BeginTrans();
    } catch (const CComError& e) {
        if (e.Facts().engineCode == EngineCode::Busy || e.Facts().engineCode == EngineCode::Locked)
            return "busy: another program is writing " + connection.FilePath();
        return "read-only: " + connection.FilePath() + " cannot be written (" + e.Description() +
               ")";
    }
    std::string problem;
    try {
        connection.Execute(connection.Kind() == EngineKind::SQLite
                               ? "CREATE TABLE main.\"tillbook-db write check\" (x)"
                               : "CREATE TABLE \"tillbook-db write check\" (x integer)");
    } catch (const CComError& e) {
        problem =
            "read-only: " + connection.FilePath() + " cannot be written (" + e.Description() + ")";
    }
    try {
        connection.RollbackTrans();
    } catch (const CComError&) {
        // Nothing was written that a failed rollback could keep.
    }
    return problem;
}

void CheckTable(const ConnectionPtr& connection, const std::string& table,
                std::initializer_list<ColumnRule> rules, std::vector<std::string>& problems) {
    CRecordset rs;
    try {
        rs.Open(table, connection, adOpenStatic, adLockOptimistic, adCmdTable);
    } catch (const CComError& e) {
        problems.push_back(TableProblem(table, e));
        return;
    }
    for (const ColumnRule& rule : rules) {
        long found = -1;
        for (long i = 0; i < rs.GetFieldCount(); ++i) {
            if (rs.GetFieldInfo(i).strName == rule.name)
                found = i;
        }
        if (found < 0) {
            problems.push_back("table " + table + ": missing column " + rule.name);
        } else if (rule.position >= 0 && found != rule.position) {
            problems.push_back("table " + table + ": column " + rule.name + " is at position " +
                               std::to_string(found) + ", expected " +
                               std::to_string(rule.position));
        } else if (!Satisfies(rs.GetFieldInfo(found).kind, rule.need)) {
            problems.push_back("table " + table + ": column " + rule.name + " must be " +
                               NeedText(rule.need));
        }
    }
}

}  // namespace

const std::string& BookSchema() {
    static const std::string schema =
        EntryTableSchema(kIncomeSide) + "\n" + EntryTableSchema(kPaySide) + "\n" + kBookSchemaSql;
    return schema;
}

void CreateBook(const std::string& path) {
    // The administrator goes in with the hash of the password the login dialog offers, and
    // in the same transaction, so no plain copy ever reaches the file.
    if (IsServerBook(path)) {
        CreateServerBook(path, HashPassword("kerno482"));
        return;
    }
    const std::string root = "INSERT INTO tbUser (user, password) VALUES ('root', '" +
                             HashPassword("kerno482") + "');\n";
    CreateDatabaseFile(path, BookSchema() + root);
}

void CreateEmptyBook(const std::string& path) {
    // The schema script ends in the starting rows, which a copy brings along itself.
    std::string tables = BookSchema();
    const std::vector<std::string> rows = StartingRowStatements();
    const size_t rowsStart = rows.empty() ? std::string::npos : tables.find(rows.front());
    if (rowsStart != std::string::npos)
        tables.erase(rowsStart);
    CreateDatabaseFile(path, tables);
}

std::vector<std::string> CheckBook(const std::string& path) {
    std::vector<std::string> problems;
    auto connection = std::make_shared<CConnection>();
    try {
        if (IsServerBook(path))
            connection->OpenServer(path);
        else
            connection->OpenFile(path);
    } catch (const CComError& e) {
        problems.push_back(e.Description());
        return problems;
    }
    for (const BookSide* side : kBookSides) {
        CheckTable(connection, side->entryTable,
                   {{kNumberPosition, side->numberColumn, Need::Number},
                    {kMemberPosition, side->memberColumn, Need::Text},
                    {kAmountPosition, side->amountColumn, Need::Number},
                    {kDatePosition, side->dateColumn, Need::Date},
                    {kItemPosition, side->itemColumn, Need::Text},
                    {-1, side->remarkColumn, Need::Text}},
                   problems);
    }
    CheckTable(connection, "tbUser", {{1, "user", Need::Text}, {2, "password", Need::Text}},
               problems);
    CheckTable(connection, "baseData", {{-1, "类型", Need::Text}}, problems);
    for (const char* table : {kMemberTable, kIncomeSide.itemTable, kPaySide.itemTable}) {
        CheckTable(connection, table, {{1, "类型", Need::Text}, {-1, "备注", Need::Text}},
                   problems);
    }
    // Every category table that baseData names must exist.
    try {
        CRecordset rs;
        rs.Open("baseData", connection, adOpenStatic, adLockOptimistic, adCmdTable);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const CVariant name = rs.GetValue(CVariant::FromText("类型"));
            if (name.Kind() != VarKind::Text)
                continue;
            CRecordset category;
            try {
                category.Open(name.TextValue(), connection, adOpenStatic, adLockOptimistic,
                              adCmdTable);
            } catch (const CComError& e) {
                problems.push_back(e.Facts().lack == Lack::Table
                                       ? "baseData names a missing table: " + name.TextValue()
                                       : TableProblem(name.TextValue(), e));
            }
        }
    } catch (const CComError& e) {
        // A missing table or column is reported above; damage is not.
        if (IsDamage(e))
            problems.push_back("damaged: table baseData cannot be read (" + e.Description() + ")");
    }
    // The server checks its own storage; a file is checked here.
    if (connection->Kind() == EngineKind::SQLite) {
        try {
            CRecordset rs;
            rs.Open("PRAGMA integrity_check", connection, adOpenStatic, adLockOptimistic,
                    adCmdUnknown);
            for (; !rs.IsEOF(); rs.MoveNext()) {
                const CVariant line = rs.GetValue(CVariant::FromI4(0));
                if (line.Kind() == VarKind::Text && line.TextValue() == "ok")
                    continue;
                problems.push_back("integrity: " + line.TextValue());
            }
        } catch (const CComError& e) {
            problems.push_back(
                (IsDamage(e) ? "damaged: integrity check failed: " : "integrity check failed: ") +
                e.Description());
        }
    }
    // A sound book the program cannot write is no use for book-keeping.
    if (problems.empty()) {
        const std::string problem = WriteProblem(*connection);
        if (!problem.empty())
            problems.push_back(problem);
    }
    return problems;
}
