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

// A table name as a safely quoted SQLite identifier; [name] brackets are removed.
std::string QuoteIdentifier(std::string_view name);
// The bare table name of a source that is a table name ("[x]", "\"x\"" or x).
std::string UnquoteTableName(std::string_view source);
