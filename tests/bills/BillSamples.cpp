#include "BillSamples.h"

#include <zip.h>

#include <QStringEncoder>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string Two(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n % 100);
    return text;
}

// The moment of row `i`: one per hour, from 2026-01-01.
std::string Moment(int i) {
    const int day = i / 24;
    return "2026-" + Two(1 + day / 28 % 12) + "-" + Two(1 + day % 28) + " " + Two(i % 24) + ":" +
           Two(i * 7 % 60) + ":" + Two(i * 13 % 60);
}

std::string Amount(int i) {
    return std::to_string(1 + i * 37 % 500) + "." + Two(i * 11);
}

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string AlipaySample(int rows, int firstOrder) {
    static const char* const kCategories[] = {"餐饮美食", "日用百货", "交通出行",
                                              "医疗健康", "文化休闲", "服饰装扮"};
    std::string text =
        std::string(84, '-') +
        "\n导出信息：\n姓名：测试\n支付宝账户：test@example.com\n"
        "起始时间：[2026-01-01 00:00:00]    终止时间：[2026-12-31 23:59:59]\n"
        "导出交易类型：[全部]\n导出时间：[2026-12-31 23:59:59]\n共" +
        std::to_string(rows) + "笔记录\n\n特别提示：\n1.本明细仅供个人对账使用。\n\n" +
        std::string(24, '-') + "支付宝支付科技有限公司  电子客户回单" + std::string(24, '-') +
        "\n交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,"
        "交易订单号,商家订单号,备注,\n";
    for (int i = 0; i < rows; ++i) {
        const int n = firstOrder + i;
        const std::string order = "2026" + std::to_string(100000000 + n);
        std::string line;
        if (i % 40 == 39) {
            const std::string original = "2026" + std::to_string(100000000 + n - 1);
            line = Moment(i) + ",退款,商户" + std::to_string(n - 1) + ",/,退款-商品" +
                   std::to_string(n - 1) + ",不计收支," + Amount(i - 1) + ",余额,退款成功," +
                   original + "_" + std::to_string(n) + "\t,M" + std::to_string(n - 1) + "\t,,";
        } else if (i % 40 == 38) {
            line = Moment(i) + ",日用百货,商户" + std::to_string(n) + ",/,商品" +
                   std::to_string(n) + ",支出," + Amount(i) + ",余额,交易关闭," + order + "\t,M" +
                   std::to_string(n) + "\t,,";
        } else if (i % 10 == 9) {
            line = Moment(i) + ",收入,朋友" + std::to_string(n) + ",/,转账,收入," + Amount(i) +
                   ",,交易成功," + order + "\t,\t,,";
        } else if (i % 10 == 8) {
            line = Moment(i) + ",投资理财,余额宝,/,余额宝-单次转入,不计收支," + Amount(i) +
                   ",余额,交易成功," + order + "\t,\t,,";
        } else {
            line = Moment(i) + "," + kCategories[i % 6] + ",商户" + std::to_string(n) +
                   ",abc***@example.com,商品" + std::to_string(n) + ",支出," + Amount(i) +
                   ",招商银行信用卡(1234),交易成功," + order + "\t,M" + std::to_string(n) + "\t,,";
        }
        text += line + "\n";
    }
    return text;
}

std::string WeChatSample(int rows, int firstOrder) {
    static const char* const kTypes[] = {"商户消费", "扫二维码付款", "转账", "微信红包"};
    std::string text =
        "微信支付账单明细,,,,,,,,,,\n微信昵称：[测试],,,,,,,,,,\n"
        "起始时间：[2026-01-01 00:00:00] 终止时间：[2026-12-31 23:59:59],,,,,,,,,,\n"
        "导出类型：[全部],,,,,,,,,,\n导出时间：[2026-12-31 23:59:59],,,,,,,,,,\n,,,,,,,,,,\n共" +
        std::to_string(rows) +
        "笔记录,,,,,,,,,,\n收入：0笔 0.00元,,,,,,,,,,\n支出：0笔 0.00元,,,,,,,,,,\n"
        "中性交易：0笔 0.00元,,,,,,,,,,\n注：,,,,,,,,,,\n1. 本明细仅供个人对账使用,,,,,,,,,,\n"
        ",,,,,,,,,,\n,,,,,,,,,,\n,,,,,,,,,,\n"
        "----------------------微信支付账单明细列表--------------------,,,,,,,,,,\n"
        "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n";
    for (int i = 0; i < rows; ++i) {
        const int n = firstOrder + i;
        const bool income = i % 10 == 9;
        text += Moment(i) + ",\"" + kTypes[i % 4] + "\",\"商户" + std::to_string(n) + "\",\"商品" +
                std::to_string(n) + "\",\"" + (income ? "收入" : "支出") + "\",¥" + Amount(i) +
                ",\"零钱\",\"支付成功\",\"42" + std::to_string(100000000 + n) + "\"\t,\"M" +
                std::to_string(n) + "\"\t,\"/\"\n";
    }
    return text;
}

std::string ToGb18030(const std::string& utf8) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(QString::fromStdString(utf8));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string MakeXlsx(const std::vector<std::vector<std::string>>& cells) {
    std::vector<std::string> strings;
    std::string sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const std::string row = std::to_string(r + 1);
        sheet += "<row r=\"" + row + "\">";
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const std::string& value = cells[r][c];
            if (value.empty())
                continue;
            const std::string ref = std::string(1, static_cast<char>('A' + c)) + row;
            if (value[0] == '#') {
                sheet += "<c r=\"" + ref + "\"><v>" + value.substr(1) + "</v></c>";
            } else {
                sheet += "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(strings.size()) +
                         "</v></c>";
                strings.push_back(value);
            }
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    std::string shared =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (const std::string& s : strings)
        shared += "<si><t>" + XmlEscaped(s) + "</t></si>";
    shared += "</sst>";
    const std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    const std::string relations =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet1.xml\"/></Relationships>";

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        throw std::runtime_error("zip");
    zip_source_keep(buffer);
    const std::pair<const char*, const std::string*> parts[] = {
        {"xl/workbook.xml", &workbook},
        {"xl/_rels/workbook.xml.rels", &relations},
        {"xl/sharedStrings.xml", &shared},
        {"xl/worksheets/sheet1.xml", &sheet},
    };
    for (const auto& [name, bytes] : parts) {
        zip_source_t* part = zip_source_buffer(archive, bytes->data(), bytes->size(), 0);
        zip_file_add(archive, name, part, ZIP_FL_OVERWRITE);
    }
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    zip_source_read(buffer, bytes.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
