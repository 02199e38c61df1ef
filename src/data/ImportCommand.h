#pragma once

#include <string>

// The command that turns the Jet/Access file at `path` into a book, ready to
// paste into a shell: the tillbook-db that sits beside `programPath` when there
// is one (else the bare name, found on PATH), and the whole path of the file,
// quoted when it holds anything a shell would read otherwise.
std::string ImportCommandFor(const std::string& path, const std::string& programPath);

// The same for the running program.
std::string ImportCommandFor(const std::string& path);
