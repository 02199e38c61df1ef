#include "EntryTestSupport.h"

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "platform/ui/ErrorBarrier.h"

namespace {
struct Book {
    Book() {
        db.SetConnectionString(BookConnectionString());
        db.Open();
    }
    CADODatabase db;
};
}  // namespace

std::vector<EntryRow> EntryRows(const std::string& table) {
    Book book;
    CADORecordset rs(&book.db);
    std::vector<EntryRow> rows;
    rs.Open(book.db.GetActiveConnection(), table, CADORecordset::OpenTable);
    while (!rs.IsEOF()) {
        EntryRow row;
        rs.GetFieldValue(1, row.member);
        rs.GetFieldValue(2, row.amount);
        rs.GetFieldValue(3, row.date);
        rs.GetFieldValue(4, row.item);
        rs.GetFieldValue(5, row.remark);
        rows.push_back(row);
        rs.MoveNext();
    }
    return rows;
}

long RowsWithNullRemark(const std::string& table) {
    Book book;
    CADORecordset rs(&book.db);
    rs.Open(book.db.GetActiveConnection(), "select * from " + table + " where 备注 is null",
            CADORecordset::OpenQuery);
    return rs.GetRecordCount();
}

void SetCategoryEntries(const std::string& table, const std::vector<std::string>& entries) {
    Book book;
    CADORecordset rs(&book.db);
    rs.Open(book.db.GetActiveConnection(), "delete from " + table, CADORecordset::OpenDefault);
    rs.Open(book.db.GetActiveConnection(), table, CADORecordset::OpenTable);
    for (const std::string& entry : entries) {
        rs.AddNew();
        rs.SetFieldValue("类型", entry);
        rs.Update();
    }
}

DatabaseMessages::DatabaseMessages() {
    SetFailureDescriber(&DescribeDatabaseFailure);
}

DatabaseMessages::~DatabaseMessages() {
    SetFailureDescriber({});
}
