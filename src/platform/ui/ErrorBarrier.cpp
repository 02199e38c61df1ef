#include "platform/ui/ErrorBarrier.h"

#include <QLoggingCategory>
#include <QString>
#include <utility>

#include "platform/ui/MessageBox.h"

namespace {
FailureDescriber& Describer() {
    static FailureDescriber describer;
    return describer;
}

FailureLog& Log() {
    static FailureLog log = nullptr;
    return log;
}

std::string TechnicalText(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        std::string text = e.what();
        try {
            std::rethrow_if_nested(e);
        } catch (...) {
            text += " <- " + TechnicalText(std::current_exception());
        }
        return text;
    } catch (...) {
        return "an exception of unknown type";
    }
}

std::string Describe(std::exception_ptr failure) {
    if (Describer()) {
        if (auto text = Describer()(failure))
            return *text;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return std::string("操作未能完成：") + e.what();
    } catch (...) {
        return "操作未能完成：发生了未知错误。";
    }
}
}  // namespace

void SetFailureDescriber(FailureDescriber describer) {
    Describer() = std::move(describer);
}

void SetFailureLog(FailureLog log) {
    Log() = log;
}

bool RunGuarded(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (FailureLog log = Log())
            qCWarning(log).noquote() << QString::fromStdString(TechnicalText(failure));
        ShowMessageBox(owner, Describe(failure));
        return false;
    }
}
