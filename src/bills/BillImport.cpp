#include "bills/BillImport.h"

#include <set>
#include <unordered_map>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/ADOTransaction.h"
#include "data/BookSide.h"
#include "data/DateTimeValue.h"
#include "data/Fen.h"
#include "data/SqlText.h"

namespace {

constexpr const char* kImportTable = "billImport";
constexpr const char* kMappingTable = "billItemMap";
// Remembers each imported transaction by platform and order number, so a file imported again
// (or an export that overlaps an earlier one) adds nothing twice.
constexpr const char* kCreateImportTable =
    "CREATE TABLE IF NOT EXISTS billImport ("
    "编号 INTEGER PRIMARY KEY AUTOINCREMENT, 平台 TEXT NOT NULL, 订单号 TEXT NOT NULL, "
    "交易状态 TEXT, 交易时间 DATETIME, 金额 DOUBLE, 账目表 TEXT, 账目编号 INTEGER, 项目 TEXT, "
    "UNIQUE (平台, 订单号))";
// The item each platform category was booked under last time.
constexpr const char* kCreateMappingTable =
    "CREATE TABLE IF NOT EXISTS billItemMap ("
    "平台 TEXT NOT NULL, 收支 TEXT NOT NULL, 交易分类 TEXT NOT NULL, 项目 TEXT, "
    "PRIMARY KEY (平台, 收支, 交易分类))";

// Jet's text columns held 255 characters; remarks stay within that.
constexpr std::size_t kRemarkCharacters = 255;

// "YYYY-MM-DD HH:MM:SS", which the reader has checked, as the book's date.
DateTimeValue BillDate(const std::string& time) {
    auto number = [&](std::size_t at, std::size_t length) {
        return std::stoi(time.substr(at, length));
    };
    return DateTimeValue(number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2),
                         number(17, 2));
}

const char* SideName(BillSide side) {
    return side == BillSide::Pay ? "支出" : "收入";
}

bool TableExists(CADODatabase& db, const char* table) {
    CADORecordset rs(&db);
    return rs.Open(db.GetActiveConnection(),
                   "select name from sqlite_master where type = 'table' and name = '" +
                       std::string(table) + "'",
                   CADORecordset::OpenQuery) &&
           !rs.IsEOF();
}

std::vector<std::string> ReadColumn(CADODatabase& db, const std::string& source, int mode) {
    std::vector<std::string> values;
    CADORecordset rs(&db);
    if (!rs.Open(db.GetActiveConnection(), source, mode))
        return values;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::string value;
        rs.GetFieldValue(mode == CADORecordset::OpenTable ? 1 : 0, value);
        values.push_back(value);
    }
    return values;
}

bool Contains(const std::vector<std::string>& items, const std::string& item) {
    for (const std::string& i : items) {
        if (i == item)
            return true;
    }
    return false;
}

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Links each refund to the payment it returns money for: Alipay refund numbers extend the
// order number ("<order>_<suffix>"); a WeChat red-packet or transfer refund carries the
// payment's merchant number, a merchant refund only its counterparty.
void LinkRefunds(BillImportPlan& plan,
                 const std::unordered_map<std::string, std::string>& storedItems) {
    std::unordered_map<std::string, int> byOrder;
    std::unordered_map<std::string, int> byMerchantOrder;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const PlannedBillRow& r = plan.rows[i];
        if (r.decision.action != BillAction::Expense)
            continue;
        byOrder.emplace(r.row.strOrder, static_cast<int>(i));
        if (!r.row.strMerchantOrder.empty() && r.row.strMerchantOrder != "/")
            byMerchantOrder.emplace(r.row.strMerchantOrder, static_cast<int>(i));
    }
    for (PlannedBillRow& r : plan.rows) {
        if (r.decision.action != BillAction::Refund)
            continue;
        if (plan.platform == BillPlatform::Alipay) {
            const std::string original = r.row.strOrder.substr(0, r.row.strOrder.find('_'));
            if (const auto found = byOrder.find(original); found != byOrder.end())
                r.nRefundOf = found->second;
            else if (const auto stored = storedItems.find(original); stored != storedItems.end())
                r.strStoredItem = stored->second;
            continue;
        }
        if (const auto found = byMerchantOrder.find(r.row.strOrder);
            found != byMerchantOrder.end()) {
            r.nRefundOf = found->second;
            continue;
        }
        for (std::size_t i = 0; i < plan.rows.size(); ++i) {
            const PlannedBillRow& payment = plan.rows[i];
            if (payment.decision.action == BillAction::Expense &&
                payment.row.strCounterparty == r.row.strCounterparty &&
                payment.row.strStatus.find("退") != std::string::npos) {
                r.nRefundOf = static_cast<int>(i);
                break;
            }
        }
    }
}

}  // namespace

std::string SkipText(const PlannedBillRow& row) {
    if (row.presence == BillPresence::Present)
        return "已在账本中";
    if (row.presence == BillPresence::StatusChanged)
        return "已在账本中，状态由“" + row.strStoredStatus + "”变为“" + row.row.strStatus + "”";
    return row.decision.strReason;
}

std::string ProposeItem(const std::string& category, const std::vector<std::string>& items) {
    if (items.empty())
        return {};
    if (Contains(items, category))
        return category;
    for (const std::string& item : items) {
        if (Characters(item) >= 2 && category.find(item) != std::string::npos)
            return item;
    }
    for (const std::string& item : items) {
        if (item.rfind("其他", 0) == 0)
            return item;
    }
    return items.front();
}

std::string BillImportPlan::ItemFor(std::size_t index) const {
    const PlannedBillRow& r = rows[index];
    if (r.nRefundOf >= 0)
        return ItemFor(static_cast<std::size_t>(r.nRefundOf));
    if (!r.strStoredItem.empty() && Contains(payItems, r.strStoredItem))
        return r.strStoredItem;
    const auto found = mapping.find({r.Side(), r.row.strCategory});
    return found == mapping.end() ? std::string() : found->second;
}

std::vector<CategoryKey> BillImportPlan::MappedCategories() const {
    std::vector<CategoryKey> keys;
    std::set<CategoryKey> seen;
    for (const PlannedBillRow& r : rows) {
        if (r.decision.action == BillAction::Skip || r.nRefundOf >= 0)
            continue;
        const CategoryKey key{r.Side(), r.row.strCategory};
        if (seen.insert(key).second)
            keys.push_back(key);
    }
    return keys;
}

BillImportPlan PlanBillImport(CADODatabase& db, const BillStatement& statement) {
    BillImportPlan plan;
    plan.platform = statement.platform;
    plan.payItems = ReadColumn(db, kPaySide.itemTable, CADORecordset::OpenTable);
    plan.incomeItems = ReadColumn(db, kIncomeSide.itemTable, CADORecordset::OpenTable);
    plan.members = ReadColumn(db, kMemberTable, CADORecordset::OpenTable);
    const std::string platform = SqlText(PlatformName(statement.platform));

    std::unordered_map<std::string, std::pair<std::string, std::string>> stored;  // status, item
    if (TableExists(db, kImportTable)) {
        CADORecordset rs(&db);
        if (rs.Open(db.GetActiveConnection(),
                    "select 订单号, 交易状态, 项目 from billImport where 平台 = '" + platform + "'",
                    CADORecordset::OpenQuery)) {
            for (; !rs.IsEOF(); rs.MoveNext()) {
                std::string key, status, item;
                rs.GetFieldValue(0, key);
                rs.GetFieldValue(1, status);
                rs.GetFieldValue(2, item);
                stored.emplace(key, std::make_pair(status, item));
            }
        }
    }
    std::map<CategoryKey, std::string> remembered;
    if (TableExists(db, kMappingTable)) {
        CADORecordset rs(&db);
        if (rs.Open(db.GetActiveConnection(),
                    "select 收支, 交易分类, 项目 from billItemMap where 平台 = '" + platform + "'",
                    CADORecordset::OpenQuery)) {
            for (; !rs.IsEOF(); rs.MoveNext()) {
                std::string side, category, item;
                rs.GetFieldValue(0, side);
                rs.GetFieldValue(1, category);
                rs.GetFieldValue(2, item);
                remembered[{side == "收入" ? BillSide::Income : BillSide::Pay, category}] = item;
            }
        }
    }

    std::unordered_map<std::string, std::size_t> firstLine;
    for (std::size_t i = 0; i < statement.rows.size(); ++i) {
        const BillRow& row = statement.rows[i];
        PlannedBillRow r;
        r.row = row;
        r.decision = DecideBillRow(statement.platform, row);
        r.strKey = BillKey(row);
        if (const auto [at, inserted] = firstLine.emplace(r.strKey, i); !inserted) {
            // The same order twice in one file is one transaction; an order number that
            // stands on different transactions (edited files do this) keeps them apart.
            r.strKey +=
                "|" + row.strTime + "|" + std::to_string(row.nFen) + "|" + row.strCounterparty;
            const auto [again, fresh] = firstLine.emplace(r.strKey, i);
            const BillRow& first = statement.rows[at->second];
            const bool same = first.strTime == row.strTime && first.nFen == row.nFen &&
                              first.strCounterparty == row.strCounterparty;
            if (same || !fresh) {
                const BillRow& earlier = same ? first : statement.rows[again->second];
                r.decision = {BillAction::Skip, 0,
                              "与第" + std::to_string(earlier.nLine) + "行是同一笔交易"};
                plan.rows.push_back(std::move(r));
                continue;
            }
        }
        if (const auto found = stored.find(r.strKey); found != stored.end()) {
            r.strStoredStatus = found->second.first;
            r.presence = r.strStoredStatus == row.strStatus ? BillPresence::Present
                                                            : BillPresence::StatusChanged;
        }
        plan.rows.push_back(std::move(r));
    }
    std::unordered_map<std::string, std::string> storedItems;
    for (const auto& [key, value] : stored)
        storedItems.emplace(key, value.second);
    LinkRefunds(plan, storedItems);

    for (const CategoryKey& key : plan.MappedCategories()) {
        const auto found = remembered.find(key);
        const std::vector<std::string>& items = plan.ItemsOf(key.first);
        plan.mapping[key] = found != remembered.end() && Contains(items, found->second)
                                ? found->second
                                : ProposeItem(key.second, items);
    }
    for (PlannedBillRow& r : plan.rows)
        r.bChecked = r.Bookable();
    return plan;
}

BillImportResult SummariseBillImport(const BillImportPlan& plan) {
    BillImportResult result;
    for (const PlannedBillRow& r : plan.rows) {
        if (r.presence != BillPresence::New) {
            ++result.nPresent;
            result.nStatusChanged += r.presence == BillPresence::StatusChanged;
        } else if (r.Bookable() && r.bChecked) {
            ++result.nAdded;
            (r.Side() == BillSide::Pay ? result.nPayFen : result.nIncomeFen) += r.SignedFen();
        } else {
            ++result.nSkipped;
        }
    }
    return result;
}

std::string BillRemark(const BillRow& row) {
    std::string remark = row.strCounterparty;
    if (!row.strDescription.empty() && row.strDescription != "/" &&
        row.strDescription != row.strCounterparty)
        remark += (remark.empty() ? "" : " ") + row.strDescription;
    if (Characters(remark) <= kRemarkCharacters)
        return remark;
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i < remark.size(); ++i) {
        if ((static_cast<unsigned char>(remark[i]) & 0xC0) != 0x80 && ++count > kRemarkCharacters)
            break;
    }
    return remark.substr(0, i);
}

BillImportResult ApplyBillImport(CADODatabase& db, const BillImportPlan& plan,
                                 const std::string& member) {
    const BillImportResult result = SummariseBillImport(plan);
    const std::string platformName = PlatformName(plan.platform);
    const std::string platform = SqlText(platformName);
    ConnectionPtr connection = db.GetActiveConnection();
    CADOTransaction transaction(db);
    connection->Execute(kCreateImportTable);
    connection->Execute(kCreateMappingTable);

    CADORecordset pay(&db);
    CADORecordset income(&db);
    pay.Open(connection, kPaySide.entryTable, CADORecordset::OpenTable);
    income.Open(connection, kIncomeSide.entryTable, CADORecordset::OpenTable);
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const PlannedBillRow& r = plan.rows[i];
        if (r.presence == BillPresence::StatusChanged) {
            connection->Execute(("UPDATE billImport SET 交易状态 = '" + SqlText(r.row.strStatus) +
                                 "' WHERE 平台 = '" + platform + "' AND 订单号 = '" +
                                 SqlText(r.strKey) + "'")
                                    .c_str());
        }
        if (!r.Bookable() || !r.bChecked)
            continue;
        const bool toPay = r.Side() == BillSide::Pay;
        const BookSide& side = toPay ? kPaySide : kIncomeSide;
        CADORecordset& rs = toPay ? pay : income;
        const std::string item = plan.ItemFor(i);
        const DateTimeValue date = BillDate(r.row.strTime);
        const double amount = Fen(r.SignedFen()).Yuan();
        rs.AddNew();
        rs.SetFieldValue(side.memberColumn, member);
        rs.SetFieldValue(side.itemColumn, item);
        rs.SetFieldValue(side.amountColumn, amount);
        rs.SetFieldValue(side.dateColumn, date);
        rs.SetFieldValue(side.remarkColumn, BillRemark(r.row));
        rs.Update();
        const std::int64_t entryId = connection->LastInsertRowid();

        // The import's own record needs no row kept in memory: one statement each.
        connection->Execute(
            ("INSERT INTO billImport (平台, 订单号, 交易状态, 交易时间, 金额, 账目表, "
             "账目编号, 项目) VALUES ('" +
             platform + "', '" + SqlText(r.strKey) + "', '" + SqlText(r.row.strStatus) + "', '" +
             r.row.strTime + "', " + FenText(Fen(r.SignedFen()), FenStyle::Plain) + ", '" +
             side.entryTable + "', " + std::to_string(entryId) + ", '" + SqlText(item) + "')")
                .c_str());
    }
    for (const auto& [key, item] : plan.mapping) {
        connection->Execute(
            ("INSERT OR REPLACE INTO billItemMap (平台, 收支, 交易分类, 项目) VALUES ('" +
             platform + "', '" + SideName(key.first) + "', '" + SqlText(key.second) + "', '" +
             SqlText(item) + "')")
                .c_str());
    }
    transaction.Commit();
    return result;
}
