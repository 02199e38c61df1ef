#include "platform/ado/DatabaseBackup.h"

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/ado/ComError.h"

namespace {

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

[[noreturn]] void Raise(sqlite3* db, int rc, const std::string& path, const std::string& what) {
    ComErrorFacts facts;
    facts.engineCode = rc & 0xff;
    facts.extendedCode = db != nullptr ? sqlite3_extended_errcode(db) : rc;
    facts.path = path;
    const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw CComError(E_FAIL, "SQLite", what + " '" + path + "': " + message, std::move(facts));
}

Handle Open(const std::string& path, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Handle db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        Raise(raw, rc, path, "cannot open");
    sqlite3_busy_timeout(raw, 3000);
    return db;
}

}  // namespace

void CopyLiveDatabase(const std::string& source, const std::string& target) {
    // Read-write where the file allows it, so a journal left by a crashed writer is rolled
    // back before the pages are read.
    Handle from = Open(source, SQLITE_OPEN_READWRITE);
    Handle to = Open(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // The caller syncs the finished file once; no journal is needed for a file nobody reads yet.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                 nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (backup == nullptr)
        Raise(to.get(), sqlite3_errcode(to.get()), target, "cannot write");
    // All pages in one step: the snapshot is taken under one read lock, so a writer elsewhere
    // waits for it instead of making the copy start over.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int rc;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (std::chrono::steady_clock::now() > giveUp)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        // The target is a new file: damage or a foreign format can only be the source's.
        const int primary = rc & 0xff;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            Raise(nullptr, rc, source, "cannot read");
        Raise(to.get(), rc, target, "cannot write");
    }
    const int closed = sqlite3_close(to.release());
    if (closed != SQLITE_OK)
        Raise(nullptr, closed, target, "cannot finish");
}

std::vector<std::string> DatabaseIntegrityProblems(const std::string& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Handle db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        return {raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)};
    sqlite3_busy_timeout(raw, 3000);
    std::vector<std::string> problems;
    char* error = nullptr;
    const int checked = sqlite3_exec(
        raw, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            const std::string line = values[0] != nullptr ? values[0] : "";
            if (line != "ok")
                static_cast<std::vector<std::string>*>(out)->push_back(line);
            return 0;
        },
        &problems, &error);
    if (checked != SQLITE_OK)
        problems.push_back(error != nullptr ? error : sqlite3_errstr(checked));
    sqlite3_free(error);
    return problems;
}
