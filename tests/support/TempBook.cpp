#include "support/TempBook.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "platform/ado/Connection.h"

namespace fs = std::filesystem;

namespace {

const char* ServerFolder() {
    const char* folder = std::getenv("TILLBOOK_TEST_SERVER");
    return folder != nullptr && *folder != '\0' ? folder : nullptr;
}

void OnMaintenanceDatabase(const std::string& statement) {
    CConnection connection;
    connection.OpenServer(TempBook::ServerUri("postgres"));
    connection.Execute(statement.c_str());
}

}  // namespace

bool TempBook::OnServer() {
    return ServerFolder() != nullptr;
}

std::string TempBook::ServerUri(const std::string& name) {
    return "postgresql:///" + name + "?host=" + ServerFolder() + "&user=tillbook";
}

TempBook::TempBook() : m_previousDir(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "tillbook-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    // The book choice of whoever runs the tests never applies: no configuration file is read.
    ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    if (OnServer()) {
        static int count = 0;
        m_database = "book_" + std::to_string(::getpid()) + "_" + std::to_string(++count);
        OnMaintenanceDatabase("CREATE DATABASE " + m_database + " TEMPLATE tillbook_template");
        ::setenv("TILLBOOK_BOOK", ServerUri(m_database).c_str(), 1);
    } else {
        ::unsetenv("TILLBOOK_BOOK");
        CreateBook((m_dir / "data.mdb").string());
    }
    fs::current_path(m_dir);
}

TempBook::~TempBook() {
    std::error_code ec;
    fs::current_path(m_previousDir, ec);
    fs::remove_all(m_dir, ec);
    if (!m_database.empty()) {
        ::unsetenv("TILLBOOK_BOOK");
        try {
            OnMaintenanceDatabase("DROP DATABASE IF EXISTS " + m_database + " WITH (FORCE)");
        } catch (...) {
            // The server goes away with the test run.
        }
    }
}

std::string TempBook::Name() const {
    return m_database.empty() ? BookPath().string() : ServerUri(m_database);
}

std::string TempBook::ConnectionString() {
    return BookConnectionString();
}
