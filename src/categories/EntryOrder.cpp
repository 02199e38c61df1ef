#include "categories/EntryOrder.h"

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/ADOTransaction.h"
#include "platform/ado/JetDialect.h"

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
    CADOTransaction transaction(db);
    ClearKindTable(db, kind);
    if (!SaveEntryOrder(db, kind, entries))
        return false;  // the transaction rolls back
    transaction.Commit();
    return true;
}
