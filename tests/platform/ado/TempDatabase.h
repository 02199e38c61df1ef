#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseFile.h"

// A temporary folder holding db.sqlite made from `script`, as the working directory.
class TempDatabase {
public:
    explicit TempDatabase(const std::string& script) : m_previous(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tillbook-ado-XXXXXX").string();
        m_dir = mkdtemp(pattern.data());
        CreateDatabaseFile((m_dir / "db.sqlite").string(), script);
        std::filesystem::current_path(m_dir);
    }
    ~TempDatabase() {
        std::error_code ec;
        std::filesystem::current_path(m_previous, ec);
        std::filesystem::remove_all(m_dir, ec);
    }
    const std::filesystem::path& Dir() const { return m_dir; }
    static ConnectionPtr Connect(const std::string& file = "db.sqlite") {
        auto c = std::make_shared<CConnection>();
        c->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file, "", "", 0);
        return c;
    }

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_previous;
};
