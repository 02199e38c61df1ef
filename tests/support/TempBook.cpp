#include "support/TempBook.h"

#include <cstdlib>
#include <stdexcept>

#include "data/BookFile.h"

namespace fs = std::filesystem;

TempBook::TempBook() : m_previousDir(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "tillbook-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    CreateBook((m_dir / "data.mdb").string());
    fs::current_path(m_dir);
}

TempBook::~TempBook() {
    std::error_code ec;
    fs::current_path(m_previousDir, ec);
    fs::remove_all(m_dir, ec);
}

const char* TempBook::ConnectionString() {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";
}
