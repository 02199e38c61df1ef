#include "BillBook.h"

#include "platform/ado/BulkDatabase.h"

std::vector<std::vector<std::string>> QueryBook(const std::string& path, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    ReadStoredRows(path, sql, nullptr, [&](const std::vector<StoredValue>& values) {
        rows.emplace_back();
        for (const StoredValue& v : values) {
            switch (v.kind) {
                case StoredValue::Kind::Integer:
                    rows.back().push_back(std::to_string(v.integer));
                    break;
                case StoredValue::Kind::Real:
                    rows.back().push_back(std::to_string(v.real));
                    break;
                case StoredValue::Kind::Null:
                    rows.back().push_back("NULL");
                    break;
                default:
                    rows.back().push_back(v.bytes);
            }
        }
    });
    return rows;
}

long long QueryNumber(const std::string& path, const std::string& sql) {
    long long number = 0;
    ReadStoredRows(path, sql, nullptr, [&](const std::vector<StoredValue>& values) {
        if (values[0].kind == StoredValue::Kind::Integer)
            number = values[0].integer;
        else if (values[0].kind == StoredValue::Kind::Real)
            number = static_cast<long long>(values[0].real);
    });
    return number;
}
