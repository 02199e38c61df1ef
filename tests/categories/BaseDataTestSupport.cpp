#include "BaseDataTestSupport.h"

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"

namespace {
template <class Read>
void WalkKind(const std::string& kind, Read read) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), kind, CADORecordset::OpenTable);
    while (!rs.IsEOF()) {
        read(rs);
        rs.MoveNext();
    }
}
}  // namespace

CategoryRows KindRows(const std::string& kind) {
    CategoryRows rows;
    WalkKind(kind, [&](CADORecordset& rs) {
        std::string type, remark;
        rs.GetFieldValue(1, type);
        rs.GetFieldValue("备注", remark);
        rows.emplace_back(type, remark);
    });
    return rows;
}

std::vector<std::string> KindIds(const std::string& kind) {
    std::vector<std::string> ids;
    WalkKind(kind, [&](CADORecordset& rs) {
        std::string id;
        rs.GetFieldValue(0, id);
        ids.push_back(id);
    });
    return ids;
}

void ExecuteOnBook(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), statement, CADORecordset::OpenDefault);
}

void FillKind(const std::string& kind, const std::vector<std::string>& types) {
    ExecuteOnBook("delete from " + kind);
    for (const std::string& type : types)
        ExecuteOnBook("insert into " + kind + " (类型) values ('" + type + "')");
}
