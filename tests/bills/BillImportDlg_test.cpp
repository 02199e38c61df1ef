#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "BillBook.h"
#include "BillSamples.h"
#include "bills/CBillImportDlg.h"
#include "data/DatabaseFailure.h"
#include "platform/skin/Skin.h"
#include "platform/ui/ErrorBarrier.h"
#include "platform/ui/FileDialog.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {

const std::string kData = TILLBOOK_BILL_TEST_DATA;

// Answers every open question with the next path, and keeps the folders it was offered.
class OpenAnswer {
public:
    explicit OpenAnswer(std::vector<std::string> paths)
        : m_paths(std::move(paths)),
          m_previous(SetOpenFileHook([this](const std::string&, const std::string& folder) {
              m_folders.push_back(folder);
              const std::string path = m_paths.front();
              m_paths.erase(m_paths.begin());
              return path;
          })) {}
    ~OpenAnswer() { SetOpenFileHook(m_previous); }
    std::vector<std::string> m_folders;

private:
    std::vector<std::string> m_paths;
    OpenFileHook m_previous;
};

class BillImportWindow : public ::testing::Test {
protected:
    BillImportWindow() {
        // The remembered folder goes to this test's own settings.
        qputenv("XDG_CONFIG_HOME", book.Dir().string().c_str());
        SetFailureDescriber(&DescribeDatabaseFailure);
        dsLoadSkin("ControlSkin", 0);
        dlg.Create();
    }
    ~BillImportWindow() override {
        SetFailureDescriber({});
        dsExitSkin();
    }

    std::vector<std::string> Row(int row) {
        std::vector<std::string> texts;
        for (int c = 0; c < dlg.m_listPreview.GetColumnCount(); ++c)
            texts.push_back(dlg.m_listPreview.GetItemText(row, c));
        return texts;
    }
    QTreeWidgetItem* Item(int row) { return dlg.m_listPreview.List()->topLevelItem(row); }
    // Picks an entry of a combo box as a user does (the box reports it as activated).
    void Choose(int id, const std::string& text) {
        auto* combo = dlg.GetDlgItemAs<QComboBox>(id);
        const int index = combo->findText(QString::fromStdString(text));
        ASSERT_GE(index, 0) << text;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    TempBook book;
    CBillImportDlg dlg;
};

TEST_F(BillImportWindow, PreviewsMapsAndImportsAStatement) {
    const std::string file = (book.Dir() / "微信支付账单.csv").string();
    std::filesystem::copy_file(kData + "/wechat_csv_deg_example.csv", file);
    OpenAnswer answer({file, file});
    Click(dlg, IDC_BILL_BROWSE);

    ASSERT_EQ(dlg.m_listPreview.GetItemCount(), 27);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2019-09-26 12:45:27", "支出", "28.16",
                                                "云膳过桥米线(传奇广场店)", "总共消费:28.16",
                                                "中国银行(1234)", "支付成功", "其他支出", ""}));
    // A credit card repayment: greyed, its box neither checked nor checkable, the reason said.
    EXPECT_EQ(Row(9),
              (std::vector<std::string>{"2017-10-20 18:36:44", "/", "548.58", "建设银行信用卡还款",
                                        "/", "零钱", "支付成功", "", "自己账户间转账"}));
    EXPECT_FALSE(dlg.m_listPreview.GetCheck(9));
    EXPECT_FALSE(Item(9)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_NE(Item(9)->foreground(0).color(), Item(0)->foreground(0).color());
    EXPECT_EQ(
        dlg.GetDlgItemText(IDC_BILL_SUMMARY),
        "微信支付账单共27笔：将添加19笔（支出2,905.73元，收入28.49元），跳过8笔，已在账本中0笔");

    // 商户消费 goes to 餐饮 from now on; the preview follows at once.
    Choose(IDC_BILL_CATEGORY, "支出：商户消费");
    Choose(IDC_BILL_ITEM, "餐饮");
    EXPECT_EQ(dlg.m_listPreview.GetItemText(0, CBillImportDlg::ColItem), "餐饮");

    // Sorted by amount, Space on the current row takes that transaction out, as a click on its
    // box would: the 5.00 of 赞赏作者.
    Notification byAmount{IDC_BILL_LIST, Event::Command, CBillImportDlg::ColAmount};
    dlg.m_listPreview.OnColumnClick(byAmount);
    QTreeWidget* list = dlg.m_listPreview.List();
    int row = 0;
    while (dlg.m_listPreview.GetItemText(row, CBillImportDlg::ColAmount) != "5.00")
        ++row;
    list->setFocus();
    list->setCurrentItem(Item(row));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(dlg.m_listPreview.GetCheck(row));

    MessageRecorder messages;
    Click(dlg, IDC_BILL_IMPORT);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"导入完成：添加18笔，跳过9笔，已在账本中0笔。"});
    const std::string path = book.Name();
    EXPECT_EQ(
        QueryBook(path,
                  "select 支出人员, 支出金额, 支出日期, 支出项目, 备注 from normalPay "
                  "order by 编号 limit 1"),
        (std::vector<std::vector<std::string>>{{"爸爸", "28.160000", "2019-09-26 12:45:27", "餐饮",
                                                "云膳过桥米线(传奇广场店) 总共消费:28.16"}}));
    EXPECT_EQ(QueryNumber(path, "select count(*) from normalPay") +
                  QueryNumber(path, "select count(*) from normalIncome"),
              18);
    EXPECT_EQ(QueryNumber(path, "select count(*) from normalIncome where 备注 like '赞赏%'"), 0);
    // Afterwards the preview shows what the book holds now.
    EXPECT_EQ(dlg.m_listPreview.GetItemText(0, CBillImportDlg::ColNote), "已在账本中");
    EXPECT_EQ(dlg.m_listPreview.GetItemCount(), 27);

    Click(dlg, IDC_BILL_BROWSE);
    EXPECT_EQ(answer.m_folders.back(), book.Dir().string());
}

TEST_F(BillImportWindow, ARefusedFileShowsWhyAndLeavesNothingToImport) {
    const std::string file = (book.Dir() / "cut.csv").string();
    WriteBytes(file, ReadBytes(kData + "/wechat_csv_2019_deg.csv").substr(0, 950));
    OpenAnswer answer({file});
    MessageRecorder messages;
    Click(dlg, IDC_BILL_BROWSE);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("文件不完整"), std::string::npos) << messages.Texts()[0];
    EXPECT_EQ(dlg.m_listPreview.GetItemCount(), 0);
    Click(dlg, IDC_BILL_IMPORT);
    EXPECT_EQ(messages.Texts().back(), "请先选择账单文件。");
}

TEST_F(BillImportWindow, AFewHundredRowsPreviewReadably) {
    const std::string file = (book.Dir() / "支付宝交易明细.csv").string();
    WriteBytes(file, ToGb18030(AlipaySample(400)));
    OpenAnswer answer({file});
    Click(dlg, IDC_BILL_BROWSE);
    EXPECT_EQ(dlg.m_listPreview.GetItemCount(), 400);
    dlg.show();
    ExpectTextsFit(&dlg);
    SaveScreenshot(&dlg, "bill_import_preview");
}

}  // namespace
