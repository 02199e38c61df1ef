#include "platform/ui/FileDialog.h"

#include <QFileDialog>
#include <utility>

namespace {
SaveFileHook& Hook() {
    static SaveFileHook hook;
    return hook;
}

OpenFileHook& OpenHook() {
    static OpenFileHook hook;
    return hook;
}
}  // namespace

std::string AskSaveFileName(QWidget* owner, const std::string& caption,
                            const std::string& suggestedName, const std::string& filter) {
    if (Hook())
        return Hook()(caption, suggestedName);
    return QFileDialog::getSaveFileName(owner, QString::fromStdString(caption),
                                        QString::fromStdString(suggestedName),
                                        QString::fromStdString(filter))
        .toStdString();
}

SaveFileHook SetSaveFileHook(SaveFileHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

std::string AskOpenFileName(QWidget* owner, const std::string& caption, const std::string& folder,
                            const std::string& filter) {
    if (OpenHook())
        return OpenHook()(caption, folder);
    return QFileDialog::getOpenFileName(owner, QString::fromStdString(caption),
                                        QString::fromStdString(folder),
                                        QString::fromStdString(filter))
        .toStdString();
}

OpenFileHook SetOpenFileHook(OpenFileHook hook) {
    return std::exchange(OpenHook(), std::move(hook));
}
