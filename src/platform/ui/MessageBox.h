#pragma once

#include <functional>
#include <string>

class QWidget;

// Shows a message box owned by `owner`: the application's name as caption, the text, one OK
// button and no icon. Returns IDOK.
int ShowMessageBox(QWidget* owner, const std::string& text);

// Replaces the message box, e.g. by a recorder in tests; an empty function restores it.
// Returns the hook it replaced.
using MessageBoxHook = std::function<void(QWidget* owner, const std::string& text)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
