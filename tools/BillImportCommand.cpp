#include "BillImportCommand.h"

#include <exception>
#include <map>
#include <variant>

#include "bills/BillImport.h"
#include "bills/BillReader.h"
#include "data/ADODatabase.h"
#include "data/BookBackup.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"

namespace {

std::string Yuan(std::int64_t fen) {
    const std::int64_t whole = (fen < 0 ? -fen : fen);
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", fen < 0 ? "-" : "",
                  static_cast<long long>(whole / 100), static_cast<long long>(whole % 100));
    return text;
}

bool IsMember(const BillImportPlan& plan, const std::string& member) {
    for (const std::string& m : plan.members) {
        if (m == member)
            return true;
    }
    return false;
}

}  // namespace

int RunImportBillCommand(const std::string& book, const std::string& file,
                         const std::string& member, bool dryRun, std::FILE* out, std::FILE* err) {
    auto read = ReadBillFile(file);
    if (const auto* error = std::get_if<BillError>(&read)) {
        std::fprintf(err, "tillbook-db: %s：%s\n", file.c_str(), error->strMessage.c_str());
        return 1;
    }
    const BillStatement& statement = std::get<BillStatement>(read);
    try {
        CADODatabase db;
        db.SetConnectionString(ConnectionStringFor(book));
        db.Open();
        BillImportPlan plan = PlanBillImport(db, statement);
        if (!IsMember(plan, member)) {
            std::string members;
            for (const std::string& m : plan.members)
                members += (members.empty() ? "" : "、") + m;
            std::fprintf(err, "tillbook-db: 家庭成员“%s”不在账本中（账本中有：%s），未导入\n",
                         member.c_str(), members.c_str());
            return 1;
        }
        // A whole statement goes in at once: keep the book as it was before it.
        if (!dryRun && SummariseBillImport(plan).nAdded > 0)
            BackUpBeforeBulkChange(db.GetActiveConnection()->FilePath());
        const BillImportResult result =
            dryRun ? SummariseBillImport(plan) : ApplyBillImport(db, plan, member);
        std::fprintf(out, "%s账单，%zu笔：%s %d 笔，跳过 %d 笔，已在账本中 %d 笔",
                     PlatformName(statement.platform), statement.rows.size(),
                     dryRun ? "将添加" : "添加", result.nAdded, result.nSkipped, result.nPresent);
        if (result.nStatusChanged > 0)
            std::fprintf(out, "（其中 %d 笔状态有变）", result.nStatusChanged);
        std::fprintf(out, "\n支出 %s 元（退款已扣除），收入 %s 元\n", Yuan(result.nPayFen).c_str(),
                     Yuan(result.nIncomeFen).c_str());
        std::map<std::string, int> reasons;
        for (const PlannedBillRow& r : plan.rows) {
            if (r.presence == BillPresence::New && !r.Bookable())
                ++reasons[r.decision.strReason];
        }
        for (const auto& [reason, count] : reasons)
            std::fprintf(out, "跳过：%s %d 笔\n", reason.c_str(), count);
        if (dryRun)
            std::fprintf(out, "试运行，账本未改动\n");
        return 0;
    } catch (...) {
        const auto message = DescribeDatabaseFailure(std::current_exception());
        std::fprintf(err, "tillbook-db: %s\n", message ? message->c_str() : "导入失败");
        return 1;
    }
}
