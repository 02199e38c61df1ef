#include "bills/BillReader.h"

#include <fstream>
#include <iterator>

#include "bills/BillGrid.h"
#include "bills/BillTable.h"
#include "bills/BillText.h"
#include "bills/BillWorkbook.h"

namespace {

// A statement file is a few megabytes at most; anything far larger is not one.
constexpr std::size_t kMaxFileBytes = 256u << 20;

std::variant<BillStatement, BillError> ReadWorkbook(std::string_view bytes) {
    auto sheets = ReadWorkbookSheets(bytes);
    if (auto* error = std::get_if<BillError>(&sheets))
        return *error;
    // The first sheet that holds a statement; a workbook without one reports its first sheet.
    std::optional<BillError> first;
    for (const BillGrid& grid : std::get<std::vector<BillGrid>>(sheets)) {
        auto statement = ReadBillGrid(grid);
        if (std::holds_alternative<BillStatement>(statement))
            return statement;
        if (!first)
            first = std::get<BillError>(statement);
    }
    return *first;
}

}  // namespace

std::variant<BillStatement, BillError> ReadBill(std::string_view bytes) {
    if (bytes.empty())
        return BillError{"文件是空的；应为支付宝或微信支付导出的账单（CSV 或 XLSX）"};
    if (LooksLikeZip(bytes))
        return ReadWorkbook(bytes);
    std::string problem;
    const std::string text = DecodeBillText(bytes, problem);
    if (!problem.empty())
        return BillError{problem};
    return ReadBillGrid(SplitCsv(text));
}

std::variant<BillStatement, BillError> ReadBillFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return BillError{"无法打开文件“" + path + "”"};
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::size_t>(size) > kMaxFileBytes)
        return BillError{"文件“" + path + "”太大，不是支付宝或微信支付的账单"};
    in.seekg(0);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return ReadBill(bytes);
}
