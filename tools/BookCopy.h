#pragma once

#include <cstdio>
#include <string>

// `tillbook-db copy FROM TO`: copies a whole book, every table and row with its 编号, between
// any two books (a file path or a server URI each). The target must be new: a file that does
// not exist yet, or a server database without tables. Rows keep their stored order. The
// counts of both sides are compared before it says it is done. Returns the exit code.
int RunCopyCommand(const std::string& from, const std::string& to, std::FILE* out, std::FILE* err);
