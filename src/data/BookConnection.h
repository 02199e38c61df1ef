#pragma once

#include <string>

// Every dialog reaches the household book through this string: the book start-up named
// (SetBookDataSource, from `--book`), else the one chosen by TILLBOOK_BOOK in the environment,
// else by `book=` in $XDG_CONFIG_HOME/tillbook/tillbook.conf (QSettings INI), else data.mdb in
// the working directory. A chosen book is a file's path or a server's URI
// (postgresql://user@host:port/dbname). The choice is read afresh at each call, and a password
// written into a URI is dropped: passwords come only from libpq's own ~/.pgpass or PGPASSWORD.
const char* BookConnectionString();

// True when the environment or the configuration file chooses the book.
bool BookIsChosen();

// Names the book every dialog opens from now on: a path to a book file, or a server's URI.
void SetBookDataSource(const std::string& path);

// The connection string of a book named by a file's path or a server's URI.
std::string ConnectionStringFor(const std::string& book);

// A server URI without the password written into it; other strings unchanged.
std::string WithoutPassword(const std::string& connectionString);

// What the book is, for people: the server URI (without a password) or the file's name.
std::string ShownBookName(const std::string& connectionString);
