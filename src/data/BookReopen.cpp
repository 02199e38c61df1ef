#include "data/BookReopen.h"

#include <filesystem>

#include "data/ADODatabase.h"
#include "data/BookConnection.h"

void ReopenIfBookGone(CADODatabase& db) {
    std::error_code ec;
    if (db.IsOpen() && std::filesystem::exists(db.GetActiveConnection()->FilePath(), ec))
        return;
    db.Close();
    db.SetConnectionString(BookConnectionString());
    db.Open();
}
