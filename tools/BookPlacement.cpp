#include "BookPlacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "ImportError.h"

namespace fs = std::filesystem;

std::string JetBackupPath(const std::string& path) {
    const fs::path p(path);
    const std::string stem = p.stem().string();
    const std::string ext = p.extension().string();
    std::error_code ec;
    for (int n = 1;; ++n) {
        const std::string name =
            stem + ".jet-backup" + (n == 1 ? "" : "-" + std::to_string(n)) + ext;
        const fs::path candidate = p.parent_path() / name;
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate.string();
    }
}

namespace {

// The named temporary file, removed if the import is stopped by a signal it can catch.
// A plain buffer: the handler may only call async-signal-safe functions.
char g_pendingTemp[4096];

void RemovePendingAndDie(int sig) {
    if (g_pendingTemp[0] != '\0')
        ::unlink(g_pendingTemp);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Names the temporary file to remove on a signal (null: none), and catches the signals.
void SetPendingTemp(const char* path) {
    if (path == nullptr) {
        g_pendingTemp[0] = '\0';
        return;
    }
    std::snprintf(g_pendingTemp, sizeof g_pendingTemp, "%s", path);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        std::signal(sig, RemovePendingAndDie);
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

void WriteAll(int fd, const std::string& bytes, const std::string& where) {
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::min<std::size_t>(size, 1 << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw ImportError("Cannot write in '" + where + "': " + std::strerror(errno) + ".");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        throw ImportError("Cannot write in '" + where + "': " + std::strerror(errno) + ".");
}

void SyncFolder(const fs::path& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY));
    if (fd.Get() >= 0)
        ::fsync(fd.Get());
}

// Puts the finished image under `temp` in the target's folder. The bytes go into
// an unnamed file first, which a SIGKILL or power cut simply discards; it gets a
// name only when it is complete.
void MaterializeImage(const std::string& image, const fs::path& dir, const std::string& temp,
                      mode_t mode) {
    Fd unnamed(::open(dir.c_str(), O_TMPFILE | O_RDWR, 0600));
    if (unnamed.Get() >= 0) {
        ::fchmod(unnamed.Get(), mode);
        WriteAll(unnamed.Get(), image, dir.string());
        const std::string proc = "/proc/self/fd/" + std::to_string(unnamed.Get());
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
    }
    // Folders without unnamed files: a named one, removed on failure or Ctrl-C.
    Fd named(::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600));
    if (named.Get() < 0)
        throw ImportError("Cannot write in '" + dir.string() + "': " + std::strerror(errno) + ".");
    ::fchmod(named.Get(), mode);
    WriteAll(named.Get(), image, dir.string());
}

std::string TempPrefix(const std::string& targetName) {
    return "." + targetName + ".import-";
}

}  // namespace

StagedBook::StagedBook(const fs::path& target, const std::string& image, mode_t mode)
    : m_target(target) {
    const fs::path dir = target.parent_path();
    const std::string name = target.filename().string();
    RemoveStaleTemps(dir, TempPrefix(name));
    m_temp = (dir / (TempPrefix(name) + std::to_string(::getpid()))).string();
    SetPendingTemp(m_temp.c_str());
    try {
        MaterializeImage(image, dir, m_temp, mode);
    } catch (...) {
        ::unlink(m_temp.c_str());
        SetPendingTemp(nullptr);
        throw;
    }
}

StagedBook::~StagedBook() {
    if (!m_placed)
        ::unlink(m_temp.c_str());
    SetPendingTemp(nullptr);
}

void StagedBook::PlaceAsNewFile() {
    // link() refuses an existing name, so a file made meanwhile is never replaced.
    if (::link(m_temp.c_str(), m_target.c_str()) != 0) {
        throw ImportError(errno == EEXIST
                              ? "'" + m_target.string() + "' already exists; it was left untouched."
                              : "Cannot create '" + m_target.string() +
                                    "': " + std::strerror(errno) + ".");
    }
    SyncFolder(m_target.parent_path());
}

void StagedBook::PlaceOverTarget() {
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        throw ImportError("Cannot put the book in place of '" + m_target.string() +
                          "': " + std::strerror(errno) + ".");
    m_placed = true;
    SetPendingTemp(nullptr);
    SyncFolder(m_target.parent_path());
}

std::string KeepBeside(const std::string& path) {
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = JetBackupPath(path);
        if (::link(path.c_str(), candidate.c_str()) == 0)
            return candidate;
        if (errno != EEXIST && fs::copy_file(path, candidate, ec) && !ec)
            return candidate;
    }
    throw ImportError("Cannot keep a copy of '" + path + "' beside it; nothing was changed.");
}

void RemoveStaleTemps(const fs::path& dir, const std::string& prefix) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        const std::string pid = name.substr(prefix.size());
        if (pid.empty() || pid.size() > 9 ||
            pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH)
            fs::remove_all(entry.path(), ec);
    }
}
