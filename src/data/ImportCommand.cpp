#include "data/ImportCommand.h"

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string ShellWord(const std::string& text) {
    bool plain = !text.empty();
    for (unsigned char c : text) {
        // Letters of any script (UTF-8 bytes above 0x7F) need no quotes.
        plain = plain && (std::isalnum(c) || c >= 0x80 || c == '/' || c == '.' || c == '_' ||
                          c == '-' || c == '+' || c == ',' || c == ':' || c == '@');
    }
    if (plain)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ImportCommandFor(const std::string& path, const std::string& programPath) {
    std::error_code ec;
    std::string tool = "tillbook-db";
    if (!programPath.empty()) {
        const fs::path beside = fs::path(programPath).parent_path() / "tillbook-db";
        if (fs::is_regular_file(beside, ec))
            tool = ShellWord(beside.string());
    }
    const fs::path full = fs::absolute(path, ec).lexically_normal();
    return tool + " import " + ShellWord(full.string());
}

std::string ImportCommandFor(const std::string& path) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ImportCommandFor(path, ec ? std::string() : self.string());
}
