#include "platform/ui/EditControls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ui/DialogTemplate.h"

namespace {
// Refuses every typed character a number edit does not take.
class NumberKeyFilter : public QObject {
public:
    NumberKeyFilter(QLineEdit* edit, bool decimal) : QObject(edit), m_bDecimal(decimal) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = static_cast<QLineEdit*>(watched);
        QString typed;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Shortcuts (copy, paste, undo) and editing keys are not characters.
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                return false;
            typed = key->text();
            if (typed.isEmpty() || !typed.at(0).isPrint())
                return false;
        } else if (event->type() == QEvent::InputMethod) {
            typed = static_cast<QInputMethodEvent*>(event)->commitString();
            if (typed.isEmpty())
                return false;
        } else {
            return false;
        }
        if (Takes(edit, typed))
            return false;
        QApplication::beep();
        return true;
    }

private:
    bool Takes(const QLineEdit* edit, const QString& typed) const {
        // A point already in the text counts unless the typed text replaces it.
        QString kept = edit->text();
        if (edit->hasSelectedText())
            kept.remove(edit->selectionStart(), edit->selectedText().size());
        bool point = kept.contains(QLatin1Char('.'));
        for (QChar c : typed) {
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                continue;
            if (m_bDecimal && c == QLatin1Char('.') && !point) {
                point = true;
                continue;
            }
            return false;
        }
        return true;
    }

    bool m_bDecimal;
};

// Hands Return to the dialog, where it presses the default button.
class ReturnToDialogFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            key->modifiers() != Qt::NoModifier)
            return false;
        QWidget* dialog = static_cast<QWidget*>(watched)->window();
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
        QApplication::sendEvent(dialog, &copy);
        return true;
    }
};

// The dialog manager selected a one-line edit's whole text whenever it gave the edit the focus
// itself (first focus, return to the dialog), so typing replaces a shown "0"; a click keeps
// the caret where it lands.
class SelectAllOnDialogFocus : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::OtherFocusReason)
                static_cast<QLineEdit*>(watched)->selectAll();
        }
        return false;
    }
};

QWidget* CreateMultilineEdit(unsigned s, QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setFrameShape((s & style::Border) ? QFrame::StyledPanel : QFrame::NoFrame);
    edit->setReadOnly(s & style::ReadOnly);
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode((s & style::AutoHScroll) ? QPlainTextEdit::NoWrap
                                                   : QPlainTextEdit::WidgetWidth);
    edit->setVerticalScrollBarPolicy((s & style::VScroll) ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy((s & style::HScroll) ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
    if (!(s & style::WantReturn))
        edit->installEventFilter(new ReturnToDialogFilter(edit));
    return edit;
}
}  // namespace

QWidget* CreateEdit(unsigned s, QWidget* parent) {
    if (s & style::Multiline)
        return CreateMultilineEdit(s, parent);
    auto* edit = new QLineEdit(parent);
    edit->setFrame(s & style::Border);
    if (s & style::Password)
        edit->setEchoMode(QLineEdit::Password);
    edit->setReadOnly(s & style::ReadOnly);
    edit->installEventFilter(new SelectAllOnDialogFocus(edit));
    if (s & style::Number)
        edit->installEventFilter(new NumberKeyFilter(edit, s & style::Decimal));
    return edit;
}
