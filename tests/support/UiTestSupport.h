#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/CDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QuestionBox.h"

// Records every message box instead of showing it, for as long as it lives.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::string>& Texts() const { return m_texts; }
    void Clear() { m_texts.clear(); }

private:
    std::vector<std::string> m_texts;
    MessageBoxHook m_previous;
};

// Answers every yes/no question with `answer` (true: yes) and records its text, for as long
// as it lives.
class QuestionRecorder {
public:
    explicit QuestionRecorder(bool answer);
    ~QuestionRecorder();
    QuestionRecorder(const QuestionRecorder&) = delete;
    QuestionRecorder& operator=(const QuestionRecorder&) = delete;

    const std::vector<std::string>& Texts() const { return m_texts; }
    void Answer(bool answer) { m_answer = answer; }

private:
    std::vector<std::string> m_texts;
    bool m_answer;
    QuestionHook m_previous;
};

// Runs nested modal dialogs through a script instead of showing them, for as long as it lives.
// The script gets each created and initialised dialog; its result is DoModal's.
class ScopedModalRunner {
public:
    explicit ScopedModalRunner(ModalRunner runner);
    ~ScopedModalRunner();
    ScopedModalRunner(const ScopedModalRunner&) = delete;
    ScopedModalRunner& operator=(const ScopedModalRunner&) = delete;

    // Names of the dialog classes the script was handed, in order.
    const std::vector<std::string>& Opened() const { return m_opened; }

private:
    std::vector<std::string> m_opened;
    ModalRunner m_previous;
};

// Outside a recorder or a runner, a message box or a nested modal run fails the test instead
// of waiting for a user who is not there.
void FailOnUnexpectedModalRuns();

// A real left click on a dialog's control.
void Click(CDialog& dialog, int id);
void TypeInto(CDialog& dialog, int id, const std::string& text);

// A double click as the platform delivers it: press, release, double-click press, release.
void DoubleClick(QWidget* widget, Qt::MouseButton button, QPoint at);

// Every caption of the window's labels and buttons fits on one line inside its control, with
// room for a button's frame or a check box's indicator: nothing is cut off.
void ExpectTextsFit(QWidget* window);

// Saves what the widget shows to <build>/screenshots/<name>.png and returns the image.
QImage SaveScreenshot(QWidget* widget, const std::string& name);
