#pragma once

#include <filesystem>
#include <string>

// A fresh book for one test: makes a temporary folder, creates data.mdb in it,
// and makes it the working directory (where the program looks for its book).
// The destructor restores the previous working directory and removes the folder.
class TempBook {
public:
    TempBook();
    ~TempBook();
    TempBook(const TempBook&) = delete;
    TempBook& operator=(const TempBook&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }
    std::filesystem::path BookPath() const { return m_dir / "data.mdb"; }
    // The connection string every dialog uses.
    static const char* ConnectionString();

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_previousDir;
};
