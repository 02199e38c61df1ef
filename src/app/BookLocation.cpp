#include "app/BookLocation.h"

#include <cstdlib>
#include <exception>
#include <filesystem>

#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "data/ServerBook.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kBookName = "data.mdb";

std::string EnterFolderOf(const fs::path& book) {
    std::error_code ec;
    fs::current_path(book.parent_path(), ec);
    if (ec)
        return "无法进入账本所在的文件夹 " + book.parent_path().string() + "：" + ec.message();
    const std::string name = book.filename().string();
    // The name travels inside a connection string, where ';' ends a value.
    if (name.find(';') != std::string::npos)
        return "账本文件名不能含有分号：" + name;
    SetBookDataSource(name);
    return {};
}
}  // namespace

std::string DefaultBookPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    fs::path base =
        data && *data ? fs::path(data) : fs::path(home && *home ? home : ".") / ".local" / "share";
    return (base / "tillbook" / kBookName).string();
}

std::string EnterBook(const std::optional<std::string>& named) {
    std::error_code ec;
    // A book on a server has no folder to enter and is never made here.
    if (named && IsServerBook(*named)) {
        SetBookDataSource(*named);
        return {};
    }
    // A book chosen in the environment or the configuration is taken as it stands.
    if (!named && BookIsChosen())
        return {};
    if (named) {
        fs::path book = fs::absolute(*named, ec);
        if (fs::is_directory(book, ec))
            book /= kBookName;
        return EnterFolderOf(book);
    }
    if (fs::exists(kBookName, ec))
        return {};
    const fs::path book = DefaultBookPath();
    if (!fs::exists(book, ec)) {
        try {
            fs::create_directories(book.parent_path());
            CreateBook(book.string());
        } catch (const std::exception& e) {
            return "无法创建账本 " + book.string() + "：" + e.what();
        }
    }
    return EnterFolderOf(book);
}
