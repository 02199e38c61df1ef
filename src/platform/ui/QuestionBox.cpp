#include "platform/ui/QuestionBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

namespace {
QuestionHook& Hook() {
    static QuestionHook hook;
    return hook;
}
}  // namespace

QuestionHook SetQuestionHook(QuestionHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

bool AskYesNo(QWidget* owner, const std::string& text) {
    if (Hook())
        return Hook()(owner, text);
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
