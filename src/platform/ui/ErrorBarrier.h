#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>

class QLoggingCategory;
class QWidget;

// Turns an exception that escaped a handler into the message the user sees, or nullopt when
// the describer does not know it. The application installs one for database failures.
using FailureDescriber = std::function<std::optional<std::string>(std::exception_ptr)>;
void SetFailureDescriber(FailureDescriber describer);

// The category that receives the technical text (what(), and that of any exception nested in
// it) of every failure the barrier stops, as one warning line; none by default.
using FailureLog = const QLoggingCategory& (*)();
void SetFailureLog(FailureLog log);

// Runs a handler so that nothing it throws leaves the dialog: the failure is logged, shown in
// a message box owned by `owner`, and the dialog stays open. Returns false when it caught one.
bool RunGuarded(QWidget* owner, const std::function<void()>& handler);
