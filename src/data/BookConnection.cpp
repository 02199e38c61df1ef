#include "data/BookConnection.h"

namespace {
std::string& ConnectionString() {
    static std::string text = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb";
    return text;
}
}  // namespace

const char* BookConnectionString() {
    return ConnectionString().c_str();
}

void SetBookDataSource(const std::string& path) {
    ConnectionString() = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path;
}
