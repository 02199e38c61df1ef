#include "AccountsTestSupport.h"

#include <algorithm>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "data/PasswordHash.h"
#include "platform/ui/ErrorBarrier.h"

std::vector<std::pair<std::string, std::string>> UserRows(const std::vector<std::string>& known) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    std::vector<std::pair<std::string, std::string>> rows;
    rs.Open(db.GetActiveConnection(), "tbUser", CADORecordset::OpenTable);
    while (!rs.IsEOF()) {
        std::string user, password;
        rs.GetFieldValue("user", user);
        rs.GetFieldValue("password", password);
        if (!known.empty() && IsPasswordHash(password)) {
            const auto it = std::find_if(known.begin(), known.end(), [&](const std::string& p) {
                return PasswordMatches(password, p);
            });
            password = "hash:" + (it == known.end() ? std::string("?") : *it);
        }
        rows.emplace_back(user, password);
        rs.MoveNext();
    }
    return rows;
}

void ExecuteOnBook(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
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
