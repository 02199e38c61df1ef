#pragma once

#include <functional>
#include <string>

class QWidget;

// Asks the user where to save a file and returns the chosen path, or "" when they cancel.
// `filter` is in the form "PNG 图片 (*.png)".
std::string AskSaveFileName(QWidget* owner, const std::string& caption,
                            const std::string& suggestedName, const std::string& filter);

// Tests answer the question instead of a user; returns the hook it replaced.
using SaveFileHook =
    std::function<std::string(const std::string& caption, const std::string& suggestedName)>;
SaveFileHook SetSaveFileHook(SaveFileHook hook);

// Asks the user which file to open, starting in `folder`; "" when they cancel.
std::string AskOpenFileName(QWidget* owner, const std::string& caption, const std::string& folder,
                            const std::string& filter);

// Tests choose the file instead of a user; returns the hook it replaced.
using OpenFileHook =
    std::function<std::string(const std::string& caption, const std::string& folder)>;
OpenFileHook SetOpenFileHook(OpenFileHook hook);
