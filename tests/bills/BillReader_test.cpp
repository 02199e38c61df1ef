#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "BillSamples.h"
#include "bills/BillReader.h"
#include "bills/BillText.h"

namespace {

const std::string kData = TILLBOOK_BILL_TEST_DATA;

std::string Utf8(const BillStatement& s, std::size_t row, std::string BillRow::*field) {
    return s.rows.at(row).*field;
}

BillStatement MustRead(const std::string& bytes) {
    auto read = ReadBill(bytes);
    if (auto* error = std::get_if<BillError>(&read))
        ADD_FAILURE() << error->strMessage;
    return std::holds_alternative<BillStatement>(read) ? std::get<BillStatement>(read)
                                                       : BillStatement{};
}

std::string MustFail(const std::string& bytes) {
    auto read = ReadBill(bytes);
    if (std::holds_alternative<BillStatement>(read)) {
        ADD_FAILURE() << "read " << std::get<BillStatement>(read).rows.size() << " rows";
        return {};
    }
    return std::get<BillError>(read).strMessage;
}

const std::string kWeChatHead =
    "微信支付账单明细,,,,,,,,,,\n共2笔记录,,,,,,,,,,\n"
    "----------------------微信支付账单明细列表--------------------,,,,,,,,,,\n"
    "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n";
const std::string kAlipayHead =
    "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,"
    "商家订单号,备注,\n";

// Every sample: its layout and, per 收/支 class, the rows and their sum. The sums were added up
// by hand (and again with a separate script) from the files; only the 2019 WeChat file's own
// summary lines agree with its rows, the others were edited after export.
struct SampleCase {
    const char* file;
    BillLayout layout;
    std::size_t rows;
    std::map<std::string, std::pair<int, std::int64_t>> classes;
};

class Samples : public ::testing::TestWithParam<SampleCase> {};

TEST_P(Samples, ReadEveryRowWithItsClassTotals) {
    const SampleCase& c = GetParam();
    auto read = ReadBillFile(kData + "/" + c.file);
    ASSERT_TRUE(std::holds_alternative<BillStatement>(read))
        << std::get<BillError>(read).strMessage;
    const BillStatement& s = std::get<BillStatement>(read);
    EXPECT_EQ(s.layout, c.layout);
    EXPECT_EQ(s.rows.size(), c.rows);
    std::map<std::string, std::pair<int, std::int64_t>> classes;
    for (const BillRow& row : s.rows) {
        ++classes[row.strDirection].first;
        classes[row.strDirection].second += row.nFen;
        EXPECT_EQ(row.strTime.size(), 19u) << row.nLine;
        EXPECT_EQ(row.strOrder.find('\t'), std::string::npos) << row.nLine;
    }
    EXPECT_EQ(classes, c.classes);
}

INSTANTIATE_TEST_SUITE_P(
    Bills, Samples,
    ::testing::Values(
        SampleCase{"alipay_app_2021layout_deg.csv",
                   BillLayout::AlipayApp2021,
                   16,
                   {{"支出", {6, 32181}}, {"其他", {7, 319741}}, {"收入", {3, 16190}}}},
        SampleCase{"alipay_app_2023_deg_example.csv",
                   BillLayout::AlipayApp,
                   10,
                   {{"支出", {5, 21164}}, {"不计收支", {4, 24737}}, {"收入", {1, 22222850}}}},
        SampleCase{"alipay_app_2023_dhr_compilation.csv",
                   BillLayout::AlipayApp,
                   138,
                   {{"支出", {84, 1895270}}, {"不计收支", {40, 1843971}}, {"收入", {14, 220791}}}},
        SampleCase{
            "alipay_app_2023_dhr_single.csv", BillLayout::AlipayApp, 2, {{"支出", {2, 1900}}}},
        SampleCase{"alipay_web_deg.csv",
                   BillLayout::AlipayWeb,
                   7,
                   {{"支出", {4, 313700}}, {"收入", {1, 1}}, {"", {2, 280842}}}},
        SampleCase{"wechat_csv_2019_deg.csv",
                   BillLayout::WeChatCsv,
                   2,
                   {{"支出", {1, 2816}}, {"收入", {1, 35}}}},
        SampleCase{"wechat_csv_deg_example.csv",
                   BillLayout::WeChatCsv,
                   27,
                   {{"支出", {11, 290453}}, {"收入", {5, 2849}}, {"/", {11, 2610089}}}},
        SampleCase{"wechat_csv_dhr_compilation.csv",
                   BillLayout::WeChatCsv,
                   37,
                   {{"支出", {21, 376939}}, {"收入", {8, 97891}}, {"/", {8, 1284108}}}},
        // Sheet "example-wechat-records" holds the CSV's rows as text.
        SampleCase{"wechat_xlsx_deg_synthetic.xlsx",
                   BillLayout::WeChatXlsx,
                   27,
                   {{"支出", {11, 290453}}, {"收入", {5, 2849}}, {"/", {11, 2610089}}}}));

TEST(BillReader, TheStatementsOwnSummaryMatchesItsRows) {
    auto read = ReadBillFile(kData + "/wechat_csv_2019_deg.csv");
    const BillStatement& s = std::get<BillStatement>(read);
    EXPECT_EQ(s.nDeclaredCount, 43);  // the masked file kept the count of the original
    ASSERT_EQ(s.summary.size(), 3u);
    EXPECT_EQ(s.summary[0].strLabel, "收入");
    EXPECT_EQ(s.summary[0].nCount, 1);
    EXPECT_EQ(s.summary[0].nFen, 35);
    EXPECT_EQ(s.summary[1].strLabel, "支出");
    EXPECT_EQ(s.summary[1].nFen, 2816);
}

// Each quirk of the exports, and what the row reads as.
struct QuirkCase {
    const char* name;
    std::string bytes;
    std::size_t row;
    std::string BillRow::*field;
    std::string expected;
};

class Quirks : public ::testing::TestWithParam<QuirkCase> {};

TEST_P(Quirks, ReadAsThePersonMeantIt) {
    const QuirkCase& c = GetParam();
    const BillStatement s = MustRead(c.bytes);
    ASSERT_GT(s.rows.size(), c.row) << c.name;
    EXPECT_EQ(Utf8(s, c.row, c.field), c.expected) << c.name;
}

const std::string kAlipay2026 =
    std::string(84, '-') +
    "\n导出信息：\n共1笔记录\n收入：0笔 0.00元\n特别提示：\n1.一\n2.二\n3.三\n"
    "4.四\n5.五\n6.六\n7.七\n8.八\n\n" +
    std::string(24, '-') + "支付宝支付科技有限公司  电子客户回单" + std::string(24, '-') + "\n" +
    kAlipayHead +
    "2026-07-08 12:00:01,餐饮美食,*三,/,午饭,支出,49.74,工商银行储蓄卡(1723)&碰一下立减,交易成功,"
    "2026070823001128081424136193\t,\t,,\n";

INSTANTIATE_TEST_SUITE_P(
    Bills, Quirks,
    ::testing::Values(
        QuirkCase{"alipay 2026: eight notes, GB18030, TAB after the order number",
                  ToGb18030(kAlipay2026), 0, &BillRow::strOrder, "2026070823001128081424136193"},
        QuirkCase{
            "alipay 2023: padded header and fields",
            ToGb18030(
                "交易时间            ,交易分类      ,交易对方 ,对方账号  ,商品说明  ,收/支   ,"
                "金额    ,收/付款方式 ,交易状态  ,交易订单号 ,商家订单号 ,备注   ,\n"
                "2023-02-12 21:32:14 ,亲友代付   ,xx    ,/      ,亲情卡 ,支出     ,"
                "49.74   ,交通银行信用卡(7449) ,交易成功 ,20230212\t,  \t,    ,\n"),
            0, &BillRow::strCategory, "亲友代付"},
        QuirkCase{"wechat: byte-order mark",
                  "\xEF\xBB\xBF" + kWeChatHead +
                      "2019-09-24 10:10:11,微信红包,好友,/,收入,¥0.35,/,已存入零钱,1\t,2\t,/\n",
                  0, &BillRow::strTime, "2019-09-24 10:10:11"},
        QuirkCase{
            "wechat 2025: quoted fields with a TAB after the closing quote",
            kWeChatHead +
                "2019-09-26 12:45:27,\"商户消费\",\"米线\",\"总共消费:28.16\",\"支出\","
                "¥28.16,\"中国银行(1234)\",\"支付成功\",\"3985734\"\t,\"129847129\"\t,\"/\"\n",
            0, &BillRow::strOrder, "3985734"},
        QuirkCase{"wechat: bare quotes inside an unquoted field",
                  kWeChatHead +
                      "2021-07-18 10:48:09,商户消费,打开拼多多，点击底部\"多多视频\",\"/\",收入,"
                      "¥0.07,/,充值成功,16057 ,10101 ,\"/\"\n",
                  0, &BillRow::strCounterparty, "打开拼多多，点击底部\"多多视频\""},
        QuirkCase{"wechat: an unquoted comma inside 交易对方",
                  kWeChatHead +
                      "2021-08-01 10:00:00,商户消费,WALMART HONG KONG CO.,LIMITED,食品,支出,"
                      "¥12.50,零钱,支付成功,42001\t,M1\t,/\n",
                  0, &BillRow::strCounterparty, "WALMART HONG KONG CO.,LIMITED"},
        QuirkCase{"wechat: full-width yuan sign and a quoted amount",
                  kWeChatHead +
                      "2023-03-01 12:54:00,零钱提现,宁波银行(1746),/,/,\"￥1000.00\",宁波银行,"
                      "提现已到账,\"2072303\t\",\"/\t\",服务费¥0.50\n",
                  0, &BillRow::strNote, "服务费¥0.50"},
        QuirkCase{"xlsx 2026: time as a day number, amount as a number, empty merchant number",
                  MakeXlsx({{"微信支付账单明细"},
                            {"----------------------微信支付账单明细列表--------------------"},
                            {"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)",
                             "支付方式", "当前状态", "交易单号", "商户单号", "备注"},
                            {"#46211.77097222222", "商户消费", "商店", "饮料", "支出", "#16.9",
                             "零钱", "支付成功", "4200001", "", "/"}}),
                  0, &BillRow::strTime, "2026-07-08 18:30:12"}));

// Files that are no statement, or no longer a whole one: one message, with line and column.
struct BrokenCase {
    const char* name;
    std::string bytes;
    std::string expected;  // the whole message
};

class Broken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(Broken, SayWhatWasExpectedAndWhere) {
    EXPECT_EQ(MustFail(GetParam().bytes), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Bills, Broken,
    ::testing::Values(
        BrokenCase{"cut short inside a row",
                   kWeChatHead +
                       "2019-09-24 10:10:11,微信红包,好友,/,收入,¥0.35,/,已存入零钱,1\t,2\t,/\n"
                       "2019-09-24 10:10:12,微信红包,好友,/,收",
                   "第6行第5列：这一行只有5列，应有10列（到“商户单号”为止）；文件不完整，可能在这里"
                   "被截断了"},
        BrokenCase{
            "web export without its footer",
            ToGb18030(
                "支付宝交易记录明细查询\n交易号,商家订单号,交易创建时间,付款时间,最近修改时间,"
                "交易来源地,类型,交易对方,商品名称,金额（元）,收/支,交易状态,服务费（元）,"
                "成功退款（元）,备注,资金状态,\n"
                "1\t,S1\t,2019-09-30 13:11:25,,,淘宝,即时到账交易,店,饭,27.00,支出,交易成功,"
                "0,0,,已支出,\n"),
            "第3行：文件在这里结束，但交易之后应有一行“-----”和“共N笔记录”的汇总；文件不完整，"
            "可能被截断了"},
        BrokenCase{"neither UTF-8 nor GB18030",
                   ToGb18030(kAlipayHead) + "2023-01-10 13:10:16,\xFF\xFE,x\n2023-01-10 13:10:17\n",
                   "第2行第21列：文字既不是 UTF-8 也不是 GB18030 编码（支付宝账单应为 "
                   "GB18030，微信支付账单应为 "
                   "UTF-8），可能是别的编码或文件已损坏"},
        BrokenCase{"UTF-16", std::string("\xFF\xFE\x64\x00", 4),
                   "第1行第1列：文件含有零字节，不是文本账单（可能是 UTF-16 "
                   "编码或别的文件）；应为支付宝的 "
                   "GB18030 或微信支付的 UTF-8 文本"},
        BrokenCase{
            "re-saved by a spreadsheet without the header",
            "2023-01-09 "
            "18:21:50,交通出行,一卡通,/,一卡通充值,支出,50.00,余额宝,交易关闭,88\t,D1\t,,\n",
            "第1行第1列：这里已是一笔交易（“2023-01-09 18:21:50”），前面却没有表头行。应有一行以"
            "“交易时间”开头、列出“交易分类”或“交易类型”、“金额”等列名的表头；文件可能被电子表格程序"
            "另存过，请导入原始账单文件"},
        BrokenCase{
            "re-saved by a spreadsheet with short dates",
            kAlipayHead +
                "2023/1/9 18:21,交通出行,一卡通,/,一卡通充值,支出,50.00,余额宝,交易关闭,88,D1,,\n",
            "第2行第1列：交易时间应为“YYYY-MM-DD HH:MM:SS”，实为“2023/1/9 "
            "18:21”；文件可能被电子表格"
            "程序另存过（改了日期格式），请导入原始账单文件"},
        BrokenCase{"a header without the amount",
                   "交易时间,交易分类,交易对方,商品说明,收/支,交易状态,交易订单号\n",
                   "第1行：表头缺少“金额”列。应有的列：交易时间、交易分类、交易对方、商品说明、收/"
                   "支、金额、"
                   "交易状态、交易订单号"},
        BrokenCase{"some other file", "姓名,电话\n张三,123\n",
                   "第1行第1列：没有找到账单的表头行，这不是支付宝或微信支付导出的账单。应有一行以“"
                   "交易时间”"
                   "（支付宝、微信支付）、“收/支”（支付宝 2021 "
                   "年版）或“交易号”（支付宝网页版）开头的列名；"
                   "文件开头是“姓名,电话”"},
        BrokenCase{
            "xlsx without the header row",
            MakeXlsx({{"微信支付账单明细"},
                      {"共1笔记录"},
                      {"#46211.77097222222", "商户消费", "商店", "饮料", "支出", "#16.9"}}),
            "工作表“Sheet1”第3行A列：这里已是一笔交易（“2026-07-08 18:30:12”），前面却没有表头行。"
            "应有一行以“交易时间”开头、列出“交易分类”或“交易类型”、“金额”等列名的表头；文件可能被"
            "电子表格程序另存过，请导入原始账单文件"},
        BrokenCase{
            "xlsx cut short", ReadBytes(kData + "/wechat_xlsx_deg_synthetic.xlsx").substr(0, 9000),
            "XLSX 文件已损坏或不完整（Not a zip archive）；应为微信支付导出的原始账单工作簿，"
            "请重新解压或重新导出"},
        BrokenCase{"empty", "", "文件是空的；应为支付宝或微信支付导出的账单（CSV 或 XLSX）"}));

TEST(BillText, AmountsBecomeExactFen) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"49.74", 4974},
        {"¥28.16", 2816},
        {"￥1,000.00", 100000},
        {"16.9", 1690},
        {"548.58000000000004", 54858},
        {"0.005", 1},
        {"222228.50", 22222850},
        {"0", 0},
        {"-1.00", std::nullopt},
        {"1.", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1e3", std::nullopt},
        {"99999999999999999", std::nullopt}};
    for (const auto& [text, fen] : cases)
        EXPECT_EQ(ParseFen(text), fen) << text;
}

}  // namespace
