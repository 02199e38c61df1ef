#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "data/BackupCatalog.h"

// Verified backups of a book file: taken with the engine's online backup into a temporary
// name, checked, synced, then renamed, so a listed backup is always whole. Old ones are thinned
// out (BackupsToRemove) only after a newer one has been verified.

class BackupError : public std::runtime_error {
public:
    enum class Kind {
        NoSpace,       // the disk or the user's quota is full
        NoPermission,  // the backups folder (or the book's folder) cannot be written
        BookDamaged,   // the book cannot be read whole
        NotABook,      // a file offered for restoring is not a sound book
        InUse,         // another program is writing the book
        Other,
    };
    BackupError(Kind kind, const std::string& what) : std::runtime_error(what), m_kind(kind) {}
    Kind GetKind() const { return m_kind; }

private:
    Kind m_kind;
};

// Whether backups apply to `book`: a file of this program. A book kept on a database server
// is backed up by that server.
bool BackupApplies(const std::string& book);

// Takes a verified backup of the book into `folder` (empty: the book's backups folder, made
// when missing), then removes the backups the retention rule no longer keeps. Returns the new
// backup; throws BackupError, leaving the book untouched and no new file listed.
BackupFile BackUpBook(const std::string& bookPath, const std::string& folder = {});

// The household's words for why a backup failed, naming the folder, and that the book is as
// it was.
std::string BackupFailureText(const BackupError& error, const std::string& folder);

// Where the once-a-day failure message of an automatic backup goes; called on the thread that
// ran the backup. Without one it is written to standard error.
using BackupNoticeSink = std::function<void(const std::string& message)>;
void SetBackupNoticeSink(BackupNoticeSink sink);

// An automatic backup: never throws, never stops the caller. A failure is logged (standard
// error and tillbook.log beside the book) and told to the notice sink at most once a day.
// Returns true when a backup was taken.
bool BackUpBeforeBulkChange(const std::string& bookPath);
// The same when the newest backup is more than a day old (or there is none).
bool BackUpIfDue(const std::string& bookPath);

// Runs BackUpIfDue on its own thread at a low priority, once `delay` has passed, so that the
// program's start neither waits for it nor shares the processor with it. Wait (and the
// destructor) starts it at once if it has not begun, and waits for it to end.
class CStartupBackup {
public:
    explicit CStartupBackup(const std::string& bookPath,
                            std::chrono::milliseconds delay = std::chrono::seconds(3));
    ~CStartupBackup();
    CStartupBackup(const CStartupBackup&) = delete;
    CStartupBackup& operator=(const CStartupBackup&) = delete;
    void Wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_hurry;
    bool m_bHurry = false;
    std::thread m_thread;
};
