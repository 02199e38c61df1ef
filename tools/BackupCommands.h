#pragma once

#include <cstdio>
#include <string>

// `tillbook-db backup BOOK [DIR]`, `backups BOOK` and `restore BACKUP BOOK`, messages included.
// Each returns the process exit code.
int RunBackupCommand(const std::string& book, const std::string& folder, std::FILE* out,
                     std::FILE* err);
int RunBackupsCommand(const std::string& book, std::FILE* out, std::FILE* err);
int RunRestoreCommand(const std::string& backup, const std::string& book, std::FILE* out,
                      std::FILE* err);
