#pragma once

#include <exception>
#include <optional>
#include <string>

// The message to show the user for a database failure (CADOException or
// CComError); std::nullopt for any other exception.
std::optional<std::string> DescribeDatabaseFailure(std::exception_ptr failure);

// A file path as the messages show it: whole when short, else shortened in the
// middle with "…" (the start and the file's name stay).
std::string ShownPath(const std::string& path);
