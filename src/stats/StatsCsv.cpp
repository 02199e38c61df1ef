#include "stats/StatsCsv.h"

#include "data/BookSide.h"
#include "text/CsvWriter.h"

std::string StatsCsv(const StatsResult& result, const std::string& period,
                     const std::string& filter, const std::vector<StatsTable>& tables) {
    CsvWriter csv;
    csv.Record({"收支统计", period});
    if (!filter.empty())
        csv.Record({"查询条件", filter});
    csv.Record({kIncomeSide.name, FenText(result.total.income.fen, FenStyle::Plain)});
    csv.Record({kPaySide.name, FenText(result.total.pay.fen, FenStyle::Plain)});
    csv.Record({"结余", FenText(result.total.Balance(), FenStyle::Plain)});
    csv.Record({"笔数", std::to_string(result.total.Count())});
    for (const StatsTable& table : tables) {
        csv.EndRecord();
        csv.Record({table.strTitle});
        csv.Record(table.headers);
        for (const auto& row : table.rows)
            csv.Record(row);
    }
    return csv.Text();
}
