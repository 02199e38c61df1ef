#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // File names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
};

// A test data file (tests/data/jet) copied into `dir`, writable.
std::filesystem::path CopyJetSample(const std::string& name, const std::filesystem::path& dir);

// Standard output of a shell command; fails the test when it does not exit 0.
std::string Shell(const std::string& command);
std::string ShellQuote(const std::string& text);

// RFC 4180 rows. A field written with no quotes and no text is NULL (nullopt);
// `nullMarker`, when given, also stands for NULL.
using CsvRow = std::vector<std::optional<std::string>>;
std::vector<CsvRow> ParseCsv(const std::string& text, const std::string& nullMarker = {});

std::string ReadFile(const std::filesystem::path& path);

// An SQLite file, read and written through the data layer's own engine access.
class SqliteFile {
public:
    explicit SqliteFile(const std::filesystem::path& path) : m_path(path) {}
    // Rows of a query, every value as text (NULL as nullopt).
    std::vector<CsvRow> Rows(const std::string& sql) const;
    long long Count(const std::string& sql) const;
    // Runs statements that change the file; false when the engine refuses them.
    bool Exec(const std::string& sql) const;

private:
    std::filesystem::path m_path;
};
