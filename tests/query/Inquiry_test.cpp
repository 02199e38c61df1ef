#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTreeView>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "data/SqlText.h"
#include "platform/skin/Skin.h"
#include "platform/ui/CListModel.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/ErrorBarrier.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Texts = std::vector<std::string>;

// The statement first: it needs no dialog.
TEST(InquiryStatement, FiltersAddTheirClausesMemberFirst) {
    const QueryPeriod day = TodayPeriod({2026, 12, 6, 14, 5});
    const std::string base =
        "select * from normalIncome where 收入日期 >= #2026-12-06# and 收入日期 < #2026-12-07#";
    EXPECT_EQ(BuildInquiryStatement(kIncomeInquiry, day, "", ""), base);
    EXPECT_EQ(BuildInquiryStatement(kIncomeInquiry, day, "妈妈", ""),
              base + " and 收入人员='妈妈'");
    EXPECT_EQ(BuildInquiryStatement(kIncomeInquiry, day, "", "工资"),
              base + " and 收入项目='工资'");
    EXPECT_EQ(BuildInquiryStatement(kIncomeInquiry, day, "妈妈", "工资"),
              base + " and 收入人员='妈妈' and 收入项目='工资'");
    EXPECT_EQ(BuildInquiryStatement(kPayInquiry, day, "张'三", "餐饮"),
              "select * from normalPay where 支出日期 >= #2026-12-06# and 支出日期 < #2026-12-07#"
              " and 支出人员='张''三' and 支出项目='餐饮'");
}

// A fixed "now": Sunday 6 December 2026, 14:05.
const DateTimeValue kNow(2026, 12, 6, 14, 5);

void Execute(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), statement, CADORecordset::OpenDefault);
}

// Adds a record by SQL; `when` "" stores NULL, `amount` "" stores NULL.
void AddRecord(const char* table, const std::string& person, const std::string& amount,
               const std::string& when, const std::string& item) {
    const bool income = std::string(table) == "normalIncome";
    const std::string prefix = income ? "收入" : "支出";
    Execute("insert into " + std::string(table) + " (" + prefix + "人员, " + prefix + "金额, " +
            prefix + "日期, " + prefix + "项目) values ('" + SqlText(person) + "', " +
            (amount.empty() ? "null" : amount) + ", " + (when.empty() ? "null" : "#" + when + "#") +
            ", '" + item + "')");
}

template <class Dlg>
class InquiryTest : public ::testing::Test {
protected:
    InquiryTest() : previousClock(SetQueryClock([] { return kNow; })) {}
    ~InquiryTest() override { SetQueryClock(previousClock); }

    void Open() {
        dlg = std::make_unique<Dlg>();
        dlg->Create();
    }

    Texts Column(int c) const {
        Texts texts;
        for (int r = 0; r < dlg->m_listResult.GetItemCount(); ++r)
            texts.push_back(dlg->m_listResult.GetItemText(r, c));
        return texts;
    }
    Texts Numbers() const { return Column(0); }

    void Tick(int id) {
        auto* box = dlg->template GetDlgItemAs<QCheckBox>(id);
        if (!box->isChecked())
            Click(*dlg, id);
    }
    void TypeCombo(int id, const std::string& text) {
        dlg->template GetDlgItemAs<QComboBox>(id)->lineEdit()->setText(
            QString::fromStdString(text));
    }
    void SetPicker(int id, const DateTimeValue& date) {
        dlg->template GetDlgItemAs<QDateTimeEdit>(id)->setDate(
            QDate(date.GetYear(), date.GetMonth(), date.GetDay()));
    }

    QueryClock previousClock;
    TempBook book;
    MessageRecorder messages;
    std::unique_ptr<Dlg> dlg;
};

class IncomeInquiry : public InquiryTest<CIncomeInquiryDlg> {};
class PayInquiry : public InquiryTest<CPayInquiryDlg> {};

TEST_F(IncomeInquiry, OpensWithListsInTableOrderColumnsAndTheMonthSoFar) {
    Execute("insert into 家庭成员 (类型) values ('奶奶')");
    Open();
    EXPECT_EQ(dlg->windowTitle(), "收入查询");
    EXPECT_EQ(SkinObjectOf(dlg.get()), "nomaxdialog");
    EXPECT_EQ(SkinObjectOf(dlg->GetDlgItem(IDC_INQ_SEARCH)), "buttonSearch");
    auto* member = dlg->GetDlgItemAs<QComboBox>(IDC_INQ_COMBO_MEMBER);
    auto* item = dlg->GetDlgItemAs<QComboBox>(IDC_INQ_COMBO_ITEM);
    ASSERT_EQ(member->count(), 4);
    EXPECT_EQ(member->itemText(3), "奶奶");  // table order, not sorted
    EXPECT_EQ(item->itemText(0), "工资");
    EXPECT_EQ(item->count(), 6);
    EXPECT_EQ(member->currentText(), "爸爸");
    EXPECT_EQ(dlg->m_strMember, "爸爸");
    EXPECT_EQ(dlg->m_strItem, "工资");
    EXPECT_EQ(dlg->m_bFilterMember, 0);
    EXPECT_EQ(dlg->m_bFilterItem, 0);
    EXPECT_EQ(dlg->m_dateFrom, DateTimeValue(2026, 12, 1));
    EXPECT_EQ(dlg->m_dateTo, kNow);

    CListModel* model = dlg->m_listResult.Model();
    ASSERT_NE(model, nullptr);
    const Texts headings{"编号", "金额", "收入人员", "收入日期", "收入项目"};
    const int widths[] = {50, 70, 100, 100, 100};
    ASSERT_EQ(model->ColumnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(model->Heading(c), headings[static_cast<std::size_t>(c)]);
        EXPECT_EQ(dlg->m_listResult.GetColumnWidth(c), widths[c]);
    }
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 0);
}

TEST_F(IncomeInquiry, EachRangeListsItsDaysFromMidnightToMidnight) {
    // Saturday before the week, its last second, the week's first midnight, today, tomorrow,
    // the last of the month, the new year's first midnight.
    AddRecord("normalIncome", "爸爸", "1", "2026-12-05 23:59:59", "工资");   // 1
    AddRecord("normalIncome", "爸爸", "2", "2026-12-06 00:00:00", "工资");   // 2
    AddRecord("normalIncome", "爸爸", "3", "2026-12-06 23:59:59", "工资");   // 3
    AddRecord("normalIncome", "爸爸", "4", "2026-12-07 00:00:00", "工资");   // 4
    AddRecord("normalIncome", "爸爸", "5", "2026-12-12 23:00:00", "工资");   // 5
    AddRecord("normalIncome", "爸爸", "6", "2026-12-13 00:00:00", "工资");   // 6
    AddRecord("normalIncome", "爸爸", "7", "2026-12-31 12:00:00", "工资");   // 7
    AddRecord("normalIncome", "爸爸", "8", "2027-01-01 00:00:00", "工资");   // 8
    AddRecord("normalIncome", "爸爸", "9", "2026-01-01 00:00:00", "工资");   // 9
    AddRecord("normalIncome", "爸爸", "10", "2026-11-30 23:00:00", "工资");  // 10
    Open();
    Click(*dlg, IDC_INQ_TODAY);
    EXPECT_EQ(Numbers(), (Texts{"2", "3"}));
    Click(*dlg, IDC_INQ_WEEK);
    EXPECT_EQ(Numbers(), (Texts{"2", "3", "4", "5"}));
    Click(*dlg, IDC_INQ_MONTH);
    EXPECT_EQ(Numbers(), (Texts{"1", "2", "3", "4", "5", "6", "7"}));
    Click(*dlg, IDC_INQ_YEAR);
    // In the order the book gives them: by date, through the date index.
    EXPECT_EQ(Numbers(), (Texts{"9", "10", "1", "2", "3", "4", "5", "6", "7"}));
    // Pressed again: the same rows once.
    Click(*dlg, IDC_INQ_YEAR);
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 9);
    // As opened, the interval is the month so far, today included.
    Click(*dlg, IDC_INQ_SEARCH);
    EXPECT_EQ(Numbers(), (Texts{"1", "2", "3"}));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(IncomeInquiry, TheIntervalIncludesItsLastDayAndNothingWhenBackwards) {
    AddRecord("normalIncome", "爸爸", "1", "2026-12-04 00:00:00", "工资");
    AddRecord("normalIncome", "爸爸", "2", "2026-12-04 18:30:00", "工资");
    AddRecord("normalIncome", "爸爸", "3", "2026-12-05 00:00:00", "工资");
    Open();
    SetPicker(IDC_INQ_DATE_FROM, {2026, 12, 4});
    SetPicker(IDC_INQ_DATE_TO, {2026, 12, 4});
    Click(*dlg, IDC_INQ_SEARCH);
    EXPECT_EQ(Numbers(), (Texts{"1", "2"}));
    SetPicker(IDC_INQ_DATE_TO, {2026, 12, 3});
    Click(*dlg, IDC_INQ_SEARCH);
    EXPECT_EQ(Numbers(), Texts{});
}

TEST_F(IncomeInquiry, FiltersApplyToEveryRangeAndOnlyWhenTickedWithAText) {
    AddRecord("normalIncome", "爸爸", "1", "2026-12-06 08:00:00", "工资");
    AddRecord("normalIncome", "妈妈", "2", "2026-12-06 09:00:00", "工资");
    AddRecord("normalIncome", "妈妈", "3", "2026-12-06 10:00:00", "奖金");
    AddRecord("normalIncome", "张'三", "4", "2026-12-06 11:00:00", "奖金");
    Open();
    // The first entries show, but no filter is on until ticked.
    Click(*dlg, IDC_INQ_TODAY);
    EXPECT_EQ(Numbers(), (Texts{"1", "2", "3", "4"}));

    Tick(IDC_INQ_CHECK_MEMBER);
    TypeCombo(IDC_INQ_COMBO_MEMBER, "妈妈");
    Click(*dlg, IDC_INQ_TODAY);
    EXPECT_EQ(Numbers(), (Texts{"2", "3"}));
    Tick(IDC_INQ_CHECK_ITEM);
    TypeCombo(IDC_INQ_COMBO_ITEM, "奖金");
    Click(*dlg, IDC_INQ_MONTH);
    EXPECT_EQ(Numbers(), (Texts{"3"}));

    // A typed name in no list filters as typed, quote and all.
    TypeCombo(IDC_INQ_COMBO_MEMBER, "张'三");
    Click(*dlg, IDC_INQ_SEARCH);
    EXPECT_EQ(Numbers(), (Texts{"4"}));
    EXPECT_EQ(Column(2), (Texts{"张'三"}));

    // Ticked but empty: no clause.
    TypeCombo(IDC_INQ_COMBO_MEMBER, "");
    TypeCombo(IDC_INQ_COMBO_ITEM, "");
    Click(*dlg, IDC_INQ_WEEK);
    EXPECT_EQ(Numbers(), (Texts{"1", "2", "3", "4"}));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(IncomeInquiry, CellsShowTheStoredNumberAmountAndHourWithNullsBlank) {
    Execute("delete from normalIncome");
    Execute(
        "insert into normalIncome (编号, 收入人员, 收入金额, 收入日期, 收入项目) values "
        "(41, '妈妈', 12.34, #2026-12-06 14:05:00#, '奖金')");
    AddRecord("normalIncome", "爸爸", "", "2026-12-06 15:00:00", "");
    AddRecord("normalIncome", "孩子", "100", "", "礼金");
    // Text that is no date, yet sorts inside today's bounds.
    Execute(
        "insert into normalIncome (收入人员, 收入金额, 收入日期, 收入项目) values "
        "('孩子', 3, '2026-12-06 下午', '礼金')");
    Open();
    Click(*dlg, IDC_INQ_TODAY);
    ASSERT_EQ(dlg->m_listResult.GetItemCount(), 3) << "a record without a date is in no period";
    EXPECT_EQ(Column(0), (Texts{"41", "42", "44"}));
    EXPECT_EQ(Column(1), (Texts{"12.34", "0.0", "3.0"}));
    EXPECT_EQ(Column(2), (Texts{"妈妈", "爸爸", "孩子"}));
    EXPECT_EQ(Column(3), (Texts{"2026-12-06 14时", "2026-12-06 15时", ""}));
    EXPECT_EQ(Column(4), (Texts{"奖金", "", "礼金"}));
}

TEST_F(PayInquiry, ListsExpensesWithTheHourAloneAndItsOwnItems) {
    AddRecord("normalPay", "妈妈", "100", "2026-12-06 14:05:00", "餐饮");
    AddRecord("normalIncome", "妈妈", "5", "2026-12-06 14:05:00", "工资");
    Open();
    EXPECT_EQ(dlg->windowTitle(), "支出查询");
    EXPECT_EQ(dlg->GetDlgItemText(IDC_INQ_CHECK_ITEM), "支出类型");
    EXPECT_EQ(dlg->m_strItem, "餐饮");
    EXPECT_EQ(dlg->m_listResult.Model()->Heading(2), "支出人员");
    EXPECT_EQ(dlg->GetDlgItem(IDC_INQ_LIST_INCOME), nullptr);
    Click(*dlg, IDC_INQ_TODAY);
    EXPECT_EQ(Numbers(), (Texts{"1"}));
    EXPECT_EQ(Column(1), (Texts{"100.0"}));
    EXPECT_EQ(Column(3), (Texts{"2026-12-06 14"}));
}

TEST_F(IncomeInquiry, ABookFailureIsReportedAndTheDialogStaysUsable) {
    AddRecord("normalIncome", "爸爸", "1", "2026-12-06 08:00:00", "工资");
    SetFailureDescriber(&DescribeDatabaseFailure);
    Open();
    Click(*dlg, IDC_INQ_TODAY);
    ASSERT_EQ(Numbers(), (Texts{"1"}));
    Execute("alter table normalIncome rename to gone");
    Click(*dlg, IDC_INQ_TODAY);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("normalIncome"), std::string::npos) << messages.Texts()[0];
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 0);
    EXPECT_EQ(dlg->GetEndCode(), 0);
    Execute("alter table gone rename to normalIncome");
    Click(*dlg, IDC_INQ_TODAY);
    EXPECT_EQ(Numbers(), (Texts{"1"}));
    SetFailureDescriber({});
}

TEST(InquiryBook, AMissingBookIsReportedAndTheDialogStillOpensWithEmptyLists) {
    const QueryClock previous = SetQueryClock([] { return kNow; });
    TempBook book;
    std::filesystem::remove(book.BookPath());
    MessageRecorder messages;
    CIncomeInquiryDlg dlg;
    dlg.Create();
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(dlg.GetDlgItemAs<QComboBox>(IDC_INQ_COMBO_MEMBER)->count(), 0);
    EXPECT_EQ(dlg.m_listResult.GetColumnCount(), 5);
    Click(dlg, IDC_INQ_YEAR);  // no connection: nothing listed, nothing said
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(dlg.m_listResult.GetItemCount(), 0);
    SetQueryClock(previous);
}

// Every control sits where its dialog units put it; the two templates differ where they should.
template <class Dlg>
void ExpectLaidOut(int width, int height) {
    Dlg dlg;
    dlg.Create();
    const DialogTemplate& tpl = dlg.Template();
    EXPECT_EQ(tpl.cx, width);
    EXPECT_EQ(tpl.cy, height);
    const DialogUnits units(dlg.font());
    EXPECT_EQ(dlg.size(), QSize(units.ToPixelsX(width), units.ToPixelsY(height)));
    for (const ControlTemplate& c : tpl.controls) {
        if (c.id == IDC_STATIC)
            continue;
        const QRect want = units.ToPixels(c.x, c.y, c.cx, c.cy);
        const QRect got = dlg.GetDlgItem(c.id)->geometry();
        EXPECT_EQ(got.topLeft(), want.topLeft()) << c.id;
        EXPECT_EQ(got.width(), want.width()) << c.id;
        // A combo box's rectangle includes its drop-down; the closed box is one line high.
        if (c.kind != ControlKind::ComboBox) {
            EXPECT_EQ(got.height(), want.height()) << c.id;
        }
        EXPECT_LE(got.bottom(), dlg.height()) << c.id;
    }
    ExpectTextsFit(&dlg);
}

const ControlTemplate& ControlOf(const DialogTemplate& tpl, int id) {
    for (const ControlTemplate& c : tpl.controls)
        if (c.id == id)
            return c;
    throw std::out_of_range("no control");
}

TEST(InquiryTemplates, BothAreLaidOutWithTheirOwnRectangles) {
    TempBook book;
    ExpectLaidOut<CIncomeInquiryDlg>(379, 217);
    ExpectLaidOut<CPayInquiryDlg>(379, 219);
    const ControlTemplate& incomeWeek = ControlOf(IncomeInquiryDialogTemplate(), IDC_INQ_WEEK);
    const ControlTemplate& payWeek = ControlOf(PayInquiryDialogTemplate(), IDC_INQ_WEEK);
    EXPECT_EQ(QRect(incomeWeek.x, incomeWeek.y, incomeWeek.cx, incomeWeek.cy),
              QRect(65, 172, 46, 14));
    EXPECT_EQ(QRect(payWeek.x, payWeek.y, payWeek.cx, payWeek.cy), QRect(63, 169, 46, 13));
    EXPECT_EQ(ControlOf(PayInquiryDialogTemplate(), IDOK).y, 205);
    EXPECT_EQ(ControlOf(IncomeInquiryDialogTemplate(), IDOK).y, 203);
}

}  // namespace

namespace {
// A month of a household's records, for looking at the dialogs.
template <class Dlg>
void GrabWithAMonthListed(const char* table, const char* item, const std::string& name) {
    const QueryClock previous = SetQueryClock([] { return kNow; });
    TempBook book;
    const char* people[] = {"爸爸", "妈妈", "孩子"};
    for (int day = 1; day <= 6; ++day) {
        for (int i = 0; i < 4; ++i) {
            char when[32];
            std::snprintf(when, sizeof when, "2026-12-%02d %02d:15:00", day, 8 + 3 * i);
            AddRecord(table, people[(day + i) % 3], std::to_string(day * 37 + i) + ".5" + "6", when,
                      item);
        }
    }
    {
        MessageRecorder messages;
        Dlg dlg;
        dlg.Create();
        dlg.show();
        Click(dlg, IDC_INQ_MONTH);
        EXPECT_EQ(dlg.m_listResult.GetItemCount(), 24);
        QApplication::processEvents();
        // Every column shows whole inside the list.
        QTreeView* view = dlg.m_listResult.List();
        int columns = 0;
        for (int c = 0; c < 5; ++c)
            columns += dlg.m_listResult.GetColumnWidth(c);
        EXPECT_LE(columns, view->viewport()->width());
        const QString date = view->model()->index(0, 3).data().toString();
        EXPECT_LE(view->fontMetrics().horizontalAdvance(date) + 8,
                  dlg.m_listResult.GetColumnWidth(3));
        ExpectTextsFit(&dlg);
        SaveScreenshot(&dlg, name);
        EXPECT_TRUE(messages.Texts().empty());
    }
    SetQueryClock(previous);
}
}  // namespace

TEST(InquiryScreens, BothDialogsWithAMonthListed) {
    GrabWithAMonthListed<CIncomeInquiryDlg>("normalIncome", "工资", "income-inquiry-month");
    GrabWithAMonthListed<CPayInquiryDlg>("normalPay", "餐饮", "pay-inquiry-month");
}

// Assistive technologies reach every control by a name: its caption, the label or check box
// at its left, or the name the dialog gives the result list.
TEST(InquiryTemplates, EveryControlHasAnAccessibleName) {
    TempBook book;
    for (bool income : {true, false}) {
        std::unique_ptr<CInquiryDlg> dlg;
        if (income)
            dlg = std::make_unique<CIncomeInquiryDlg>();
        else
            dlg = std::make_unique<CPayInquiryDlg>();
        dlg->Create();
        for (const ControlTemplate& c : dlg->Template().controls) {
            if (c.id == IDC_STATIC)
                continue;
            QAccessibleInterface* control =
                QAccessible::queryAccessibleInterface(dlg->GetDlgItem(c.id));
            ASSERT_NE(control, nullptr) << c.id;
            EXPECT_FALSE(control->text(QAccessible::Name).isEmpty())
                << dlg->Template().id << "/" << c.id << " has no accessible name";
        }
        // The combo boxes are named by the check boxes at their left. (Qt on Linux reports an
        // editable combo box's text as its name and leaves the label to relations.)
        auto nameOf = [&dlg](int id) {
            return dlg->GetDlgItem(id)->accessibleName().toStdString();
        };
        EXPECT_EQ(nameOf(IDC_INQ_COMBO_MEMBER), "家庭成员");
        EXPECT_EQ(nameOf(IDC_INQ_COMBO_ITEM), income ? "收入类型" : "支出类型");
        EXPECT_EQ(nameOf(IDC_INQ_DATE_FROM), "从");
        EXPECT_EQ(nameOf(IDC_INQ_DATE_TO), "到");
    }
}
