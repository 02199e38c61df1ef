#pragma once

#include <string>
#include <vector>

// Books on a PostgreSQL server, named by libpq URIs ("postgresql://user@host:port/dbname").

// True when `book` names a server book rather than a file.
bool IsServerBook(const std::string& book);

// Creates the book's tables and starting rows in the empty database `uri` names, in one
// transaction. Throws std::runtime_error when the database cannot be reached or already
// holds tables.
void CreateServerBook(const std::string& uri, const std::string& rootPasswordHash);

class CConnection;

// Throws std::runtime_error unless the database `connection` is open on holds no tables.
void RequireEmptyDatabase(CConnection& connection);
// Creates the book's tables, without rows, in the current transaction of `connection`.
void CreateServerTables(CConnection& connection);

// The statements that put the starting rows into a new book, in the file book's dialect.
std::vector<std::string> StartingRowStatements();
