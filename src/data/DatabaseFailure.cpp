#include "data/DatabaseFailure.h"

#include <cstdint>
#include <cstdio>

#include "data/ADOException.h"
#include "data/ImportCommand.h"
#include "platform/ado/ComError.h"

namespace {

// Longer paths are shortened in the middle so that a message box stays readable;
// the start (the drive or home folder) and the end (the file's name) remain.
constexpr size_t kPathShownWhole = 64;
constexpr size_t kPathKeptEachSide = 30;

size_t CodePointStart(const std::string& s, size_t codePoints) {
    size_t i = 0;
    for (size_t n = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == codePoints)
            break;
    }
    return i;
}

size_t CodePointCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

}  // namespace

std::string ShownPath(const std::string& path) {
    const size_t count = CodePointCount(path);
    if (count <= kPathShownWhole)
        return path;
    const size_t headEnd = CodePointStart(path, kPathKeptEachSide);
    const size_t tailStart = CodePointStart(path, count - kPathKeptEachSide);
    return path.substr(0, headEnd) + "…" + path.substr(tailStart);
}

namespace {

// The household's words for what went wrong; empty when the facts say nothing
// this program can explain better than the code.
std::string Explain(const ComErrorFacts& facts) {
    if (facts.connectionLost) {
        return "无法连接账本服务器“" + facts.server +
               "”：连接已断开，或服务器没有运行。\n请检查网络和服务器后再试一次，"
               "下一次操作会重新连接；已经保存的数据不会丢失。";
    }
    const std::string file = "“" + ShownPath(facts.path) + "”";
    switch (facts.fileFault) {
        case FileFault::Missing:
            return "找不到账本文件" + file + "。";
        case FileFault::Folder:
            return file + "是一个文件夹，不是账本文件。";
        case FileFault::NotRegular:
            return file + "不是普通文件（可能是管道或设备），不能作为账本打开。";
        case FileFault::PathTooLong:
            return "账本文件的路径太长，无法打开：" + file + "。请把账本移到路径较短的文件夹中。";
        case FileFault::JetFormat:
            return file + "是 Microsoft Access (Jet) 数据库，本程序不能直接打开。请先转换：" +
                   ImportCommandFor(facts.path);  // whole, however long: it must run as shown
        case FileFault::NotDatabase:
            return file + "不是 Tillbook 账本（无法识别的数据库格式）。";
        case FileFault::None:
            break;
    }
    if (facts.lack != Lack::None) {
        const std::string what =
            (facts.lack == Lack::Table ? "缺少表“" : "缺少列“") + facts.lackName + "”";
        return file + "不是完整的 Tillbook 账本（" + what +
               "）。\n用 tillbook-db check 检查这个文件，可以看到缺少的全部内容。";
    }
    switch (facts.engineCode) {
        case EngineCode::Busy:
        case EngineCode::Locked:
            return "账本文件" + file + "正被其他程序使用，请稍后再试。";
        case EngineCode::ReadOnly:
            return "无法写入：账本文件" + file + "是只读的。";
        case EngineCode::Perm:
        case EngineCode::Auth:
            return "没有权限访问账本文件" + file + "。";
        case EngineCode::NotADb:
            return file + "不是 Tillbook 账本（无法识别的数据库格式）。";
        case EngineCode::Corrupt:
            return "账本文件" + file + "已损坏。";
        case EngineCode::Full:
            return "存放账本文件" + file + "的磁盘已满，这次什么也没有写入。";
        case EngineCode::CantOpen:
        case EngineCode::IoErr:
            return "无法读写账本文件" + file + "。";
        case EngineCode::NoMem:
            return "内存不足，无法处理账本文件" + file + "。";
        default:
            return {};
    }
}

std::string Compose(const std::string& description, std::int32_t code, const ComErrorFacts& facts) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    std::string detail = Explain(facts);
    // Without words of our own, the failing object's description, else the code's meaning.
    if (detail.empty())
        detail = description.empty() ? ComErrorMessageText(code) : description;
    return "数据库操作失败。\n" + detail + "\n错误代码：" + hex;
}

}  // namespace

std::optional<std::string> DescribeDatabaseFailure(std::exception_ptr failure) {
    if (!failure)
        return std::nullopt;
    try {
        std::rethrow_exception(failure);
    } catch (const CADOException& e) {
        return Compose(e.m_description, e.m_code, e.m_facts);
    } catch (const CComError& e) {
        return Compose(e.Description(), e.Error(), e.Facts());
    } catch (...) {
        return std::nullopt;
    }
}
