#include "BookCopy.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "data/ServerBook.h"
#include "platform/ado/ComError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/Statement.h"

namespace {

// Parents before the tables whose rows name them.
constexpr const char* kBookTables[] = {"baseData", "家庭成员",     "收入类型", "支出类型",
                                       "tbUser",   "normalIncome", "normalPay"};

ConnectionPtr OpenBook(const std::string& book) {
    auto connection = std::make_shared<CConnection>();
    if (IsServerBook(book))
        connection->OpenServer(book);
    else
        connection->OpenFile(book);
    return connection;
}

std::int64_t CountRows(const CConnection& connection, const std::string& table) {
    CStatement count(connection, "SELECT count(*) FROM " + QuoteIdentifier(table));
    count.Step();
    return count.ColumnInt64(0);
}

// Copies one table's rows in their stored order; returns how many.
std::int64_t CopyTable(const ConnectionPtr& from, CConnection& to, const std::string& table) {
    CRecordset source;
    source.Open(table, from, adOpenStatic, adLockOptimistic, adCmdTable);
    const long fields = source.GetFieldCount();
    std::string columns, marks;
    for (long f = 0; f < fields; ++f) {
        columns += (f == 0 ? "" : ", ") + QuoteIdentifier(source.GetFieldInfo(f).strName);
        marks += f == 0 ? "?" : ", ?";
    }
    CStatement insert(
        to, "INSERT INTO " + QuoteIdentifier(table) + " (" + columns + ") VALUES (" + marks + ")");
    std::int64_t rows = 0;
    for (; !source.IsEOF(); source.MoveNext(), ++rows) {
        for (long f = 0; f < fields; ++f)
            insert.Bind(static_cast<int>(f + 1),
                        source.GetValue(CVariant::FromI4(static_cast<std::int32_t>(f))));
        insert.Step();
    }
    // The server numbers the next new row after the copied ones.
    if (to.Kind() == EngineKind::PostgreSQL && columns.find("\"编号\"") != std::string::npos) {
        CStatement next(to,
                        "SELECT setval(pg_get_serial_sequence(?1, '编号'), "
                        "coalesce(max(\"编号\"), 0) + 1, false) FROM " +
                            QuoteIdentifier(table));
        next.BindText(1, QuoteIdentifier(table));
        next.Step();
    }
    return rows;
}

// The target, new and without rows; its tables are made in the copy's own transaction on a
// server, so a failed copy leaves the database as empty as it was.
ConnectionPtr OpenEmptyTarget(const std::string& to) {
    if (IsServerBook(to)) {
        ConnectionPtr target = OpenBook(to);
        RequireEmptyDatabase(*target);
        return target;
    }
    std::error_code ec;
    if (std::filesystem::exists(to, ec))
        throw std::runtime_error("'" + to + "' already exists; it was left untouched.");
    CreateEmptyBook(to);
    return OpenBook(to);
}

}  // namespace

int RunCopyCommand(const std::string& from, const std::string& to, std::FILE* out, std::FILE* err) {
    const std::string shownFrom = ShownBookName(from), shownTo = ShownBookName(to);
    ConnectionPtr source;
    try {
        source = OpenBook(from);
    } catch (const CComError& e) {
        std::fprintf(err, "tillbook-db: cannot open %s: %s\n", shownFrom.c_str(),
                     e.Description().c_str());
        return 1;
    }
    ConnectionPtr target;
    try {
        target = OpenEmptyTarget(to);
    } catch (const CComError& e) {
        std::fprintf(err, "tillbook-db: cannot open %s: %s\n", shownTo.c_str(),
                     e.Description().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
    bool copied = false;
    try {
        target->BeginTrans();
        if (target->Kind() == EngineKind::PostgreSQL)
            CreateServerTables(*target);
        std::vector<std::int64_t> counts;
        for (const char* table : kBookTables)
            counts.push_back(CopyTable(source, *target, table));
        target->CommitTrans();
        copied = true;
        for (size_t i = 0; i < counts.size(); ++i) {
            const std::int64_t there = CountRows(*target, kBookTables[i]);
            const std::int64_t here = CountRows(*source, kBookTables[i]);
            if (there != here || there != counts[i]) {
                std::fprintf(err, "tillbook-db: %s: %lld rows in %s, %lld in %s\n", kBookTables[i],
                             static_cast<long long>(here), shownFrom.c_str(),
                             static_cast<long long>(there), shownTo.c_str());
                return 1;
            }
            std::fprintf(out, "%s: %lld rows\n", kBookTables[i], static_cast<long long>(there));
        }
    } catch (const CComError& e) {
        std::fprintf(err, "tillbook-db: cannot copy %s to %s: %s\n", shownFrom.c_str(),
                     shownTo.c_str(), e.Description().c_str());
        // A new file that did not receive the whole book goes; on a server the transaction
        // takes the tables back with the rows.
        target.reset();
        if (!copied && !IsServerBook(to)) {
            std::error_code ec;
            std::filesystem::remove(to, ec);
        }
        return 1;
    }
    std::fprintf(out, "Copied %s to %s\n", shownFrom.c_str(), shownTo.c_str());
    return 0;
}
