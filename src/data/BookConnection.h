#pragma once

#include <string>

// The household book every dialog opens: a server book when one is chosen (TILLBOOK_BOOK in
// the environment, else `book=` in $XDG_CONFIG_HOME/tillbook/tillbook.conf), otherwise the
// file book in the working directory. Read afresh at each use, so a test or a second book
// tool run sees the current choice.
std::string BookConnectionString();

// The file book's connection string, the default.
constexpr const char* kFileBookConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";

// A password written into a server URI is dropped: passwords come only from libpq's own
// ~/.pgpass or PGPASSWORD. Other strings are returned unchanged.
std::string WithoutPassword(const std::string& connectionString);

// What the book is, for people: the server URI or the file's name.
std::string ShownBookName(const std::string& connectionString);

// Converts to the current choice wherever a connection string is wanted.
struct BookConnectionChoice {
    operator std::string() const { return BookConnectionString(); }
};
inline constexpr BookConnectionChoice kBookConnectionString{};
