#pragma once

#include <memory>
#include <string>

#include "platform/ado/Engine.h"

// Opens a book on a PostgreSQL server by its libpq URI ("postgresql://user@host:port/db",
// or with ?host=/socket/dir). The password, when one is needed, comes from libpq's own
// ~/.pgpass or PGPASSWORD. Throws CComError naming the server when it cannot connect.
std::unique_ptr<IEngineConnection> OpenPostgresServer(const std::string& uri);
