#pragma once

#include <cstdio>
#include <string>

// tillbook-db import-bill BOOK FILE --member NAME [--dry-run]: reads an Alipay or WeChat Pay
// statement and books its transactions for the member, as the import window does; --dry-run
// says what it would do and writes nothing. 0 on success, 1 on failure.
int RunImportBillCommand(const std::string& book, const std::string& file,
                         const std::string& member, bool dryRun, std::FILE* out, std::FILE* err);
