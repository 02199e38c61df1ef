#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <variant>

#include "BillBook.h"
#include "BillImportCommand.h"
#include "BillSamples.h"
#include "bills/BillImport.h"
#include "bills/BillReader.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookFile.h"
#include "support/TempBook.h"

namespace {

const std::string kData = TILLBOOK_BILL_TEST_DATA;

struct CommandRun {
    int code = 0;
    std::string out;
    std::string err;
};

std::string Drain(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

CommandRun ImportBill(const TempBook& book, const std::string& file, bool dryRun = false,
                      const std::string& member = "妈妈") {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CommandRun run;
    run.code = RunImportBillCommand(book.Name(), file, member, dryRun, out, err);
    run.out = Drain(out);
    run.err = Drain(err);
    return run;
}

void ExecuteOnBook(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    CADORecordset(&db).Open(db.GetActiveConnection(), statement);
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Fen booked on one side: the sum of the amounts, and the rows.
long long Fen(const TempBook& book, const char* table, const char* column) {
    return QueryNumber(book.Name(),
                       std::string("select round(sum(") + column + ") * 100) from " + table);
}

long long Rows(const TempBook& book, const char* table) {
    return QueryNumber(book.Name(), std::string("select count(*) from ") + table);
}

// Each sample through the command: rows added and skipped, and the sums that land in the book
// (worked out row by row from the file; see the reader test for the class totals). A second
// import of the same file adds nothing and finds every booked row already there.
struct ImportCase {
    const char* file;
    const char* firstLine;
    long long payFen;
    long long incomeFen;
    int added;
};

class SampleImport : public ::testing::TestWithParam<ImportCase> {};

TEST_P(SampleImport, BooksTheCountedRowsOnceOnly) {
    const ImportCase& c = GetParam();
    TempBook book;
    // A row given its own 编号 and taken out again: on a server the row key now runs ahead of
    // 编号, so a record that kept the key instead of the entry's 编号 points elsewhere.
    ExecuteOnBook(
        "insert into normalPay (编号, 支出人员, 支出金额, 支出日期, 支出项目) values "
        "(100, '妈妈', 1, #2020-01-01#, '餐饮')");
    ExecuteOnBook("delete from normalPay");
    const CommandRun first = ImportBill(book, kData + "/" + c.file);
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(FirstLine(first.out), c.firstLine);
    EXPECT_EQ(Fen(book, "normalPay", "支出金额"), c.payFen);
    EXPECT_EQ(Fen(book, "normalIncome", "收入金额"), c.incomeFen);
    EXPECT_EQ(Rows(book, "normalPay") + Rows(book, "normalIncome"), c.added);
    EXPECT_EQ(Rows(book, "billImport"), c.added);
    EXPECT_EQ(QueryNumber(book.Name(),
                          "select count(*) from billImport b where 账目编号 in (select 编号 from "
                          "normalPay) and 账目表 = 'normalPay' or 账目编号 in (select 编号 from "
                          "normalIncome) and 账目表 = 'normalIncome'"),
              c.added)
        << "each record names its entry";

    const CommandRun again = ImportBill(book, kData + "/" + c.file);
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_NE(FirstLine(again.out).find("添加 0 笔"), std::string::npos) << again.out;
    EXPECT_NE(FirstLine(again.out).find("已在账本中 " + std::to_string(c.added) + " 笔"),
              std::string::npos)
        << again.out;
    EXPECT_EQ(Fen(book, "normalPay", "支出金额"), c.payFen);
    EXPECT_TRUE(CheckBook(book.Name()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Bills, SampleImport,
    ::testing::Values(
        ImportCase{"alipay_app_2021layout_deg.csv",
                   "支付宝账单，16笔：添加 10 笔，跳过 6 笔，已在账本中 0 笔", 21191, 5211, 10},
        // 49.74 + 20.00 + 50.00 (closed, refunded) + 9.90 + 82.00 - 16.03 - 50.00 (refunds);
        // 82.00 closed unpaid and a fund sale skipped.
        ImportCase{"alipay_app_2023_deg_example.csv",
                   "支付宝账单，10笔：添加 8 笔，跳过 2 笔，已在账本中 0 笔", 14561, 22222850, 8},
        ImportCase{"alipay_app_2023_dhr_compilation.csv",
                   "支付宝账单，138笔：添加 96 笔，跳过 42 笔，已在账本中 0 笔", 1895270, 220793,
                   96},
        ImportCase{"alipay_app_2023_dhr_single.csv",
                   "支付宝账单，2笔：添加 1 笔，跳过 1 笔，已在账本中 0 笔", 1900, 0, 1},
        // 27 + 27 + 3000 + 83 - 2725.42 - 83; income the 0.01 of 余额宝 interest (as the footer's
        // 已收入 line says).
        ImportCase{"alipay_web_deg.csv", "支付宝账单，7笔：添加 7 笔，跳过 0 笔，已在账本中 0 笔",
                   32858, 1, 7},
        // Exactly the file's summary: 收入 1笔 0.35元, 支出 1笔 28.16元.
        ImportCase{"wechat_csv_2019_deg.csv",
                   "微信支付账单，2笔：添加 2 笔，跳过 0 笔，已在账本中 0 笔", 2816, 35, 2},
        // The 支出 rows (2904.53) and three withdrawal fees (1.20); the 收入 rows (28.49).
        ImportCase{"wechat_csv_deg_example.csv",
                   "微信支付账单，27笔：添加 19 笔，跳过 8 笔，已在账本中 0 笔", 290573, 2849, 19},
        ImportCase{"wechat_csv_dhr_compilation.csv",
                   "微信支付账单，37笔：添加 29 笔，跳过 8 笔，已在账本中 0 笔", 288636, 9588, 29},
        ImportCase{"wechat_xlsx_deg_synthetic.xlsx",
                   "微信支付账单，27笔：添加 19 笔，跳过 8 笔，已在账本中 0 笔", 290573, 2849,
                   19}));

TEST(BillImport, AnOverlappingExportAddsOnlyTheNewTransactions) {
    TempBook book;
    const std::string january = (book.Dir() / "a.csv").string();
    const std::string february = (book.Dir() / "b.csv").string();
    WriteBytes(january, WeChatSample(30));
    // The first thirty again (one re-exported after a full refund) and twenty new ones.
    std::string overlap = WeChatSample(50);
    const std::string paid = "\"支付成功\"";
    overlap.replace(overlap.rfind(paid, overlap.find("\"42100000021\"")), paid.size(),
                    "\"已全额退款\"");
    WriteBytes(february, overlap);

    ASSERT_EQ(ImportBill(book, january).code, 0);
    const CommandRun second = ImportBill(book, february);
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(FirstLine(second.out),
              "微信支付账单，50笔：添加 20 笔，跳过 0 笔，已在账本中 30 笔（其中 1 笔状态有变）");
    EXPECT_EQ(Rows(book, "billImport"), 50);
    EXPECT_EQ(QueryNumber(book.Name(),
                          "select count(*) from billImport where 订单号 = '42100000021' and "
                          "交易状态 = '已全额退款'"),
              1);
}

TEST(BillImport, ARefundReducesItsPaymentsItemAndTheMappingIsRemembered) {
    TempBook book;
    const std::string file = (book.Dir() / "alipay.csv").string();
    WriteBytes(file, ToGb18030(AlipaySample(40)));
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    BillImportPlan plan = PlanBillImport(db, std::get<BillStatement>(ReadBillFile(file)));
    // Proposed: the item the category's name contains, else the "其他…" item.
    EXPECT_EQ((plan.mapping[{BillSide::Pay, "餐饮美食"}]), "餐饮");
    EXPECT_EQ((plan.mapping[{BillSide::Pay, "日用百货"}]), "其他支出");
    EXPECT_EQ((plan.mapping[{BillSide::Income, "收入"}]), "其他收入");
    plan.mapping[{BillSide::Pay, "日用百货"}] = "日用品";
    const BillImportResult result = ApplyBillImport(db, plan, "爸爸");
    EXPECT_EQ(result.nAdded, 37);
    EXPECT_EQ(result.nSkipped, 3);

    // The closed payment and its refund net to nothing under the payment's item.
    EXPECT_EQ(QueryBook(book.Name(),
                        "select 支出人员, 支出金额, 支出项目, 备注 from normalPay where 备注 like "
                        "'商户38%' order by 支出金额"),
              (std::vector<std::vector<std::string>>{
                  {"爸爸", "-407.180000", "日用品", "商户38 退款-商品38"},
                  {"爸爸", "407.180000", "日用品", "商户38 商品38"}}));
    const BillImportPlan next =
        PlanBillImport(db, std::get<BillStatement>(ReadBill(ToGb18030(AlipaySample(40, 1000)))));
    EXPECT_EQ((next.mapping.at({BillSide::Pay, "日用百货"})), "日用品");
    EXPECT_TRUE(CheckBook(book.Name()).empty());
}

TEST(BillImport, DryRunsAndRefusedFilesLeaveTheBookAsItWas) {
    TempBook book;
    const CommandRun dry = ImportBill(book, kData + "/wechat_csv_2019_deg.csv", true);
    EXPECT_EQ(dry.code, 0);
    EXPECT_EQ(dry.out,
              "微信支付账单，2笔：将添加 2 笔，跳过 0 笔，已在账本中 0 笔\n"
              "支出 28.16 元（退款已扣除），收入 0.35 元\n试运行，账本未改动\n");

    const std::string cut = (book.Dir() / "cut.csv").string();
    WriteBytes(cut, ReadBytes(kData + "/wechat_csv_deg_example.csv").substr(0, 2000));
    const CommandRun refused = ImportBill(book, cut);
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("文件不完整"), std::string::npos) << refused.err;

    const CommandRun stranger = ImportBill(book, kData + "/wechat_csv_2019_deg.csv", false, "舅舅");
    EXPECT_EQ(stranger.code, 1);
    EXPECT_EQ(stranger.err,
              "tillbook-db: 家庭成员“舅舅”不在账本中（账本中有：爸爸、妈妈、孩子），未导入\n");

    EXPECT_FALSE(BookHasTable(book.Name(), "billImport"));
    EXPECT_FALSE(BookHasTable(book.Name(), "billItemMap"));
    EXPECT_EQ(Rows(book, "normalPay") + Rows(book, "normalIncome"), 0);
}

}  // namespace
