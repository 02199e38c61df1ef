#include "data/BackupFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace fs = std::filesystem;

int MakePrivateFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return 0;
    if (folder.has_parent_path() && !fs::is_directory(folder.parent_path(), ec)) {
        if (const int error = MakePrivateFolder(folder.parent_path()))
            return error;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

int SyncPath(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the file itself was synced before.
    return error == EINVAL ? 0 : error;
}

void RemoveStaleParts(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        const long pid = std::atol(name.c_str() + prefix.size());
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove(entry.path(), ec);
    }
}

PendingFile::PendingFile(fs::path path) : m_path(std::move(path)) {
    std::error_code ec;
    fs::remove(m_path, ec);
}

PendingFile::~PendingFile() {
    if (!m_bKeep) {
        std::error_code ec;
        fs::remove(m_path, ec);
    }
}
