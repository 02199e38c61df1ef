#include "AccountsTestSupport.h"

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "platform/ui/ErrorBarrier.h"

std::vector<std::pair<std::string, std::string>> UserRows() {
    CADODatabase db;
    db.SetConnectionString(kBookConnectionString);
    db.Open();
    CADORecordset rs(&db);
    std::vector<std::pair<std::string, std::string>> rows;
    rs.Open(db.GetActiveConnection(), "tbUser", CADORecordset::OpenTable);
    while (!rs.IsEOF()) {
        std::string user, password;
        rs.GetFieldValue("user", user);
        rs.GetFieldValue("password", password);
        rows.emplace_back(user, password);
        rs.MoveNext();
    }
    return rows;
}

void ExecuteOnBook(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(kBookConnectionString);
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), statement, CADORecordset::OpenDefault);
}

DatabaseMessages::DatabaseMessages() {
    SetFailureDescriber(&DescribeDatabaseFailure);
}

DatabaseMessages::~DatabaseMessages() {
    SetFailureDescriber({});
}
