#include "data/DatabaseFailure.h"

#include <cstdint>
#include <cstdio>

#include "data/ADOException.h"
#include "platform/ado/ComError.h"

namespace {

std::string Compose(const std::string& description, std::int32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    // Without a description, the code's meaning is the best we can say.
    const std::string detail = description.empty() ? ComErrorMessageText(code) : description;
    return "数据库操作失败。\n" + detail + "\n错误代码：" + hex;
}

}  // namespace

std::optional<std::string> DescribeDatabaseFailure(std::exception_ptr failure) {
    if (!failure)
        return std::nullopt;
    try {
        std::rethrow_exception(failure);
    } catch (const CADOException& e) {
        return Compose(e.m_description, e.m_code);
    } catch (const CComError& e) {
        return Compose(e.Description(), e.Error());
    } catch (...) {
        return std::nullopt;
    }
}
