#include "categories/EntryOrder.h"

#include <chrono>
#include <random>
#include <thread>
#include <utility>

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

// A stored row, and the texts the lists show for it.
struct ShownRow {
    StoredEntry values;
    CategoryEntry shown;
    bool taken = false;
};

std::vector<ShownRow> ReadKindTable(CADODatabase& db, const std::string& kind) {
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), SqlIdentifier(kind), CADORecordset::OpenTable);
    std::vector<ShownRow> rows;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ShownRow row{{rs.GetFieldVariant("类型"), rs.GetFieldVariant("备注")}, {}};
        rs.GetFieldValue("类型", row.shown.strType);
        rs.GetFieldValue("备注", row.shown.strRemark);
        rows.push_back(std::move(row));
    }
    return rows;
}

// The stored values of each entry, in the entries' order: each stored row is used once.
std::vector<StoredEntry> Arrange(std::vector<ShownRow> stored,
                                 const std::vector<CategoryEntry>& entries) {
    std::vector<StoredEntry> arranged;
    for (const CategoryEntry& entry : entries) {
        StoredEntry values{CVariant::FromText(entry.strType), CVariant::FromText(entry.strRemark)};
        for (ShownRow& row : stored) {
            if (!row.taken && row.shown.strType == entry.strType &&
                row.shown.strRemark == entry.strRemark) {
                row.taken = true;
                values = row.values;
                break;
            }
        }
        arranged.push_back(std::move(values));
    }
    return arranged;
}

}  // namespace

void ClearKindTable(CADODatabase& db, const std::string& kind) {
    CADORecordset rs(&db);
    // The statement returns no rows, so Open reports false once it has run.
    rs.Open(db.GetActiveConnection(), "delete from " + SqlIdentifier(kind),
            CADORecordset::OpenDefault);
}

void SaveEntryOrder(CADODatabase& db, const std::string& kind,
                    const std::vector<StoredEntry>& entries) {
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), SqlIdentifier(kind), CADORecordset::OpenDefault);
    for (const StoredEntry& entry : entries) {
        rs.AddNew();
        rs.PutFieldValue(CVariant::FromText("类型"), entry.type);
        rs.PutFieldValue(CVariant::FromText("备注"), entry.remark);
        rs.Update();
    }
    rs.Close();
}

void StoreEntryOrder(CADODatabase& db, const std::string& kind,
                     const std::vector<CategoryEntry>& entries) {
    // Two PCs reordering at once: one rewrite wins whole, the other runs again after it.
    for (int attempt = 1;; ++attempt) {
        try {
            CADOTransaction transaction(db, true);
            std::vector<StoredEntry> arranged = Arrange(ReadKindTable(db, kind), entries);
            ClearKindTable(db, kind);
            SaveEntryOrder(db, kind, arranged);
            transaction.Commit();
            return;
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
