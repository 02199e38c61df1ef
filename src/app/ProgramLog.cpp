#include "app/ProgramLog.h"

#include <QDir>

#include "platform/ui/ErrorBarrier.h"
#include "platform/ui/LogFile.h"

Q_LOGGING_CATEGORY(lcData, "tillbook.data")

namespace {
// Thousands of failures fit; with the one older file kept, at most about 2 MiB on disk.
constexpr qint64 kLogFileBytes = 1024 * 1024;
}  // namespace

void InstallProgramLog(const QString& folder) {
    InstallLogFile(QDir(folder).filePath(QStringLiteral("tillbook.log")),
                   QStringLiteral("tillbook."), kLogFileBytes);
    SetFailureLog(&lcData);
}
