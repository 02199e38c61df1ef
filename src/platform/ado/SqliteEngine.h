#pragma once

#include <memory>
#include <string>

#include "platform/ado/Engine.h"

struct sqlite3;

// How long a call waits for a book that another program is writing.
constexpr int kBusyTimeoutMs = 3000;

// Owns one SQLite connection handle and closes it once.
class CEngineHandle {
public:
    CEngineHandle() = default;
    explicit CEngineHandle(sqlite3* db) : m_db(db) {}
    ~CEngineHandle() { Reset(); }
    CEngineHandle(const CEngineHandle&) = delete;
    CEngineHandle& operator=(const CEngineHandle&) = delete;
    CEngineHandle(CEngineHandle&& other) noexcept : m_db(other.Release()) {}
    CEngineHandle& operator=(CEngineHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_db = other.Release();
        }
        return *this;
    }

    sqlite3* Get() const { return m_db; }
    sqlite3* Release() {
        sqlite3* db = m_db;
        m_db = nullptr;
        return db;
    }
    void Reset();

private:
    sqlite3* m_db = nullptr;
};

// Opens the existing SQLite book file at `path` (made absolute); never creates one.
std::unique_ptr<IEngineConnection> OpenSqliteFile(const std::string& path);
