#include "platform/ui/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

#include "platform/ui/DialogTemplate.h"

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

int ShowMessageBox(QWidget* owner, const std::string& text) {
    if (Hook()) {
        Hook()(owner, text);
        return IDOK;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Ok, owner);
    box.exec();
    return IDOK;
}
