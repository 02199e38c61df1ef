#include "data/BookBackup.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "data/BackupFiles.h"
#include "data/DatabaseFailure.h"
#include "data/ServerBook.h"
#include "platform/ado/ComError.h"
#include "platform/ado/DatabaseBackup.h"

namespace fs = std::filesystem;

namespace {

constexpr LocalSeconds kDay = 86400;
const std::string kAutomaticFailed = "账本没有能够自动备份：";

BackupError::Kind KindOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return BackupError::Kind::NoSpace;
        case EACCES:
        case EPERM:
        case EROFS:
            return BackupError::Kind::NoPermission;
        default:
            return BackupError::Kind::Other;
    }
}

BackupError FromEngine(const CComError& e, const std::string& book) {
    const int code = e.Facts().engineCode;
    if (code == EngineCode::Full)
        return {BackupError::Kind::NoSpace, e.Description()};
    if (e.Facts().path == book) {
        if (code == EngineCode::Busy || code == EngineCode::Locked)
            return {BackupError::Kind::InUse, e.Description()};
        return {BackupError::Kind::BookDamaged, e.Description()};
    }
    if (code == EngineCode::CantOpen || code == EngineCode::Perm || code == EngineCode::ReadOnly)
        return {BackupError::Kind::NoPermission, e.Description()};
    return {BackupError::Kind::Other, e.Description()};
}

std::mutex g_noticeMutex;
BackupNoticeSink g_noticeSink;
std::string g_noticeDay;  // the day the last notice was given by this process

void Log(const fs::path& book, const std::string& line) {
    const std::string text =
        LocalTimeText(LocalNow()) + " backup of " + book.string() + ": " + line + "\n";
    std::fputs(("tillbook: " + text).c_str(), stderr);
    std::ofstream log(book.parent_path() / "tillbook.log", std::ios::app);
    log << text;
}

// At most one message a day, across the program's runs: the day of the last one is kept beside
// the book (and in memory, should that file not be writable either).
void Notify(const fs::path& book, const std::string& message) {
    const std::string today = LocalTimeText(LocalNow()).substr(0, 10);
    const fs::path marker = book.parent_path() / ".tillbook-backup-notice";
    std::lock_guard lock(g_noticeMutex);
    std::string shown;
    std::ifstream(marker) >> shown;
    if (shown == today || g_noticeDay == today)
        return;
    g_noticeDay = today;
    std::ofstream(marker, std::ios::trunc) << today << "\n";
    if (g_noticeSink)
        g_noticeSink(message);
    else
        std::fputs(("tillbook: " + message + "\n").c_str(), stderr);
}

bool BackUpQuietly(const std::string& bookPath, bool onlyWhenDue) {
    if (!BackupApplies(bookPath))
        return false;
    std::error_code ec;
    const fs::path book = fs::absolute(bookPath, ec).lexically_normal();
    // No book yet (or not a file): nothing to keep; opening it reports why.
    if (!fs::is_regular_file(book, ec))
        return false;
    const std::string folder = BackupFolderFor(book.string());
    try {
        if (onlyWhenDue) {
            const LocalSeconds now = LocalNow();
            for (const BackupFile& file : ListBackups(folder, book.filename().string())) {
                if (file.time > now - kDay && file.time <= now + 3600)
                    return false;
            }
        }
        BackUpBook(book.string());
        return true;
    } catch (const BackupError& e) {
        Log(book, e.what());
        Notify(book, kAutomaticFailed + BackupFailureText(e, folder));
    } catch (const std::exception& e) {
        Log(book, e.what());
        Notify(book,
               kAutomaticFailed +
                   BackupFailureText(BackupError(BackupError::Kind::Other, e.what()), folder));
    }
    return false;
}

}  // namespace

bool BackupApplies(const std::string& book) {
    return !IsServerBook(book);
}

BackupFile BackUpBook(const std::string& bookPath, const std::string& folderArg) {
    std::error_code ec;
    const fs::path book = fs::absolute(bookPath, ec).lexically_normal();
    if (!fs::is_regular_file(book, ec))
        throw BackupError(BackupError::Kind::BookDamaged, "'" + book.string() + "' is not a file");
    const fs::path folder = folderArg.empty() ? fs::path(BackupFolderFor(book.string()))
                                              : fs::absolute(folderArg, ec).lexically_normal();
    if (const int error = MakePrivateFolder(folder))
        throw BackupError(KindOf(error), "cannot make the folder '" + folder.string() +
                                             "': " + std::strerror(error));
    RemoveStaleParts(folder, ".backup-");
    static std::atomic<int> serial{0};
    PendingFile temp(folder / (".backup-" + std::to_string(::getpid()) + "-" +
                               std::to_string(++serial) + ".part"));
    try {
        CopyLiveDatabase(book.string(), temp.Path().string());
    } catch (const CComError& e) {
        throw FromEngine(e, book.string());
    }
    const std::vector<std::string> problems = DatabaseIntegrityProblems(temp.Path().string());
    if (!problems.empty()) {
        throw BackupError(
            BackupError::Kind::BookDamaged,
            "the copy of '" + book.string() + "' fails the integrity check: " + problems.front());
    }
    if (const int error = SyncPath(temp.Path()))
        throw BackupError(KindOf(error),
                          "cannot sync '" + temp.Path().string() + "': " + std::strerror(error));
    const LocalSeconds now = LocalNow();
    BackupFile made;
    made.path = NewBackupPath(folder.string(), book.filename().string(), now);
    if (::rename(temp.Path().c_str(), made.path.c_str()) != 0) {
        const int error = errno;
        throw BackupError(KindOf(error),
                          "cannot name the backup '" + made.path + "': " + std::strerror(error));
    }
    temp.Keep();
    SyncPath(folder);
    made.time = now;
    made.timeText = LocalTimeText(now);
    made.size = fs::file_size(made.path, ec);

    // Only now that a newer one is in place may old ones go.
    const std::vector<BackupFile> all = ListBackups(folder.string(), book.filename().string());
    std::vector<LocalSeconds> times;
    for (const BackupFile& file : all)
        times.push_back(file.time);
    for (std::size_t i : BackupsToRemove(times, now)) {
        if (all[i].path != made.path)
            fs::remove(all[i].path, ec);
    }
    return made;
}

std::string BackupFailureText(const BackupError& error, const std::string& folder) {
    const std::string where = "“" + ShownPath(folder) + "”";
    std::string why;
    switch (error.GetKind()) {
        case BackupError::Kind::NoSpace:
            why = "磁盘已满，备份文件夹" + where + "写不下新的备份。";
            break;
        case BackupError::Kind::NoPermission:
            why = "没有权限写入备份文件夹" + where + "。";
            break;
        case BackupError::Kind::BookDamaged:
            why =
                "账本文件无法完整读出（可能已损坏），不能用它做备份。可以用“备份与恢复”从以前的备份"
                "恢复。";
            break;
        case BackupError::Kind::InUse:
            why = "账本正被其他程序写入，请稍后再试。";
            break;
        default:
            why = "无法在备份文件夹" + where + "写入新的备份（详情记在 tillbook.log 中）。";
            break;
    }
    return why + "\n账本本身没有任何改动，可以照常使用。";
}

void SetBackupNoticeSink(BackupNoticeSink sink) {
    std::lock_guard lock(g_noticeMutex);
    g_noticeSink = std::move(sink);
}

bool BackUpBeforeBulkChange(const std::string& bookPath) {
    return BackUpQuietly(bookPath, false);
}

bool BackUpIfDue(const std::string& bookPath) {
    return BackUpQuietly(bookPath, true);
}

CStartupBackup::CStartupBackup(const std::string& bookPath, std::chrono::milliseconds delay)
    : m_thread([this, bookPath, delay] {
          {
              std::unique_lock lock(m_mutex);
              m_hurry.wait_for(lock, delay, [this] { return m_bHurry; });
          }
          // The window comes first; this thread takes what the processor has left.
          ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
          BackUpIfDue(bookPath);
      }) {}

CStartupBackup::~CStartupBackup() {
    Wait();
}

void CStartupBackup::Wait() {
    {
        std::lock_guard lock(m_mutex);
        m_bHurry = true;
    }
    m_hurry.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}
