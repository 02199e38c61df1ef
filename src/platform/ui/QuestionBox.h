#pragma once

#include <functional>
#include <string>

class QWidget;

// The answers of a yes/no question, as the platform's message box returned them.
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Asks a yes/no question in a standard message box owned by `owner`: the application's name
// as caption, the question icon, 是 and 否 with 否 the default, so Enter alone never agrees.
// Returns IDYES or IDNO (closing the box answers no).
int AskYesNo(QWidget* owner, const std::string& text);

// Replaces the question box, e.g. by a scripted answer in tests; an empty function restores
// it. Returns the hook it replaced.
using QuestionHook = std::function<int(QWidget* owner, const std::string& text)>;
QuestionHook SetQuestionHook(QuestionHook hook);
