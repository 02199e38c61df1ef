#include "TransferTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/ado/BulkDatabase.h"
#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"

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
    const fs::path to = dir / fs::path(name).filename();
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

std::vector<CsvRow> SqliteFile::Rows(const std::string& sql) const {
    std::vector<CsvRow> rows;
    try {
        ReadStoredRows(m_path.string(), sql, nullptr, [&](const std::vector<StoredValue>& values) {
            CsvRow row;
            for (const StoredValue& v : values) {
                switch (v.kind) {
                    case StoredValue::Kind::Null:
                        row.push_back(std::nullopt);
                        break;
                    case StoredValue::Kind::Integer:
                        row.push_back(std::to_string(v.integer));
                        break;
                    case StoredValue::Kind::Real: {
                        char buf[32];
                        row.push_back(std::string(buf, std::to_chars(buf, buf + 32, v.real).ptr));
                        break;
                    }
                    default:
                        row.push_back(v.bytes);
                        break;
                }
            }
            rows.push_back(std::move(row));
        });
    } catch (const std::exception& e) {
        ADD_FAILURE() << sql << ": " << e.what();
    }
    return rows;
}

bool SqliteFile::Exec(const std::string& sql) const {
    try {
        CConnection connection;
        connection.OpenFile(m_path.string());
        connection.Execute(sql.c_str());
        return true;
    } catch (const CComError&) {
        return false;
    }
}

long long SqliteFile::Count(const std::string& sql) const {
    const auto rows = Rows(sql);
    return rows.empty() || !rows[0][0] ? -1 : std::stoll(*rows[0][0]);
}
