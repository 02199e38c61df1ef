#include "data/BookConnection.h"

#include <cstdlib>
#include <fstream>

#include "data/ServerBook.h"

namespace {

constexpr const char* kFilePrefix = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";

// The book start-up named (`--book`, or the usual book it entered); empty until then.
std::string& NamedBook() {
    static std::string connectionString;
    return connectionString;
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string ConfigPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::string(config) + "/tillbook/tillbook.conf";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/tillbook/tillbook.conf";
}

// `book` of the INI file QSettings writes: a top-level key, kept under [General].
std::string ConfiguredBook() {
    std::ifstream in(ConfigPath());
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || (!section.empty() && section != "General"))
            continue;
        if (Trimmed(line.substr(0, eq)) != "book")
            continue;
        std::string value = Trimmed(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

// The book the environment or the configuration chooses; empty for none.
std::string ChosenBook() {
    const char* chosen = std::getenv("TILLBOOK_BOOK");
    std::string book = chosen != nullptr ? Trimmed(chosen) : std::string();
    if (book.empty())
        book = ConfiguredBook();
    // The name of a file travels inside a connection string, where ';' ends a value.
    return IsServerBook(book) || book.find(';') == std::string::npos ? book : std::string();
}


}  // namespace

std::string WithoutPassword(const std::string& connectionString) {
    if (!IsServerBook(connectionString))
        return connectionString;
    const size_t start = connectionString.find("://") + 3;
    const size_t at = connectionString.find('@', start);
    const size_t slash = connectionString.find('/', start);
    if (at == std::string::npos || (slash != std::string::npos && slash < at))
        return connectionString;
    const size_t colon = connectionString.find(':', start);
    if (colon == std::string::npos || colon > at)
        return connectionString;
    return connectionString.substr(0, colon) + connectionString.substr(at);
}

const char* BookConnectionString() {
    static std::string current;
    if (!NamedBook().empty()) {
        current = NamedBook();
    } else if (const std::string chosen = ChosenBook(); !chosen.empty()) {
        current = ConnectionStringFor(chosen);
    } else {
        current = std::string(kFilePrefix) + "data.mdb";
    }
    return current.c_str();
}

bool BookIsChosen() {
    return !ChosenBook().empty();
}

void SetBookDataSource(const std::string& path) {
    NamedBook() = ConnectionStringFor(path);
}

std::string ConnectionStringFor(const std::string& book) {
    return IsServerBook(book) ? WithoutPassword(book) : kFilePrefix + book;
}

std::string ShownBookName(const std::string& connectionString) {
    if (IsServerBook(connectionString))
        return WithoutPassword(connectionString);
    const std::string key = "Data Source=";
    const size_t at = connectionString.find(key);
    return at == std::string::npos ? connectionString : connectionString.substr(at + key.size());
}
