#pragma once

#include <string>
#include <utility>
#include <vector>

// (类型, 备注) rows of a category table, in the order the table yields them.
using CategoryRows = std::vector<std::pair<std::string, std::string>>;

// The rows of a category table of the book in the working directory, read as the entry
// dialogs read them: the table opened by name, in the order it yields them.
CategoryRows KindRows(const std::string& kind);
// The identity values (position 0) of a category table, in the same order.
std::vector<std::string> KindIds(const std::string& kind);
// Runs one statement on the book in the working directory.
void ExecuteOnBook(const std::string& statement);
// Replaces the rows of a category table with entries having no remark.
void FillKind(const std::string& kind, const std::vector<std::string>& types);
