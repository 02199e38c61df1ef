#include "bills/BillRules.h"

#include <initializer_list>

#include "bills/BillText.h"

namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool HasAny(const std::string& text, std::initializer_list<const char*> parts) {
    for (const char* part : parts) {
        if (Has(text, part))
            return true;
    }
    return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

BillDecision Book(BillAction action, std::int64_t fen) {
    return {action, fen, {}};
}

BillDecision Skip(const std::string& reason) {
    return {BillAction::Skip, 0, reason};
}

constexpr const char* kClosed = "交易关闭，未付款";
constexpr const char* kOwnTransfer = "自己账户间转账";
constexpr const char* kZero = "金额为0";

// Money moved between the family's own accounts, funds and cards (Alipay's 不计收支 class).
bool IsAlipayTransfer(const BillRow& row) {
    return HasAny(row.strCategory, {"账户存取", "投资理财", "信用借还"}) ||
           HasAny(row.strDescription, {"余额宝", "转入", "转出", "充值", "提现", "还款", "买入",
                                       "卖出", "余利宝", "放款", "冻结", "解冻"});
}

BillDecision DecideAlipay(const BillRow& row) {
    const std::string& direction = row.strDirection;
    const std::string& status = row.strStatus;
    if (Has(status, "退款")) {
        // A refunded fund purchase goes back to an account of the family: a transfer.
        if (Has(row.strDescription, "买入"))
            return Skip(kOwnTransfer);
        return Book(BillAction::Refund, row.nFen);
    }
    const bool closed = Has(status, "关闭");
    const bool done = Has(status, "成功") || Has(status, "等待确认收货");
    if (direction == "支出") {
        // A closed payment was paid and refunded in full: the refund is its own row.
        if (done || closed)
            return Book(BillAction::Expense, row.nFen);
        return Skip("未完成的交易（" + status + "）");
    }
    if (direction == "收入") {
        if (closed)
            return Skip(kClosed);
        if (done)
            return Book(BillAction::Income, row.nFen);
        return Skip("未完成的交易（" + status + "）");
    }
    // 不计收支, 其他 (before 2023) or blank (web).
    if (closed)
        return Skip(kClosed);
    if (Has(row.strDescription, "收益发放") && done)
        return Book(BillAction::Income, row.nFen);
    if (IsAlipayTransfer(row))
        return Skip(kOwnTransfer);
    return Skip(direction.empty() ? "不计收支（收/支为空）" : "不计收支");
}

BillDecision DecideWeChat(const BillRow& row) {
    if (row.strDirection == "支出")
        return Book(BillAction::Expense, row.nFen);
    if (row.strDirection == "收入") {
        if (EndsWith(row.strCategory, "-退款") || Has(row.strStatus, "退款"))
            return Book(BillAction::Refund, row.nFen);
        return Book(BillAction::Income, row.nFen);
    }
    // Neutral: a withdrawal's fee is the one expense in it.
    const std::string fee = "服务费";
    if (row.strNote.rfind(fee, 0) == 0) {
        const auto fen = ParseFen(row.strNote.substr(fee.size()));
        if (fen && *fen > 0)
            return Book(BillAction::Expense, *fen);
    }
    if (HasAny(row.strCategory, {"零钱", "充值", "提现", "理财通", "还款", "转入", "转出"}))
        return Skip(kOwnTransfer);
    return Skip("中性交易");
}

}  // namespace

BillDecision DecideBillRow(BillPlatform platform, const BillRow& row) {
    BillDecision decision =
        platform == BillPlatform::Alipay ? DecideAlipay(row) : DecideWeChat(row);
    if (decision.action != BillAction::Skip && decision.nFen == 0)
        return Skip(kZero);
    return decision;
}

std::string BillKey(const BillRow& row) {
    std::string order = row.strOrder;
    if (!order.empty() && order != "/")
        return order;
    return "无单号|" + row.strTime + "|" + std::to_string(row.nFen) + "|" + row.strCounterparty;
}
