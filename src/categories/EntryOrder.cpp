#include "categories/EntryOrder.h"

#include <chrono>
#include <random>
#include <thread>

#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/ADORecordset.h"
#include "data/ADOTransaction.h"
#include "platform/ado/ComError.h"
#include "platform/ado/JetDialect.h"

namespace {
// A reorder that keeps clashing with others after this many runs is reported.
constexpr int kReorderAttempts = 20;

std::minstd_rand& RetryRandom() {
    static std::minstd_rand random(std::random_device{}());
    return random;
}
}  // namespace

void ClearKindTable(CADODatabase& db, const std::string& kind) {
    CADORecordset rs(&db);
    // The statement returns no rows, so Open reports false once it has run.
    rs.Open(db.GetActiveConnection(), "delete from " + SqlIdentifier(kind),
            CADORecordset::OpenDefault);
}

bool SaveEntryOrder(CADODatabase& db, const std::string& kind,
                    const std::vector<CategoryEntry>& entries) {
    CADORecordset rs(&db);
    if (!rs.Open(db.GetActiveConnection(), SqlIdentifier(kind), CADORecordset::OpenDefault))
        return false;
    for (const CategoryEntry& entry : entries) {
        if (!rs.AddNew() || !rs.SetFieldValue("类型", entry.strType) ||
            !rs.SetFieldValue("备注", entry.strRemark) || !rs.Update()) {
            return false;
        }
    }
    rs.Close();
    return true;
}

bool StoreEntryOrder(CADODatabase& db, const std::string& kind,
                     const std::vector<CategoryEntry>& entries) {
    // Two PCs reordering at once: one rewrite wins whole, the other runs again after it.
    for (int attempt = 1;; ++attempt) {
        try {
            CADOTransaction transaction(db, true);
            ClearKindTable(db, kind);
            if (!SaveEntryOrder(db, kind, entries))
                return false;  // the transaction rolls back
            transaction.Commit();
            return true;
        } catch (const CADOException& e) {
            if (!IsSerializationFailure(e.m_facts) || attempt == kReorderAttempts)
                throw;
        } catch (const CComError& e) {
            if (!IsSerializationFailure(e.Facts()) || attempt == kReorderAttempts)
                throw;
        }
        // A moment that grows and differs between PCs, so the next run does not clash again.
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::uniform_int_distribution<int>(1, 5 * attempt)(RetryRandom())));
    }
}
