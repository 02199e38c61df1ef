#include "TransferTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tillbook-transfer-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::vector<std::string> TempDir::Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

fs::path CopyJetSample(const std::string& name, const fs::path& dir) {
    const fs::path to = dir / name;
    fs::copy_file(fs::path(TILLBOOK_JET_TEST_DATA) / name, to);
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write);
    return to;
}

std::string ShellQuote(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    const int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    return output;
}

std::vector<CsvRow> ParseCsv(const std::string& text, const std::string& nullMarker) {
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    std::size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    auto endField = [&] {
        if (!wasQuoted && (field.empty() || (!nullMarker.empty() && field == nullMarker)))
            row.push_back(std::nullopt);
        else
            row.push_back(field);
        field.clear();
        wasQuoted = false;
    };
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = wasQuoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endField();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty() || wasQuoted || !row.empty()) {
        endField();
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

SqliteFile::SqliteFile(const fs::path& path) {
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK)
        << path;
}

SqliteFile::~SqliteFile() {
    sqlite3_close(m_db);
}

std::vector<CsvRow> SqliteFile::Rows(const std::string& sql) const {
    std::vector<CsvRow> rows;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
        << sql << ": " << sqlite3_errmsg(m_db);
    while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
        CsvRow row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                row.push_back(std::nullopt);
            } else {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                row.push_back(std::string(p, sqlite3_column_bytes(stmt, c)));
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    return rows;
}

long long SqliteFile::Count(const std::string& sql) const {
    const auto rows = Rows(sql);
    return rows.empty() || !rows[0][0] ? -1 : std::stoll(*rows[0][0]);
}
