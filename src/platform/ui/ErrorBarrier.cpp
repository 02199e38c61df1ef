#include "platform/ui/ErrorBarrier.h"

#include <utility>

#include "platform/ui/MessageBox.h"

namespace {
FailureDescriber& Describer() {
    static FailureDescriber describer;
    return describer;
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

bool RunGuarded(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        ShowMessageBox(owner, Describe(std::current_exception()));
        return false;
    }
}
