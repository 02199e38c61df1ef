#include "categories/CategoryList.h"

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "platform/ui/CComboBox.h"

void AppendCategoryEntries(CADODatabase& db, const std::string& table, CComboBox& combo) {
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), table, CADORecordset::OpenTable);
    std::string text;
    while (!rs.IsEOF()) {
        rs.GetFieldValue(1, text);
        // By position, so a combo with the sort style still keeps the table order.
        combo.InsertString(combo.GetCount(), text);
        rs.MoveNext();
    }
    rs.Close();
}
