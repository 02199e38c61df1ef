#pragma once

#include <string>
#include <string_view>

#include "platform/ado/Engine.h"

// A statement in the Jet dialect, rewritten for SQLite.
struct JetTranslation {
    std::string sql;
    // For a plain select from one table: the same statement yielding that
    // table's rowid as an extra first column, so rows can be written back.
    std::string sqlWithIdentity;
    std::string identityTable;
};

// Rewrites #date# literals into ISO text literals and, for single-table selects,
// asks for the rowid. Quoted text and identifiers are copied unchanged.
// Throws CComError (DB_E_ERRORSINCOMMAND) for a malformed date literal.
JetTranslation TranslateJetStatement(std::string_view jet, EngineKind target = EngineKind::SQLite);

// A name as a safely quoted SQLite identifier: in double quotes, each one inside doubled.
std::string QuoteIdentifier(std::string_view name);
// A table name read from the book, made safe to stand in a Jet statement as one identifier: in
// brackets, or quoted as QuoteIdentifier does when the name holds a closing bracket.
std::string SqlIdentifier(const std::string& name);
// The bare table name of a source that is a table name ("[x]", "\"x\"" or x).
std::string UnquoteTableName(std::string_view source);
