#pragma once

#include <filesystem>
#include <string>

// File steps shared by taking and restoring backups. Functions returning int give 0 or errno.

// Makes `folder` and its parents; the folder itself only its owner may enter (it holds whole
// copies of the book).
int MakePrivateFolder(const std::filesystem::path& folder);

// Writes the file or folder at `path` through to the disk.
int SyncPath(const std::filesystem::path& path);

// Removes the files in `folder` named "<prefix><pid>-..." whose process has ended: what a
// killed copy left behind.
void RemoveStaleParts(const std::filesystem::path& folder, const std::string& prefix);

// A file being written under a temporary name: removed unless kept.
class PendingFile {
public:
    explicit PendingFile(std::filesystem::path path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    void Keep() { m_bKeep = true; }

private:
    std::filesystem::path m_path;
    bool m_bKeep = false;
};
