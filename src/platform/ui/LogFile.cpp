#include "platform/ui/LogFile.h"

#include <QDateTime>
#include <QFile>
#include <memory>
#include <mutex>

namespace {

struct LogFileState {
    std::mutex mutex;
    QString path;
    QString categoryPrefix;
    qint64 maxBytes = 0;
    std::unique_ptr<QFile> file;
    QtMessageHandler previous = nullptr;
    bool installed = false;
};

LogFileState& State() {
    static LogFileState state;
    return state;
}

const char* Level(QtMsgType type) {
    switch (type) {
        case QtDebugMsg:
            return "debug";
        case QtInfoMsg:
            return "info";
        case QtWarningMsg:
            return "warning";
        case QtCriticalMsg:
            return "critical";
        case QtFatalMsg:
            return "fatal";
    }
    return "?";
}

// Called with the state locked.
void WriteLine(LogFileState& state, const QByteArray& line) {
    if (state.file && state.file->size() + line.size() > state.maxBytes) {
        state.file.reset();
        const QString older = state.path + QStringLiteral(".1");
        QFile::remove(older);
        QFile::rename(state.path, older);
    }
    if (!state.file) {
        auto file = std::make_unique<QFile>(state.path);
        if (!file->open(QIODevice::Append | QIODevice::Text))
            return;  // a folder we cannot write: the messages still reach stderr
        state.file = std::move(file);
    }
    state.file->write(line);
    state.file->flush();
}

void HandleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    LogFileState& state = State();
    QtMessageHandler previous = nullptr;
    {
        std::lock_guard lock(state.mutex);
        previous = state.previous;
        const QString category = QString::fromLatin1(context.category ? context.category : "");
        if (!state.path.isEmpty() && category.startsWith(state.categoryPrefix)) {
            QString text = message;
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            const QString line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs) +
                                 QLatin1Char(' ') + QLatin1String(Level(type)) + QLatin1Char(' ') +
                                 category + QStringLiteral(": ") + text + QLatin1Char('\n');
            WriteLine(state, line.toUtf8());
        }
    }
    if (previous)
        previous(type, context, message);
}

}  // namespace

void InstallLogFile(const QString& path, const QString& categoryPrefix, qint64 maxBytes) {
    LogFileState& state = State();
    {
        std::lock_guard lock(state.mutex);
        state.path = path;
        state.categoryPrefix = categoryPrefix;
        state.maxBytes = maxBytes;
        state.file.reset();
        if (!state.installed) {
            state.previous = qInstallMessageHandler(&HandleMessage);
            state.installed = true;
        }
    }
}
