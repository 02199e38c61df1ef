#pragma once

#include <string>

// Every dialog reaches the household book through this string. A server book when one is
// chosen: by `--book postgresql://...` (SetBookDataSource), else TILLBOOK_BOOK in the
// environment, else `book=` in $XDG_CONFIG_HOME/tillbook/tillbook.conf (QSettings INI). Otherwise
// the file book: data.mdb in the working directory, unless start-up named another file. The
// choice is read afresh at each call, and a password written into a chosen URI is dropped:
// passwords come only from libpq's own ~/.pgpass or PGPASSWORD.
const char* BookConnectionString();

// Names the book every dialog opens from now on: a path to a book file, or a server's URI.
void SetBookDataSource(const std::string& path);

// A server URI without the password written into it; other strings unchanged.
std::string WithoutPassword(const std::string& connectionString);

// What the book is, for people: the server URI (without a password) or the file's name.
std::string ShownBookName(const std::string& connectionString);
