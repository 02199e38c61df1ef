#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which app a statement comes from, and in which of its layouts.
enum class BillPlatform { Alipay, WeChat };

enum class BillLayout {
    AlipayApp,      // preamble, then the header row "交易时间, 交易分类, ..."
    AlipayApp2021,  // header first ("收/支, ..."), the summary after the rows
    AlipayWeb,      // "支付宝交易记录明细查询", 16 columns, footer
    WeChatCsv,      // preamble of 16 lines, "¥" amounts
    WeChatXlsx,     // the same columns in a workbook
};

// One transaction as the statement shows it, fields trimmed and the ids freed of their
// spreadsheet guards.
struct BillRow {
    int nLine = 0;            // line (CSV) or sheet row (XLSX) it was read from
    std::string strTime;      // YYYY-MM-DD HH:MM:SS
    std::string strCategory;  // 交易分类 / 交易类型 (web: 类型)
    std::string strCounterparty;
    std::string strDescription;  // 商品说明 / 商品 / 商品名称
    std::string strDirection;  // 收/支 as written: 收入, 支出, 不计收支, 其他, /, or empty
    std::int64_t nFen = 0;     // always >= 0, as the statement writes it
    std::string strMethod;     // 收/付款方式 / 支付方式
    std::string strStatus;     // 交易状态 / 当前状态
    std::string strOrder;      // 交易订单号 / 交易单号 / 交易号
    std::string strMerchantOrder;
    std::string strNote;        // 备注
    std::string strFundStatus;  // web layout: 资金状态 (已支出 / 已收入)
};

// One class of the statement's own summary: "支出：63笔 16.54元".
struct BillSummaryLine {
    std::string strLabel;  // 收入, 支出, 不计收支, 中性交易, 其他, 已收入, ...
    long nCount = 0;
    std::int64_t nFen = 0;
};

struct BillStatement {
    BillPlatform platform = BillPlatform::Alipay;
    BillLayout layout = BillLayout::AlipayApp;
    std::vector<BillRow> rows;
    long nDeclaredCount = -1;  // "共N笔记录", -1 when the file has none
    std::vector<BillSummaryLine> summary;
};

// Why a file cannot be read as a statement: one Chinese sentence that names what was expected
// and where the file differs.
struct BillError {
    std::string strMessage;
};

const char* PlatformName(BillPlatform platform);
