#pragma once

#include <optional>
#include <string>

// The household book's usual place: $XDG_DATA_HOME/tillbook/data.mdb (by default under
// ~/.local/share).
std::string DefaultBookPath();

// Makes the book's folder the working directory and points every dialog at the book: the one
// named on the command line, else data.mdb in the working directory, else the usual book,
// created on first use. Returns what went wrong, or an empty text; on a failure the program
// goes on where it is, and the dialogs report the book they cannot open.
std::string EnterBook(const std::optional<std::string>& named);
