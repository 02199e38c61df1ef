#include "platform/ui/LogFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

namespace {
Q_LOGGING_CATEGORY(lcKept, "book.kept")
Q_LOGGING_CATEGORY(lcOther, "other")

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Only the named categories reach the file; a full file gives way to a new one, the last
// older one kept, so the log never grows past about twice its cap.
TEST(LogFile, KeepsItsCategoriesOneLineEachAndStaysWithinItsCap) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.log"));
    constexpr qint64 kCap = 400;
    InstallLogFile(path, QStringLiteral("book."), kCap);
    qCWarning(lcOther) << "not in the file";
    for (int i = 0; i < 30; ++i)
        qCWarning(lcKept).noquote() << QStringLiteral("message %1\nsecond half").arg(i);
    InstallLogFile({}, {}, 0);

    const QByteArray current = Contents(path);
    const QByteArray older = Contents(path + QStringLiteral(".1"));
    EXPECT_LE(current.size(), kCap);
    EXPECT_LE(older.size(), kCap);
    EXPECT_GT(older.size(), kCap / 2);
    EXPECT_TRUE(current.endsWith("warning book.kept: message 29 second half\n")) << current.data();
    EXPECT_FALSE((current + older).contains("not in the file"));
    EXPECT_EQ(current.count('\n'), current.count("book.kept"));
}
}  // namespace
