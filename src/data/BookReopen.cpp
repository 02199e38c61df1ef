#include "data/BookReopen.h"

#include <filesystem>

#include "data/ADODatabase.h"
#include "data/BookConnection.h"

void ReopenIfBookGone(CADODatabase& db) {
    std::error_code ec;
    // A server book has no file to lose; its connection comes back by itself.
    if (db.IsOpen() && (db.GetActiveConnection()->Kind() != EngineKind::SQLite ||
                        std::filesystem::exists(db.GetActiveConnection()->FilePath(), ec)))
        return;
    db.Close();
    db.SetConnectionString(BookConnectionString());
    db.Open();
}
