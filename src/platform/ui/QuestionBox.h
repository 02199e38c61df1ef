#pragma once

#include <functional>
#include <string>

class QWidget;

// Asks the user a yes-or-no question in a box owned by `owner`, with the application's name as
// caption and No as the default answer. True for yes.
bool AskYesNo(QWidget* owner, const std::string& text);

// Replaces the question box, e.g. by a scripted answer in tests; an empty function restores it.
// Returns the hook it replaced.
using QuestionHook = std::function<bool(QWidget* owner, const std::string& text)>;
QuestionHook SetQuestionHook(QuestionHook hook);
