#include "platform/ui/WindowText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

QString WindowText(const QWidget* widget) {
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(widget))
        return text->toPlainText();
    if (auto* picker = qobject_cast<const QDateTimeEdit*>(widget))
        return picker->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (widget && widget->isWindow())
        return widget->windowTitle();
    return QString();
}

void SetWindowText(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setPlainText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (widget && widget->isWindow())
        widget->setWindowTitle(text);
}
