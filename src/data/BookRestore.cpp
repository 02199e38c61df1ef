#include "data/BookRestore.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "data/BackupFiles.h"
#include "data/BookBackup.h"
#include "data/BookFile.h"
#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseBackup.h"

namespace fs = std::filesystem;

namespace {

BackupError NotABook(const fs::path& file, const std::string& why) {
    return {BackupError::Kind::NotABook, "'" + file.string() + "' is not a valid book: " + why};
}

// A book the backup cannot read whole is kept byte for byte under a name no listing takes
// for a backup, with its journal, so restoring never loses what was there.
std::string KeepDamagedBook(const fs::path& book) {
    const fs::path folder = BackupFolderFor(book.string());
    if (const int error = MakePrivateFolder(folder))
        throw BackupError(BackupError::Kind::NoPermission,
                          "cannot make '" + folder.string() + "': " + std::strerror(error));
    std::string kept = NewBackupPath(folder.string(), book.filename().string(), LocalNow());
    kept.replace(kept.size() - 4, 4, ".damaged.mdb");
    std::error_code ec;
    fs::create_hard_link(book, kept, ec);
    if (ec) {
        fs::copy_file(book, kept, ec);
        if (ec || SyncPath(kept) != 0)
            throw BackupError(BackupError::Kind::NoPermission,
                              "cannot keep '" + book.string() + "' at '" + kept + "'");
    }
    const fs::path journal = book.string() + "-journal";
    if (fs::exists(journal, ec))
        fs::rename(journal, kept + "-journal", ec);
    SyncPath(folder);
    return kept;
}

}  // namespace

std::string RestoreBook(const std::string& backupArg, const std::string& bookArg) {
    std::error_code ec;
    const fs::path backup = fs::absolute(backupArg, ec).lexically_normal();
    const fs::path book = fs::absolute(bookArg, ec).lexically_normal();
    if (!fs::is_regular_file(backup, ec))
        throw NotABook(backup, "no such file");
    if (fs::equivalent(backup, book, ec))
        throw NotABook(backup, "it is the book itself");
    const fs::path dir = book.parent_path();
    if (!fs::is_directory(dir, ec))
        throw BackupError(BackupError::Kind::Other,
                          "the folder of '" + book.string() + "' does not exist");

    // The copy that will become the book, checked where it will live.
    const std::string prefix = "." + book.filename().string() + ".restore-";
    RemoveStaleParts(dir, prefix);
    PendingFile copy(dir / (prefix + std::to_string(::getpid())));
    try {
        CopyLiveDatabase(backup.string(), copy.Path().string());
    } catch (const CComError& e) {
        if (e.Facts().path == backup.string())
            throw NotABook(backup, e.Description());
        throw BackupError(e.Facts().engineCode == EngineCode::Full
                              ? BackupError::Kind::NoSpace
                              : BackupError::Kind::NoPermission,
                          e.Description());
    }
    const std::vector<std::string> problems = CheckBook(copy.Path().string());
    if (!problems.empty())
        throw NotABook(backup, problems.front());
    if (const int error = SyncPath(copy.Path()))
        throw BackupError(BackupError::Kind::Other, std::strerror(error));

    std::string before;
    CConnection lock;
    if (fs::exists(book, ec)) {
        try {
            before = BackUpBook(book.string()).path;
        } catch (const BackupError& e) {
            if (e.GetKind() != BackupError::Kind::BookDamaged)
                throw;
            before = KeepDamagedBook(book);
        }
        // Holding the book's write lock across the rename keeps a writer elsewhere from being
        // half-way through a change of the old file, and leaves it no journal to replay.
        try {
            lock.OpenFile(book.string());
            lock.Execute("BEGIN EXCLUSIVE");
        } catch (const CComError& e) {
            const int code = e.Facts().engineCode;
            if (code == EngineCode::Busy || code == EngineCode::Locked)
                throw BackupError(BackupError::Kind::InUse, e.Description());
        }
    }
    if (::rename(copy.Path().c_str(), book.c_str()) != 0) {
        const int error = errno;
        throw BackupError(
            error == ENOSPC ? BackupError::Kind::NoSpace : BackupError::Kind::NoPermission,
            "cannot put the backup in place of '" + book.string() + "': " + std::strerror(error));
    }
    copy.Keep();
    SyncPath(dir);
    return before;
}
