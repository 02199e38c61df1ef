#include "platform/ado/DatabaseFile.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

void CreateDatabaseFile(const std::string& path, const std::string& script) {
    std::error_code ec;
    const fs::path target = fs::absolute(fs::path(path), ec).lexically_normal();
    if (fs::exists(target, ec)) {
        throw std::runtime_error("'" + target.string() +
                                 "' already exists; it was left untouched.");
    }
    if (!target.has_parent_path() || !fs::is_directory(target.parent_path(), ec)) {
        throw std::runtime_error("The folder of '" + target.string() + "' does not exist.");
    }
    // Build beside the target, then link it into place: a crash never leaves a
    // half-made file under the real name, and a file made meanwhile is not replaced.
    const fs::path temp = target.string() + ".new-" + std::to_string(::getpid());
    fs::remove(temp, ec);
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string error;
    if (rc == SQLITE_OK) {
        char* message = nullptr;
        const std::string wrapped = "BEGIN;\n" + script + "\n;COMMIT;";
        rc = sqlite3_exec(db, wrapped.c_str(), nullptr, nullptr, &message);
        if (rc != SQLITE_OK)
            error = message != nullptr ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
    } else {
        error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    }
    if (sqlite3_close(db) != SQLITE_OK && error.empty())
        error = "cannot close the new file";
    if (!error.empty()) {
        fs::remove(temp, ec);
        throw std::runtime_error("Cannot create '" + target.string() + "': " + error);
    }
    fs::create_hard_link(temp, target, ec);
    if (ec) {
        const bool exists = fs::exists(target);
        fs::remove(temp, ec);
        throw std::runtime_error(exists ? "'" + target.string() +
                                              "' already exists; it was left untouched."
                                        : "Cannot create '" + target.string() + "'.");
    }
    fs::remove(temp, ec);
}
