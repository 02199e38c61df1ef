#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "StatsTestBook.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "data/Fen.h"
#include "platform/skin/Skin.h"
#include "platform/ui/CListModel.h"
#include "platform/ui/ErrorBarrier.h"
#include "platform/ui/FileDialog.h"
#include "res/ResourceIds.h"
#include "stats/CStatisticsDlg.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Table = std::vector<std::vector<std::string>>;

// Answers every save question with one path, for as long as it lives.
class SaveAnswer {
public:
    explicit SaveAnswer(std::string path)
        : m_previous(SetSaveFileHook([this, path](const std::string&, const std::string& name) {
              m_suggested.push_back(name);
              return path;
          })) {}
    ~SaveAnswer() { SetSaveFileHook(m_previous); }
    std::vector<std::string> m_suggested;

private:
    SaveFileHook m_previous;
};

class StatisticsWindow : public ::testing::Test {
protected:
    StatisticsWindow() { SetFailureDescriber(&DescribeDatabaseFailure); }
    ~StatisticsWindow() override {
        SetFailureDescriber({});
        dsExitSkin();
    }

    void Open() {
        dsLoadSkin("ControlSkin", 0);
        dlg.Create();
    }

    void Interval(const DateTimeValue& from, const DateTimeValue& to) {
        dlg.m_dateFrom = from;
        dlg.m_dateTo = to;
        dlg.UpdateData(false);
        Click(dlg, IDC_STATS_INTERVAL);
    }

    std::string Text(int id) { return dlg.GetDlgItemText(id); }

    Table Rows() {
        Table rows;
        for (int r = 0; r < dlg.m_listTable.GetItemCount(); ++r) {
            rows.emplace_back();
            for (int c = 0; c < dlg.m_listTable.GetColumnCount(); ++c)
                rows.back().push_back(dlg.m_listTable.GetItemText(r, c));
        }
        return rows;
    }

    std::vector<std::string> Headers() {
        std::vector<std::string> headers;
        for (int c = 0; c < dlg.m_listTable.GetColumnCount(); ++c)
            headers.push_back(dlg.m_listTable.Model()->Heading(c));
        return headers;
    }

    TempBook book;
    MessageRecorder messages;
    CStatisticsDlg dlg;
};

std::string Grouped(std::int64_t fen) {
    return FenText(Fen(fen), FenStyle::Grouped);
}

struct Sums {
    std::int64_t income = 0, pay = 0;
    long count = 0;
};

Sums SumOf(const std::vector<BookRow>& rows, const std::string& from, const std::string& to,
           const std::string& member = "") {
    Sums s;
    for (const BookRow& r : rows) {
        if (r.when < from || r.when >= to || (!member.empty() && r.person != member))
            continue;
        (r.income ? s.income : s.pay) += r.hasAmount ? std::llround(r.amount * 100) : 0;
        ++s.count;
    }
    return s;
}

TEST_F(StatisticsWindow, AYearOfRecordsShowsItsFiguresTablesAndCharts) {
    const std::vector<BookRow> rows = GenerateRows(3000, 2026, 2026, 11);
    AddRows(rows);
    Open();
    Interval(DateTimeValue(2026, 1, 1), DateTimeValue(2026, 12, 31));
    const Sums sums = SumOf(rows, "2026-01-01", "2027-01-01");
    EXPECT_EQ(Text(IDC_STATS_INCOME), Grouped(sums.income));
    EXPECT_EQ(Text(IDC_STATS_PAY), Grouped(sums.pay));
    EXPECT_EQ(Text(IDC_STATS_BALANCE), Grouped(sums.income - sums.pay));
    EXPECT_EQ(Text(IDC_STATS_COUNT), std::to_string(sums.count));
    EXPECT_EQ(Text(IDC_STATS_PERIOD), "2026-01-01 至 2026-12-31");
    EXPECT_TRUE(messages.Texts().empty());

    // Opens on the items: where the money went, as a ring of the expense items.
    EXPECT_EQ(Headers(), (std::vector<std::string>{"项目", "类别", "金额", "占比", "笔数"}));
    const Table items = Rows();
    ASSERT_EQ(items.size(), 7u);  // four expense items, then three income items
    EXPECT_EQ(items[0][1], "支出");
    EXPECT_EQ(items[6][1], "收入");
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Pie);
    EXPECT_EQ(dlg.m_chart.GetMarkCount(), 4);
    ExpectTextsFit(&dlg);
    SaveScreenshot(&dlg, "statistics_year_items");

    Click(dlg, IDC_STATS_VIEW_MONTH);
    const Table months = Rows();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[0][0], "2026-01");
    EXPECT_EQ(months[11][0], "2026-12");
    const Sums march = SumOf(rows, "2026-03-01", "2026-04-01");
    EXPECT_EQ(months[2][1], Grouped(march.income));
    EXPECT_EQ(months[2][2], Grouped(march.pay));
    EXPECT_EQ(months[2][4], std::to_string(march.count));
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Bars);
    EXPECT_EQ(dlg.m_chart.GetMarkCount(), 24);
    SaveScreenshot(&dlg, "statistics_year_months");

    Click(dlg, IDC_STATS_VIEW_MEMBER);
    const Table members = Rows();
    ASSERT_GE(members.size(), 3u);
    for (const auto& row : members) {
        if (row[0] == "妈妈") {
            const Sums mum = SumOf(rows, "2026-01-01", "2027-01-01", "妈妈");
            EXPECT_EQ(row[1], Grouped(mum.income));
            EXPECT_EQ(row[2], Grouped(mum.pay));
        }
    }
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Bars);
    SaveScreenshot(&dlg, "statistics_year_members");
}

TEST_F(StatisticsWindow, TheIntervalIncludesItsLastDayAndItsFirstMidnight) {
    AddRows({Income("2026-02-28 23:59:59", 1), Income("2026-03-01 00:00:00", 2),
             Income("2026-03-31 23:59:59", 4), Income("2026-04-01 00:00:00", 8)});
    Open();
    Interval(DateTimeValue(2026, 3, 1, 9, 30), DateTimeValue(2026, 3, 31, 8));
    EXPECT_EQ(Text(IDC_STATS_INCOME), "6.00");
    EXPECT_EQ(Text(IDC_STATS_COUNT), "2");
    // Within one month there is nothing to spread over months.
    EXPECT_FALSE(dlg.GetDlgItem(IDC_STATS_VIEW_MONTH)->isEnabled());
    Interval(DateTimeValue(2026, 3, 31), DateTimeValue(2026, 3, 31));
    EXPECT_EQ(Text(IDC_STATS_INCOME), "4.00");
    Interval(DateTimeValue(2026, 4, 2), DateTimeValue(2026, 4, 1));  // ends before it starts
    EXPECT_EQ(Text(IDC_STATS_COUNT), "0");
}

TEST_F(StatisticsWindow, AnEmptyPeriodShowsZerosAndANoteNotAnError) {
    AddRows({Pay("2026-05-05 10:00:00", 12.5)});
    Open();
    Click(dlg, IDC_STATS_VIEW_MEMBER);
    Interval(DateTimeValue(2025, 1, 1), DateTimeValue(2025, 12, 31));
    EXPECT_EQ(Text(IDC_STATS_INCOME), "0.00");
    EXPECT_EQ(Text(IDC_STATS_PAY), "0.00");
    EXPECT_EQ(Text(IDC_STATS_BALANCE), "0.00");
    EXPECT_EQ(Text(IDC_STATS_COUNT), "0");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Note);
    EXPECT_EQ(dlg.m_chart.GetNote(), "所选期间没有收支记录");
    EXPECT_TRUE(messages.Texts().empty());
    SaveScreenshot(&dlg, "statistics_empty");
}

TEST_F(StatisticsWindow, RefundsLargerThanSpendingLeaveThePieWithANote) {
    AddRows({Pay("2026-05-05 10:00:00", -20), Income("2026-05-06 10:00:00", 3)});
    Open();
    Interval(DateTimeValue(2026, 5, 1), DateTimeValue(2026, 5, 31));
    EXPECT_EQ(Text(IDC_STATS_PAY), "-20.00");
    EXPECT_EQ(Text(IDC_STATS_BALANCE), "23.00");
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Note);
    EXPECT_EQ(dlg.m_chart.GetNote(), "所选期间没有支出");
}

TEST_F(StatisticsWindow, FiltersApplyOnlyWhenTickedAndTakeTypedTexts) {
    const std::vector<BookRow> rows = GenerateRows(600, 2026, 2026, 3);
    AddRows(rows);
    Open();
    // The lists hold the members, then the expense items and the income items.
    ASSERT_EQ(dlg.m_comboMember.GetCount(), 3);
    EXPECT_EQ(dlg.m_comboMember.GetLBText(0), "爸爸");
    ASSERT_EQ(dlg.m_comboItem.GetCount(), 18);
    EXPECT_EQ(dlg.m_comboItem.GetLBText(0), "餐饮");
    EXPECT_EQ(dlg.m_comboItem.GetLBText(12), "工资");
    QComboBox* members = dlg.m_comboMember.Combo();

    Interval(DateTimeValue(2026, 1, 1), DateTimeValue(2026, 12, 31));
    members->setEditText(QStringLiteral("妈妈"));
    Click(dlg, IDC_STATS_INTERVAL);
    EXPECT_EQ(Text(IDC_STATS_COUNT), std::to_string(SumOf(rows, "2026-01-01", "2027").count));

    Click(dlg, IDC_STATS_FILTER_MEMBER);
    Click(dlg, IDC_STATS_INTERVAL);
    const Sums mum = SumOf(rows, "2026-01-01", "2027", "妈妈");
    EXPECT_EQ(Text(IDC_STATS_INCOME), Grouped(mum.income));
    EXPECT_EQ(Text(IDC_STATS_PAY), Grouped(mum.pay));
    EXPECT_EQ(Text(IDC_STATS_PERIOD), "2026-01-01 至 2026-12-31  家庭成员：妈妈");

    members->setEditText(QStringLiteral("不在名单"));
    Click(dlg, IDC_STATS_INTERVAL);
    EXPECT_EQ(Text(IDC_STATS_COUNT), "0");
}

// "Now" comes from the clock the query dialogs read, for the pickers and the period alike.
TEST(StatisticsClock, TheWindowOpensOnTheMonthOfTheQueryClock) {
    TempBook book;
    const QueryClock previous = SetQueryClock([] { return DateTimeValue(2025, 2, 14, 9, 30); });
    CStatisticsDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.m_dateFrom.Format("%Y-%m-%d"), "2025-02-01");
    EXPECT_EQ(dlg.m_dateTo.Format("%Y-%m-%d"), "2025-02-14");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_STATS_PERIOD), "2025-02-01 至 2025-02-28");
    SetQueryClock(previous);
}

TEST_F(StatisticsWindow, AMissingBookGoesThroughTheErrorBarrierAndLeavesAWholeWindow) {
    std::filesystem::remove(book.BookPath());
    Open();
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("data.mdb"), std::string::npos) << messages.Texts()[0];
    EXPECT_EQ(Text(IDC_STATS_COUNT), "0");
    EXPECT_EQ(dlg.m_chart.GetKind(), CChartCtrl::Kind::Note);
    EXPECT_EQ(dlg.GetEndCode(), 0);
    // Each new period tries the book again, and says again why it cannot.
    Click(dlg, IDC_STATS_YEAR);
    EXPECT_EQ(messages.Texts().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(book.BookPath())) << "the window never makes a book";
}

TEST_F(StatisticsWindow, ALockedBookGoesThroughTheErrorBarrier) {
    AddRows({Income("2026-05-05 10:00:00", 5)});
    Open();
    CADODatabase other;
    other.SetConnectionString(BookConnectionString());
    other.Open();
    CADORecordset lock(&other);
    lock.Open(other.GetActiveConnection(), "begin exclusive", CADORecordset::OpenDefault);
    messages.Clear();
    Interval(DateTimeValue(2026, 5, 1), DateTimeValue(2026, 5, 31));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("正被其他程序使用"), std::string::npos)
        << messages.Texts()[0];
    EXPECT_EQ(Text(IDC_STATS_COUNT), "0");  // not the figures of the period before
    CADORecordset unlock(&other);
    unlock.Open(other.GetActiveConnection(), "commit", CADORecordset::OpenDefault);
    Click(dlg, IDC_STATS_INTERVAL);
    EXPECT_EQ(Text(IDC_STATS_INCOME), "5.00");
}

TEST_F(StatisticsWindow, ExportsTheShownChartAsPngAndTheTablesAsCsvWithABom) {
    AddRows({Pay("2026-05-05 10:00:00", 1234.5, "妈妈", "餐饮"),
             Pay("2026-06-05 10:00:00", 10, "爸爸", "交通"),
             Income("2026-06-06 10:00:00", 8000, "爸爸", "工资")});
    Open();
    Interval(DateTimeValue(2026, 5, 1), DateTimeValue(2026, 6, 30));

    const std::string png = (book.Dir() / "chart.png").string();
    {
        SaveAnswer answer(png);
        Click(dlg, IDC_STATS_EXPORT_IMAGE);
        EXPECT_EQ(answer.m_suggested, std::vector<std::string>{"收支统计_20260501-20260630.png"});
    }
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), dlg.GetDlgItem(IDC_STATS_CHART)->size());

    const std::string csv = (book.Dir() / "stats.csv").string();
    {
        SaveAnswer answer(csv);
        Click(dlg, IDC_STATS_EXPORT_CSV);
    }
    std::ifstream in(csv, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(bytes.find("收支统计,2026-05-01 至 2026-06-30\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("支出,1244.50\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("餐饮,支出,1234.50,99.2%,1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("2026-06,8000.00,10.00,7990.00,2\r\n"), std::string::npos);

    // A path that cannot be written is said, not passed over.
    SaveAnswer answer((book.Dir() / "no-such-folder" / "x.csv").string());
    messages.Clear();
    Click(dlg, IDC_STATS_EXPORT_CSV);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("无法保存文件"), std::string::npos);
}

TEST_F(StatisticsWindow, EveryControlHasANameAndTheChartSaysWhatItShows) {
    AddRows({Pay("2026-05-05 10:00:00", 30, "妈妈", "餐饮"),
             Pay("2026-05-06 10:00:00", 10, "妈妈", "交通")});
    Open();
    Interval(DateTimeValue(2026, 5, 1), DateTimeValue(2026, 5, 31));
    for (const ControlTemplate& c : dlg.Template().controls) {
        if (c.id == IDC_STATIC)
            continue;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(dlg.GetDlgItem(c.id));
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_FALSE(control->text(QAccessible::Name).isEmpty()) << c.id << " has no name";
    }
    QWidget* chart = dlg.GetDlgItem(IDC_STATS_CHART);
    EXPECT_EQ(chart->accessibleName().toStdString(), "统计图");
    EXPECT_EQ(chart->accessibleDescription().toStdString(), "支出构成; 餐饮 75.0%; 交通 25.0%");
    EXPECT_EQ(SkinObjectOf(&dlg), "nomaxdialog");
    EXPECT_EQ(SkinObjectOf(chart), "chartview");
    // The chart's colours are the skin's: income teal, expenses amber, as the skin says.
    EXPECT_EQ(SkinOption("chartview", "series", "").substr(0, 15), "#3d8a7f,#c8753a");
    EXPECT_EQ(SkinOption("chartview", "background", ""), "#fbfaf6");
}

}  // namespace
