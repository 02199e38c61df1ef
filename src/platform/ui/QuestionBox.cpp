#include "platform/ui/QuestionBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
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
    // The program speaks Chinese even where Qt's own translations are not installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
