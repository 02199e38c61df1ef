#pragma once

#include <string>

// Puts a backup in the book's place. The backup is first copied beside the book and checked
// as a book (tables, columns, integrity, writable); then the book as it is gets backed up (a
// book that cannot be read whole is kept as it is, beside the backups); then the copy takes the
// book's name with one rename, so at every moment the book is the old one or the restored one,
// whole. Throws BackupError with the book untouched: kind NotABook when `backupPath` is not a
// sound book, InUse when another program is writing the book.
// Returns the backup of the book as it was (empty when there was no book).
std::string RestoreBook(const std::string& backupPath, const std::string& bookPath);
