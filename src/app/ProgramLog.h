#pragma once

#include <QLoggingCategory>
#include <QString>

// Database failures: the error barrier writes their engine codes, file and statement here.
Q_DECLARE_LOGGING_CATEGORY(lcData)

// The program's log: the "tillbook.*" categories go to stderr and to a size-capped
// tillbook.log in `folder`, the book's; the error barrier logs to lcData.
void InstallProgramLog(const QString& folder);
