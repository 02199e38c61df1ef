#pragma once

#include <string>

// Every dialog reaches the household book through this string: data.mdb in the working
// directory, unless start-up named another book.
const char* BookConnectionString();

// Names the book every dialog opens from now on (a path to a book file).
void SetBookDataSource(const std::string& path);
