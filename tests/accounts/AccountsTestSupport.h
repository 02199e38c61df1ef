#pragma once

#include <string>
#include <utility>
#include <vector>

// The rows of tbUser, in the order the table yields them: (user, password).
std::vector<std::pair<std::string, std::string>> UserRows();

// Runs a statement on the book in the working directory.
void ExecuteOnBook(const std::string& statement);

// Makes database failures read as the program shows them, for as long as it lives.
class DatabaseMessages {
public:
    DatabaseMessages();
    ~DatabaseMessages();
};
