#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "EntryTestSupport.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "entry/CNormalIncomeDlg.h"
#include "entry/CNormalPayDlg.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Messages = std::vector<std::string>;

struct Income {
    using Dlg = CNormalIncomeDlg;
    static constexpr int kAmount = IDC_EDIT_INCOME_AMOUNT;
    static constexpr int kClose = IDC_BTN_ENTRY_CLOSE;
    static constexpr const char* kTable = "normalIncome";
    static constexpr const char* kOtherTable = "normalPay";
    static constexpr const char* kItemTable = "收入类型";
    static constexpr const char* kFirstItem = "工资";
    static constexpr const char* kCaption = "日常收入";
    static constexpr const char* kZeroMessage = "收入金额不能为0！请填入正确的收入金额！";
    // Template order, which is the tab order.
    static std::vector<int> TabOrder() {
        return {IDC_EDIT_INCOME_AMOUNT, IDC_EDIT_REMARK, IDC_COMBO_MEMBER, IDC_BTN_ENTRY_CLOSE,
                IDC_BTN_ENTRY_ADD,      IDC_DATE_ENTRY,  IDC_COMBO_ITEM};
    }
};

struct Pay {
    using Dlg = CNormalPayDlg;
    static constexpr int kAmount = IDC_EDIT_PAY_AMOUNT;
    static constexpr int kClose = IDOK;
    static constexpr const char* kTable = "normalPay";
    static constexpr const char* kOtherTable = "normalIncome";
    static constexpr const char* kItemTable = "支出类型";
    static constexpr const char* kFirstItem = "餐饮";
    static constexpr const char* kCaption = "日常支出";
    static constexpr const char* kZeroMessage = "支出金额不能为0！请填入正确的支出金额！";
    static std::vector<int> TabOrder() {
        return {IDOK,           IDC_EDIT_PAY_AMOUNT, IDC_EDIT_REMARK,  IDC_COMBO_MEMBER,
                IDC_DATE_ENTRY, IDC_COMBO_ITEM,      IDC_BTN_ENTRY_ADD};
    }
};

// The control a focused widget belongs to (a combo's edit field, a picker's inner edit).
int ControlIdOf(CDialog& dlg, QWidget* focused) {
    for (QWidget* w = focused; w && w != &dlg; w = w->parentWidget()) {
        for (const ControlTemplate& c : dlg.Template().controls) {
            if (c.id != IDC_STATIC && dlg.GetDlgItem(c.id) == w)
                return c.id;
        }
    }
    return 0;
}

template <class Kind>
class EntryDialog : public ::testing::Test {
protected:
    using Dlg = typename Kind::Dlg;

    // The dialog is made by each test, after it has shaped the book.
    Dlg& Open() {
        dialog = std::make_unique<Dlg>();
        dialog->Create();
        return *dialog;
    }

    // Types like a user: key by key into the amount edit.
    void KeyInAmount(const std::string& keys) {
        auto* edit = dialog->template GetDlgItemAs<QLineEdit>(Kind::kAmount);
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(keys));
    }

    Messages Add() {
        messages.Clear();
        Click(*dialog, IDC_BTN_ENTRY_ADD);
        EXPECT_EQ(dialog->GetEndCode(), 0) << "添加 never closes the dialog";
        return messages.Texts();
    }

    QComboBox* Combo(int id) { return dialog->template GetDlgItemAs<QComboBox>(id); }
    QStringList Entries(int id) {
        QStringList entries;
        for (int i = 0; i < Combo(id)->count(); ++i)
            entries << Combo(id)->itemText(i);
        return entries;
    }

    TempBook book;
    DatabaseMessages databaseMessages;
    MessageRecorder messages;
    std::unique_ptr<Dlg> dialog;
};

using Kinds = ::testing::Types<Income, Pay>;
TYPED_TEST_SUITE(EntryDialog, Kinds);

const Messages kAdded{"数据添加成功！"};

TYPED_TEST(EntryDialog, OpensWithTheListsInTableOrderAndAZeroAmount) {
    // Neither order is the sorted one, which the combos' sort style must not impose.
    SetCategoryEntries("家庭成员", {"甲", "乙", "丙"});
    auto& dlg = this->Open();
    EXPECT_EQ(dlg.windowTitle().toStdString(), TypeParam::kCaption);
    EXPECT_EQ(SkinObjectOf(&dlg), "nomaxdialog");
    EXPECT_EQ(this->Entries(IDC_COMBO_MEMBER), QStringList({"甲", "乙", "丙"}));
    EXPECT_EQ(this->Combo(IDC_COMBO_MEMBER)->currentIndex(), 0);
    EXPECT_EQ(this->Combo(IDC_COMBO_MEMBER)->currentText(), "甲");
    EXPECT_EQ(this->Combo(IDC_COMBO_ITEM)->count(),
              TypeParam::kItemTable == std::string("收入类型") ? 6 : 12);
    EXPECT_EQ(this->Combo(IDC_COMBO_ITEM)->currentText().toStdString(), TypeParam::kFirstItem);
    EXPECT_EQ(dlg.GetDlgItemText(TypeParam::kAmount), "0");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_REMARK), "");
    EXPECT_TRUE(dlg.m_db.IsOpen()) << "the dialog keeps its connection";
    EXPECT_TRUE(this->messages.Texts().empty());
}

TYPED_TEST(EntryDialog, AZeroAmountIsRefusedAndStoresNothing) {
    this->Open();
    EXPECT_EQ(this->Add(), Messages{TypeParam::kZeroMessage});
    this->KeyInAmount("0.00");
    EXPECT_EQ(this->Add(), Messages{TypeParam::kZeroMessage});
    EXPECT_TRUE(EntryRows(TypeParam::kTable).empty());
}

TYPED_TEST(EntryDialog, EachPressStoresOneRowInItsOwnTableOnly) {
    auto& dlg = this->Open();
    this->KeyInAmount("125");
    EXPECT_EQ(this->Add(), kAdded);
    EXPECT_EQ(this->Add(), kAdded);  // nothing was reset: the same row again
    EXPECT_EQ(dlg.GetDlgItemText(TypeParam::kAmount), "125");

    const std::vector<EntryRow> rows = EntryRows(TypeParam::kTable);
    ASSERT_EQ(rows.size(), 2u);
    for (const EntryRow& row : rows) {
        EXPECT_EQ(row.member, "爸爸");
        EXPECT_EQ(row.item, TypeParam::kFirstItem);
        EXPECT_EQ(row.amount, 125.0);
        EXPECT_EQ(row.remark, "");
    }
    EXPECT_EQ(rows[0].date, rows[1].date);
    EXPECT_EQ(RowsWithNullRemark(TypeParam::kTable), 2) << "an empty remark is stored as null";
    EXPECT_TRUE(EntryRows(TypeParam::kOtherTable).empty());
}

TYPED_TEST(EntryDialog, StoresTheChosenEntriesFenAndTheRemark) {
    auto& dlg = this->Open();
    this->KeyInAmount("1a2.5.0x");  // letters and a second point are refused at the key
    EXPECT_EQ(dlg.GetDlgItemText(TypeParam::kAmount), "12.50");
    this->Combo(IDC_COMBO_MEMBER)->setCurrentIndex(2);
    this->Combo(IDC_COMBO_ITEM)->setCurrentIndex(1);
    TypeInto(dlg, IDC_EDIT_REMARK, "给孩子's\n第二行");
    EXPECT_EQ(this->Add(), kAdded);

    const std::vector<EntryRow> rows = EntryRows(TypeParam::kTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].member, "孩子");
    EXPECT_EQ(rows[0].item, this->Combo(IDC_COMBO_ITEM)->itemText(1).toStdString());
    EXPECT_EQ(rows[0].amount, 12.5);
    EXPECT_EQ(rows[0].remark, "给孩子's\n第二行");
    EXPECT_EQ(RowsWithNullRemark(TypeParam::kTable), 0);
}

TYPED_TEST(EntryDialog, TheStoredDateIsThePickedDayAtTheTimeOfOpening) {
    const DateTimeValue before = DateTimeValue::GetCurrentTime();
    auto& dlg = this->Open();
    const DateTimeValue after = DateTimeValue::GetCurrentTime();
    auto* picker = dlg.template GetDlgItemAs<QDateTimeEdit>(IDC_DATE_ENTRY);
    const QTime opened = picker->time();
    picker->calendarWidget()->setSelectedDate(QDate(2024, 2, 29));
    emit picker->calendarWidget()->clicked(QDate(2024, 2, 29));
    this->KeyInAmount("8");
    QTest::qWait(1100);  // the clock moves on; the stored time must not
    EXPECT_EQ(this->Add(), kAdded);

    const std::vector<EntryRow> rows = EntryRows(TypeParam::kTable);
    ASSERT_EQ(rows.size(), 1u);
    const DateTimeValue& stored = rows[0].date;
    EXPECT_EQ(stored.Format("%Y-%m-%d"), "2024-02-29");
    EXPECT_EQ(stored.Format("%H:%M:%S"), opened.toString("HH:mm:ss").toStdString());
    const std::string time = stored.Format("%H:%M:%S");
    EXPECT_GE(time, before.Format("%H:%M:%S"));
    EXPECT_LE(time, after.Format("%H:%M:%S"));
}

TYPED_TEST(EntryDialog, TabOrderFollowsTheTemplateFromTheFirstTabStop) {
    auto& dlg = this->Open();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    std::vector<int> visited;
    for (size_t i = 0; i < TypeParam::TabOrder().size() + 1; ++i) {
        visited.push_back(ControlIdOf(dlg, QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    std::vector<int> expected = TypeParam::TabOrder();
    expected.push_back(expected.front());  // and round again
    EXPECT_EQ(visited, expected);
    dlg.hide();
}

// The amount edit gets the focus (the first one in the income dialog, by Tab in the expense
// dialog) with its "0" selected, so typing replaces it.
TYPED_TEST(EntryDialog, TypingWhenTheAmountGetsTheFocusReplacesTheShownZero) {
    auto& dlg = this->Open();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    for (int i = 0; i < 10 && ControlIdOf(dlg, QApplication::focusWidget()) != TypeParam::kAmount;
         ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "12.50");
    EXPECT_EQ(dlg.GetDlgItemText(TypeParam::kAmount), "12.50");
    dlg.hide();
}

TYPED_TEST(EntryDialog, TheClosingButtonReadsTheFormAndEndsWithOk) {
    auto& dlg = this->Open();
    TypeInto(dlg, TypeParam::kAmount, "abc");  // pasted, so not refused at the key
    Click(dlg, TypeParam::kClose);
    EXPECT_EQ(this->messages.Texts(), Messages{"请输入一个数字。"});
    EXPECT_EQ(dlg.GetEndCode(), 0) << "a form that cannot be read keeps the dialog open";
    TypeInto(dlg, TypeParam::kAmount, "7");
    Click(dlg, TypeParam::kClose);
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
    EXPECT_EQ(dlg.m_fenAmount, Fen(700));
    EXPECT_TRUE(EntryRows(TypeParam::kTable).empty()) << "closing stores nothing";
}

// Mended: a reading that failed no longer goes on with the amount of the last reading.
TYPED_TEST(EntryDialog, AnAmountThatIsNotANumberStopsTheAdd) {
    auto& dlg = this->Open();
    this->KeyInAmount("5");
    EXPECT_EQ(this->Add(), kAdded);
    for (const char* text : {"五元", "", "1e999"}) {
        TypeInto(dlg, TypeParam::kAmount, text);
        EXPECT_EQ(this->Add(), Messages{"请输入一个数字。"}) << text;
    }
    EXPECT_EQ(EntryRows(TypeParam::kTable).size(), 1u);
}

// Amounts are read exactly, to the fen: what cannot be stored so is refused with its reason.
TYPED_TEST(EntryDialog, AnAmountIsStoredToTheFenOrRefusedWithItsReason) {
    auto& dlg = this->Open();
    const std::pair<const char*, const char*> refused[] = {
        {"12.345", "金额只能精确到分，请最多输入两位小数。"},
        {"10000000000000", "金额太大，请输入不超过 9999999999999.99 的金额。"},
        {"1e3", "请输入一个数字。"},
    };
    for (const auto& [text, message] : refused) {
        TypeInto(dlg, TypeParam::kAmount, text);
        EXPECT_EQ(this->Add(), Messages{message}) << text;
    }
    TypeInto(dlg, TypeParam::kAmount, " 19.90 ");
    EXPECT_EQ(this->Add(), kAdded);
    const std::vector<EntryRow> rows = EntryRows(TypeParam::kTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].amount, 19.9);
}

// Mended: no member or item is ever made up or taken from a list entry the user does not see.
TYPED_TEST(EntryDialog, AnEmptyCategoryTableStoresNothingAndSaysWhereToAddEntries) {
    SetCategoryEntries("家庭成员", {});
    SetCategoryEntries(TypeParam::kItemTable, {"唯一"});
    this->Open();
    EXPECT_EQ(this->Combo(IDC_COMBO_MEMBER)->count(), 0);
    this->KeyInAmount("30");
    const Messages shown = this->Add();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("没有选择家庭成员"), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find("系统设置"), std::string::npos) << shown[0];
    EXPECT_TRUE(EntryRows(TypeParam::kTable).empty());
}

TYPED_TEST(EntryDialog, ATypedEntryThatIsNotInTheListStoresNothing) {
    this->Open();
    this->KeyInAmount("30");
    QLineEdit* field = this->Combo(IDC_COMBO_ITEM)->lineEdit();
    field->setText(QStringLiteral("彩票"));
    const Messages shown = this->Add();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("“彩票”不在"), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find(TypeParam::kItemTable), std::string::npos) << shown[0];
    field->setText(QString());
    EXPECT_NE(this->Add().at(0).find("没有选择"), std::string::npos);
    EXPECT_TRUE(EntryRows(TypeParam::kTable).empty());

    // Choosing from the list again shows and stores that entry.
    this->Combo(IDC_COMBO_ITEM)->setCurrentIndex(0);
    EXPECT_EQ(this->Add(), kAdded);
    EXPECT_EQ(EntryRows(TypeParam::kTable).at(0).item, TypeParam::kFirstItem);
}

TYPED_TEST(EntryDialog, AMissingBookAtOpeningIsReportedAndTheDialogStillOpens) {
    std::filesystem::remove(this->book.BookPath());
    auto& dlg = this->Open();
    ASSERT_EQ(this->messages.Texts().size(), 1u);
    EXPECT_NE(this->messages.Texts()[0].find("找不到账本文件"), std::string::npos);
    EXPECT_NE(this->messages.Texts()[0].find("data.mdb"), std::string::npos);
    EXPECT_EQ(this->Combo(IDC_COMBO_MEMBER)->count(), 0);
    this->KeyInAmount("9");
    EXPECT_EQ(this->Add().size(), 1u);  // says what is missing, stores nowhere
    EXPECT_FALSE(std::filesystem::exists(this->book.BookPath()));
    EXPECT_EQ(dlg.GetEndCode(), 0);
}

TYPED_TEST(EntryDialog, ABookRemovedWhileOpenIsReportedNotSwallowed) {
    this->Open();
    this->KeyInAmount("9");
    EXPECT_EQ(this->Add(), kAdded);
    const auto moved = this->book.Dir() / "moved.mdb";
    std::filesystem::rename(this->book.BookPath(), moved);
    const Messages shown = this->Add();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("找不到账本文件"), std::string::npos) << shown[0];

    // Put back, the book takes the next row.
    std::filesystem::rename(moved, this->book.BookPath());
    EXPECT_EQ(this->Add(), kAdded);
    EXPECT_EQ(EntryRows(TypeParam::kTable).size(), 2u);
}

TYPED_TEST(EntryDialog, ABookLockedByAnotherWriterIsReportedAndNothingIsHalfStored) {
    this->Open();
    this->KeyInAmount("9");
    {
        CADODatabase other;
        other.SetConnectionString(BookConnectionString());
        other.Open();
        other.BeginTrans();
        CADORecordset rs(&other);
        rs.Open(other.GetActiveConnection(), "家庭成员", CADORecordset::OpenTable);
        rs.AddNew();
        rs.SetFieldValue("类型", "占用");
        rs.Update();
        const Messages shown = this->Add();  // waits for the other writer, then gives up
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("数据库"), std::string::npos) << shown[0];
        other.RollbackTrans();
    }
    EXPECT_TRUE(EntryRows(TypeParam::kTable).empty());
    EXPECT_EQ(this->Add(), kAdded);
    EXPECT_EQ(EntryRows(TypeParam::kTable).size(), 1u);
}
}  // namespace
