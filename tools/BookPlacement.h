#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

// Putting a finished book file where it belongs without ever leaving half a file or
// replacing one by mistake: the bytes are written complete under a temporary name in
// the target's folder (an unnamed file first where the folder allows it), synced, and
// only then linked or renamed into place. Failures throw ImportError.
class StagedBook {
public:
    // Writes `image` beside `target` with the permissions `mode`. A temporary file left
    // by an earlier run that was killed is removed first.
    StagedBook(const std::filesystem::path& target, const std::string& image, mode_t mode);
    // The temporary file is removed unless the book was put in place.
    ~StagedBook();
    StagedBook(const StagedBook&) = delete;
    StagedBook& operator=(const StagedBook&) = delete;

    // Where the finished file can be read before it is put in place.
    const std::string& TempPath() const { return m_temp; }

    // Gives the book the target's name; an existing file there is never replaced.
    void PlaceAsNewFile();
    // Puts the book in place of the file at the target, which is renamed over.
    void PlaceOverTarget();

private:
    std::filesystem::path m_target;
    std::string m_temp;
    bool m_placed = false;
};

// Gives the file at `path` a second name beside it (JetBackupPath), so that it is still
// there under one of its names when another file takes the first; returns that name.
std::string KeepBeside(const std::string& path);

// The name under which the old file at `path` is kept when the book takes its
// place: "data.jet-backup.mdb", then "data.jet-backup-2.mdb", ... for the
// first name that is free.
std::string JetBackupPath(const std::string& path);

// Removes what `dir` holds under "<prefix><pid>" for a process that no longer runs: the
// temporary file or folder of a run that was killed. A book import has a name only
// while its finished file is checked, an export while its tables are written.
void RemoveStaleTemps(const std::filesystem::path& dir, const std::string& prefix);
