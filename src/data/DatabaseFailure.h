#pragma once

#include <exception>
#include <optional>
#include <string>

// The message to show the user for a database failure (CADOException or
// CComError); std::nullopt for any other exception.
std::optional<std::string> DescribeDatabaseFailure(std::exception_ptr failure);
