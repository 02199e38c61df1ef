#include "bills/BillTable.h"

#include <array>
#include <optional>
#include <regex>

#include "bills/BillText.h"

namespace {

// Where each field of BillRow comes from in one layout; nullptr: the layout has no such column.
struct LayoutColumns {
    BillLayout layout;
    BillPlatform platform;
    const char* first;  // the header's first name, which finds the header row
    const char* time;
    const char* category;
    const char* counterparty;
    const char* description;
    const char* direction;
    const char* amount;
    const char* method;
    const char* status;
    const char* order;
    const char* merchantOrder;
    const char* note;
    const char* fundStatus;
    const char* tellTale;  // a name only this layout's header has
    bool footer;           // rows end at a dashed line that must be there
};

constexpr std::array<LayoutColumns, 4> kLayouts{{
    {BillLayout::AlipayApp, BillPlatform::Alipay, "交易时间", "交易时间", "交易分类", "交易对方",
     "商品说明", "收/支", "金额", "收/付款方式", "交易状态", "交易订单号", "商家订单号", "备注",
     nullptr, "交易分类", false},
    {BillLayout::AlipayApp2021, BillPlatform::Alipay, "收/支", "交易时间", "交易分类", "交易对方",
     "商品说明", "收/支", "金额", "收/付款方式", "交易状态", "交易订单号", "商家订单号", nullptr,
     nullptr, "交易分类", true},
    {BillLayout::AlipayWeb, BillPlatform::Alipay, "交易号", "交易创建时间", "类型", "交易对方",
     "商品名称", "收/支", "金额（元）", nullptr, "交易状态", "交易号", "商家订单号", "备注",
     "资金状态", "金额（元）", true},
    {BillLayout::WeChatCsv, BillPlatform::WeChat, "交易时间", "交易时间", "交易类型", "交易对方",
     "商品", "收/支", "金额(元)", "支付方式", "当前状态", "交易单号", "商户单号", "备注", nullptr,
     "交易类型", false},
}};

std::string Where(const BillGrid& grid, int line, std::optional<int> column) {
    std::string where = "第" + std::to_string(line) + "行";
    if (column) {
        where +=
            grid.bSheet ? ColumnLetters(*column) + "列" : "第" + std::to_string(*column + 1) + "列";
    }
    if (grid.bSheet)
        where = "工作表“" + grid.strSheet + "”" + where;
    return where;
}

BillError Fail(const BillGrid& grid, int line, std::optional<int> column, const std::string& text) {
    return BillError{Where(grid, line, column) + "：" + text};
}

std::string Shown(const std::string& text) {
    // Long texts are cut for the message; the cut never splits a character.
    std::string shown = text;
    if (shown.size() > 60) {
        std::size_t cut = 57;
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80)
            --cut;
        shown = shown.substr(0, cut) + "…";
    }
    return "“" + shown + "”";
}

bool IsBlank(const BillGridRow& row) {
    for (const std::string& cell : row.cells) {
        if (!CleanField(cell).empty())
            return false;
    }
    return true;
}

bool IsDashLine(const BillGridRow& row) {
    return !row.cells.empty() && CleanField(row.cells[0]).rfind("---", 0) == 0;
}

// The row's cells joined back into the line the file had (summary lines split at their comma).
std::string Joined(const BillGridRow& row) {
    std::string text;
    for (const std::string& cell : row.cells) {
        if (!text.empty())
            text += ',';
        text += cell;
    }
    while (!text.empty() && (text.back() == ',' || text.back() == ' '))
        text.pop_back();
    return CleanField(text);
}

void ReadSummaryLine(const BillGridRow& row, BillStatement& statement) {
    static const std::regex count("^共(\\d{1,9})笔记录");
    static const std::regex line(
        "^(收入|支出|不计收支|中性交易|其他|已收入|待收入|已支出|待支出)(?:：|:)\\s*(\\d{1,9})笔[ ,]*"
        "([0-9.]+)元");
    const std::string text = Joined(row);
    std::smatch match;
    if (std::regex_search(text, match, count)) {
        statement.nDeclaredCount = std::stol(match[1].str());
    } else if (std::regex_search(text, match, line)) {
        if (const auto fen = ParseFen(match[3].str()))
            statement.summary.push_back({match[1].str(), std::stol(match[2].str()), *fen});
    }
}

struct HeaderMap {
    const LayoutColumns* layout = nullptr;
    std::vector<std::string> names;  // cleaned header cells
    int named = 0;                   // columns every row must have
};

int IndexOf(const HeaderMap& header, const char* name) {
    if (name == nullptr)
        return -1;
    for (std::size_t i = 0; i < header.names.size(); ++i) {
        if (header.names[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

bool Contains(const std::vector<std::string>& names, const char* name) {
    for (const std::string& n : names) {
        if (n == name)
            return true;
    }
    return false;
}

std::string ExpectedNames(const LayoutColumns& l) {
    std::string names;
    for (const char* name : {l.time, l.category, l.counterparty, l.description, l.direction,
                             l.amount, l.status, l.order}) {
        names += (names.empty() ? "" : "、") + std::string(name);
    }
    return names;
}

// The header row and its layout, or the reason there is none.
std::variant<HeaderMap, BillError> FindHeader(const BillGrid& grid, std::size_t& headerIndex) {
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        const BillGridRow& row = grid.rows[r];
        if (row.cells.empty())
            continue;
        const std::string first = CleanField(row.cells[0]);
        // A transaction before any header: the header was lost (a spreadsheet re-save).
        const auto moment = NormaliseBillTime(first);
        if (moment && (first.size() == 19 || grid.bSheet)) {
            return Fail(
                grid, row.nLine, 0,
                "这里已是一笔交易（" + Shown(*moment) +
                    "），前面却没有表头行。应有一行以“交易时间”开头、列出“交易分类”或“交易类型”、"
                    "“金额”等列名的表头；文件可能被电子表格程序另存过，请导入原始账单文件");
        }
        HeaderMap header;
        for (const std::string& cell : row.cells)
            header.names.push_back(CleanField(cell));
        // A row must reach the last named column; a remark column at the end may be left off.
        for (std::size_t i = 0; i < header.names.size(); ++i) {
            if (!header.names[i].empty() && header.names[i] != "备注")
                header.named = static_cast<int>(i) + 1;
        }
        for (const LayoutColumns& layout : kLayouts) {
            if (first != layout.first || !Contains(header.names, layout.tellTale))
                continue;
            for (const char* needed : {layout.time, layout.category, layout.counterparty,
                                       layout.description, layout.direction, layout.amount,
                                       layout.status, layout.order, layout.fundStatus}) {
                if (needed != nullptr && !Contains(header.names, needed)) {
                    return Fail(grid, row.nLine, std::nullopt,
                                "表头缺少“" + std::string(needed) + "”列。应有的列：" +
                                    ExpectedNames(layout));
                }
            }
            header.layout = &layout;
            headerIndex = r;
            return header;
        }
    }
    const BillGridRow* firstLine = grid.rows.empty() ? nullptr : &grid.rows.front();
    return Fail(
        grid, firstLine ? firstLine->nLine : 1, 0,
        "没有找到账单的表头行，这不是支付宝或微信支付导出的账单。应有一行以“交易时间”"
        "（支付宝、微信支付）、“收/支”（支付宝 2021 年版）或“交易号”（支付宝网页版）开头的列名；"
        "文件开头是" +
            Shown(firstLine ? Joined(*firstLine) : std::string()));
}

std::string Cell(const BillGridRow& row, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= row.cells.size())
        return {};
    return CleanField(row.cells[static_cast<std::size_t>(index)]);
}

// WeChat does not quote commas inside 交易对方: the extra fields belong to it.
std::vector<std::string> RejoinCounterparty(std::vector<std::string> cells, std::size_t columns,
                                            int counterparty) {
    while (cells.size() > columns && CleanField(cells.back()).empty())
        cells.pop_back();
    if (cells.size() <= columns || counterparty < 0)
        return cells;
    const std::size_t extra = cells.size() - columns;
    const auto at = static_cast<std::size_t>(counterparty);
    for (std::size_t k = 1; k <= extra; ++k)
        cells[at] += "," + cells[at + k];
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(at + 1),
                cells.begin() + static_cast<std::ptrdiff_t>(at + 1 + extra));
    return cells;
}

}  // namespace

const char* PlatformName(BillPlatform platform) {
    return platform == BillPlatform::Alipay ? "支付宝" : "微信支付";
}

std::variant<BillStatement, BillError> ReadBillGrid(const BillGrid& grid) {
    std::size_t headerIndex = 0;
    auto found = FindHeader(grid, headerIndex);
    if (auto* error = std::get_if<BillError>(&found))
        return *error;
    const HeaderMap& header = std::get<HeaderMap>(found);
    const LayoutColumns& l = *header.layout;

    BillStatement statement;
    statement.platform = l.platform;
    statement.layout = grid.bSheet ? BillLayout::WeChatXlsx : l.layout;
    for (std::size_t r = 0; r < headerIndex; ++r)
        ReadSummaryLine(grid.rows[r], statement);

    const int time = IndexOf(header, l.time);
    const int amount = IndexOf(header, l.amount);
    const int counterparty = IndexOf(header, l.counterparty);
    bool footerSeen = false;
    std::size_t r = headerIndex + 1;
    for (; r < grid.rows.size(); ++r) {
        const BillGridRow& source = grid.rows[r];
        if (IsDashLine(source)) {
            footerSeen = true;
            break;
        }
        if (IsBlank(source))
            continue;
        BillGridRow row = source;
        if (l.platform == BillPlatform::WeChat)
            row.cells = RejoinCounterparty(row.cells, header.names.size(), counterparty);
        if (static_cast<int>(row.cells.size()) < header.named) {
            const std::string& last = header.names[static_cast<std::size_t>(header.named - 1)];
            return Fail(grid, row.nLine, static_cast<int>(row.cells.size()) - 1,
                        "这一行只有" + std::to_string(row.cells.size()) + "列，应有" +
                            std::to_string(header.named) + "列（到“" + last +
                            "”为止）；文件不完整，可能在这里被截断了");
        }
        BillRow bill;
        bill.nLine = row.nLine;
        const std::string timeText = Cell(row, time);
        const auto normalised = NormaliseBillTime(timeText);
        if (!normalised) {
            return Fail(grid, row.nLine, time,
                        "交易时间应为“YYYY-MM-DD HH:MM:SS”，实为" + Shown(timeText) +
                            "；文件可能被电子表格程序另存过（改了日期格式），请导入原始账单文件");
        }
        bill.strTime = *normalised;
        const std::string amountText = Cell(row, amount);
        const auto fen = ParseFen(amountText);
        if (!fen) {
            return Fail(grid, row.nLine, amount,
                        "金额应为“12.34”这样的数（可带“¥”），实为" + Shown(amountText));
        }
        bill.nFen = *fen;
        bill.strCategory = Cell(row, IndexOf(header, l.category));
        bill.strCounterparty = Cell(row, counterparty);
        bill.strDescription = Cell(row, IndexOf(header, l.description));
        bill.strDirection = Cell(row, IndexOf(header, l.direction));
        bill.strMethod = Cell(row, IndexOf(header, l.method));
        bill.strStatus = Cell(row, IndexOf(header, l.status));
        bill.strOrder = Cell(row, IndexOf(header, l.order));
        bill.strMerchantOrder = Cell(row, IndexOf(header, l.merchantOrder));
        bill.strNote = Cell(row, IndexOf(header, l.note));
        bill.strFundStatus = Cell(row, IndexOf(header, l.fundStatus));
        statement.rows.push_back(std::move(bill));
    }
    if (l.footer && !footerSeen) {
        const int last = grid.rows.empty() ? 1 : grid.rows.back().nLine;
        return Fail(grid, last, std::nullopt,
                    "文件在这里结束，但交易之后应有一行“-----”和“共N笔记录”的汇总；文件不完整，"
                    "可能被截断了");
    }
    for (; r < grid.rows.size(); ++r)
        ReadSummaryLine(grid.rows[r], statement);
    return statement;
}
