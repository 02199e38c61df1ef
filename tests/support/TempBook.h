#pragma once

#include <filesystem>
#include <string>

// A fresh book for one test: makes a temporary folder, creates data.mdb in it,
// and makes it the working directory (where the program looks for its book).
// The destructor restores the previous working directory and removes the folder.
//
// The engine is the fixture's parameter: when TILLBOOK_TEST_SERVER names the socket folder
// of the test server, the book is instead a new database on it, copied from the template
// book, and TILLBOOK_BOOK names it for every dialog; the destructor drops it.
class TempBook {
public:
    TempBook();
    ~TempBook();
    TempBook(const TempBook&) = delete;
    TempBook& operator=(const TempBook&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }
    std::filesystem::path BookPath() const { return m_dir / "data.mdb"; }
    // The book as tillbook-db takes it: the file's path, or the server's URI.
    std::string Name() const;
    // The connection string every dialog uses.
    static std::string ConnectionString();
    // True when the tests run against the server.
    static bool OnServer();
    // The URI of database `name` on the test server.
    static std::string ServerUri(const std::string& name);

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_previousDir;
    std::string m_database;
};
