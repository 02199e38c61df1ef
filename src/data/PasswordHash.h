#pragma once

#include <string>

// Passwords as tbUser keeps them: never the password itself but a salted Argon2id hash in its
// self-describing text form, "$argon2id$v=19$m=<KiB>,t=<passes>,p=<lanes>$<salt>$<hash>", so a
// copy of the book does not give away the family's passwords.

// The hash of `password` with a fresh random salt. Throws std::runtime_error when it cannot be
// made (the memory it needs is not there).
std::string HashPassword(const std::string& password);

// True when `stored` is in the hash form, well made or not.
bool IsPasswordHash(const std::string& stored);

// True when `typed` is the password that `stored` keeps. A hash is verified; any other text
// comes from a book made before passwords were hashed (or imported) and must equal `typed`
// exactly. A damaged hash matches nothing.
bool PasswordMatches(const std::string& stored, const std::string& typed);
