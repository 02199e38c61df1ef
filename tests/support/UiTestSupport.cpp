#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include "platform/ui/MessageBox.h"

MessageRecorder::MessageRecorder() {
    m_previous =
        SetMessageBoxHook([this](QWidget*, const std::string& text) { m_texts.push_back(text); });
}

MessageRecorder::~MessageRecorder() {
    SetMessageBoxHook(m_previous);
}

QuestionRecorder::QuestionRecorder(bool answer) : m_answer(answer) {
    m_previous = SetQuestionHook([this](QWidget*, const std::string& text) {
        m_texts.push_back(text);
        return m_answer;
    });
}

QuestionRecorder::~QuestionRecorder() {
    SetQuestionHook(m_previous);
}

ScopedModalRunner::ScopedModalRunner(ModalRunner runner) {
    m_previous = SetModalRunner([this, runner](CDialog& dialog) {
        m_opened.push_back(dialog.metaObject()->className());
        return runner(dialog);
    });
}

ScopedModalRunner::~ScopedModalRunner() {
    SetModalRunner(m_previous);
}

void FailOnUnexpectedModalRuns() {
    SetMessageBoxHook([](QWidget*, const std::string& text) {
        ADD_FAILURE() << "unexpected message box: \"" << text << "\"";
    });
    SetQuestionHook([](QWidget*, const std::string& text) {
        ADD_FAILURE() << "unexpected question: \"" << text << "\"";
        return false;
    });
    SetModalRunner([](CDialog& dialog) {
        ADD_FAILURE() << "unexpected modal run of " << dialog.metaObject()->className();
        return IDCANCEL;
    });
}

void Click(CDialog& dialog, int id) {
    auto* button = dialog.GetDlgItemAs<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    ASSERT_TRUE(button->isEnabled()) << "button " << id << " is disabled";
    // Check and radio boxes react only on their box and caption, which start at the left.
    const bool boxed = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint at = boxed ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

void DoubleClick(QWidget* widget, Qt::MouseButton button, QPoint at) {
    QTest::mouseClick(widget, button, {}, at);
    QTest::mouseDClick(widget, button, {}, at);
    QTest::mouseRelease(widget, button, {}, at);
}

void TypeInto(CDialog& dialog, int id, const std::string& text) {
    if (auto* multiline = dialog.GetDlgItemAs<QPlainTextEdit>(id)) {
        multiline->clear();
        multiline->insertPlainText(QString::fromStdString(text));
        return;
    }
    auto* edit = dialog.GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << "no edit " << id;
    edit->clear();
    // Typed through the clipboard-free path Qt offers for any Unicode text, emoji included.
    edit->insert(QString::fromStdString(text));
}

void ExpectTextsFit(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                      label->contentsRect().width())
                << label->text().toStdString();
        }
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty())
            continue;
        const bool boxed = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        const int decoration =
            boxed ? button->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 4
                  : 8 + (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + decoration,
                  button->width())
            << button->text().toStdString();
    }
}

QImage SaveScreenshot(QWidget* widget, const std::string& name) {
    QDir().mkpath(QStringLiteral(TILLBOOK_SCREENSHOT_DIR));
    const QImage image = widget->grab().toImage();
    image.save(QStringLiteral(TILLBOOK_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name)));
    return image;
}
