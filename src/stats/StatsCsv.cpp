#include "stats/StatsCsv.h"

namespace {
void Line(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}
}  // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string StatsCsv(const StatsResult& result, const std::string& period,
                     const std::string& filter, const std::vector<StatsTable>& tables) {
    std::string out = "\xEF\xBB\xBF";
    Line(out, {"收支统计", period});
    if (!filter.empty())
        Line(out, {"查询条件", filter});
    Line(out, {"收入", PlainFen(result.total.income.nFen)});
    Line(out, {"支出", PlainFen(result.total.pay.nFen)});
    Line(out, {"结余", PlainFen(result.total.BalanceFen())});
    Line(out, {"笔数", std::to_string(result.total.Count())});
    for (const StatsTable& table : tables) {
        out += "\r\n";
        Line(out, {table.strTitle});
        Line(out, table.headers);
        for (const auto& row : table.rows)
            Line(out, row);
    }
    return out;
}
