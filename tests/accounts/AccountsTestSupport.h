#pragma once

#include <string>
#include <utility>
#include <vector>

// The rows of tbUser, in the order the table yields them: (user, password), the password as
// stored. Given `known` passwords, a hashed one reads instead "hash:" followed by the first of
// them that it verifies, or by "?" for none.
std::vector<std::pair<std::string, std::string>> UserRows(
    const std::vector<std::string>& known = {});

// Runs a statement on the book in the working directory.
void ExecuteOnBook(const std::string& statement);

// Makes database failures read as the program shows them, for as long as it lives.
class DatabaseMessages {
public:
    DatabaseMessages();
    ~DatabaseMessages();
};
