#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "support/UiTestSupport.h"

namespace {
using namespace style;

enum : int {
    IDC_SORTED = 10,
    IDC_DIGITS = 12,
    IDC_AMOUNT = 13,
    IDC_NOTE = 14,
    IDC_PICKER = 15,
    IDC_ONE_LINE_NOTE = 16,
    IDC_ADD = 20,
};

const DialogTemplate& ControlsTemplate() {
    static const DialogTemplate tpl{
        502,
        "控件",
        200,
        150,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_STATIC, ControlKind::Static, "成员", 5, 7, 30, 8},
            {IDC_SORTED, ControlKind::ComboBox, "", 40, 5, 70, 40,
             Editable | VScroll | Sort | TabStop},
            {IDC_DIGITS, ControlKind::Edit, "", 40, 25, 70, 14, Border | Number | TabStop},
            {IDC_AMOUNT, ControlKind::Edit, "", 120, 25, 70, 14,
             Border | Number | Decimal | TabStop},
            {IDC_NOTE, ControlKind::Edit, "", 40, 45, 150, 30,
             Border | Multiline | WantReturn | AutoVScroll | AutoHScroll | TabStop},
            {IDC_PICKER, ControlKind::DateTimePicker, "", 40, 80, 70, 14, Right | TabStop},
            {IDC_ONE_LINE_NOTE, ControlKind::Edit, "", 40, 100, 150, 30,
             Border | Multiline | TabStop},
            {IDOK, ControlKind::DefPushButton, "确定", 140, 130, 50, 14, TabStop},
            {IDC_ADD, ControlKind::PushButton, "添加", 80, 130, 50, 14, TabStop},
        }};
    return tpl;
}

// Stands for the program's date type: days since 1899-12-30 plus a status.
struct Stamp {
    enum Status { valid, invalid, null };
    double GetDays() const { return m_dt; }
    Status GetStatus() const { return m_status; }
    void SetDays(double days) { m_dt = days; }
    void SetStatus(Status status) { m_status = status; }
    double m_dt = 0;
    Status m_status = valid;
};

class ControlsDlg : public CDialog {
public:
    ControlsDlg() : CDialog(ControlsTemplate()) {}
    CComboBox m_comboSorted;
    CDateTimeCtrl m_dateCtrl;
    Stamp m_stamp{46000.75};  // 2025-12-09 18:00
    std::string m_strNote;
    int m_nOks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_SORTED, m_comboSorted);
        DDX_Control(pDX, IDC_PICKER, m_dateCtrl);
        DDX_DateTimeCtrl(pDX, IDC_PICKER, m_stamp);
        DDX_Text(pDX, IDC_NOTE, m_strNote);
    }
    void OnOK() override { ++m_nOks; }
};

// Keys that type a character outside ASCII, as an input method delivers them.
void TypeKeys(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

QString ShownText(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget)->text();
}

TEST(ComboBox, SelectionAndTypedTextAreKeptApart) {
    ControlsDlg dlg;
    dlg.Create();
    CComboBox& combo = dlg.m_comboSorted;
    combo.InsertString(-1, "甲");
    combo.InsertString(-1, "乙");
    EXPECT_EQ(combo.GetCurSel(), CComboBox::CB_ERR) << "an inserted entry never selects itself";
    EXPECT_EQ(combo.InsertString(5, "戊"), CComboBox::CB_ERR);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetWindowText(), "乙");

    // Typing changes the edit field, not the selected entry, and never adds an entry.
    QLineEdit* field = combo.Combo()->lineEdit();
    field->selectAll();
    TypeKeys(field, "丁");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(combo.GetWindowText(), "丁");
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.GetCount(), 2);

    // Inserting before the selection leaves the field as the user sees it.
    combo.InsertString(0, "丙");
    EXPECT_EQ(combo.GetWindowText(), "丁");
    EXPECT_EQ(combo.GetLBText(combo.GetCurSel()), "乙");

    // Selecting shows the entry again; -1 empties the field.
    combo.SetCurSel(0);
    EXPECT_EQ(combo.GetWindowText(), "丙");
    EXPECT_EQ(combo.SetCurSel(-1), CComboBox::CB_ERR);
    EXPECT_EQ(combo.GetWindowText(), "");
}

TEST(NumberEdit, TakesDigitsAtTheKeyAndOnePointWhenDecimal) {
    ControlsDlg dlg;
    dlg.Create();
    QWidget* digits = dlg.GetDlgItem(IDC_DIGITS);
    QWidget* amount = dlg.GetDlgItem(IDC_AMOUNT);
    QTest::keyClicks(digits, "1a2.5-e");
    TypeKeys(digits, "３元");
    EXPECT_EQ(ShownText(digits), "125");
    QTest::keyClicks(amount, "12.5.0x");
    EXPECT_EQ(ShownText(amount), "12.50");
    // A point may replace the selected point.
    static_cast<QLineEdit*>(amount)->setSelection(2, 1);
    QTest::keyClicks(amount, ".");
    EXPECT_EQ(ShownText(amount), "12.50");
    // Editing keys still work.
    QTest::keyClick(amount, Qt::Key_End);
    QTest::keyClick(amount, Qt::Key_Backspace);
    EXPECT_EQ(ShownText(amount), "12.5");

    // Pasted text is not checked at the key; data exchange judges it.
    TypeInto(dlg, IDC_DIGITS, "abc");
    EXPECT_EQ(ShownText(digits), "abc");
}

TEST(MultilineEdit, ReturnBreaksTheLineOnlyWithWantReturn) {
    ControlsDlg dlg;
    dlg.Create();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    auto* note = dlg.GetDlgItemAs<QPlainTextEdit>(IDC_NOTE);
    ASSERT_NE(note, nullptr);
    note->setFocus();
    TypeKeys(note, "买菜");
    QTest::keyClick(note, Qt::Key_Return);
    TypeKeys(note, "交电费");
    EXPECT_EQ(dlg.m_nOks, 0);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strNote, "买菜\n交电费");

    // Without it, Return reaches the dialog and means its default button.
    auto* oneLine = dlg.GetDlgItemAs<QPlainTextEdit>(IDC_ONE_LINE_NOTE);
    oneLine->setFocus();
    QTest::keyClick(oneLine, Qt::Key_Return);
    EXPECT_EQ(oneLine->toPlainText(), "");
    EXPECT_EQ(dlg.m_nOks, 1);

    // Tab leaves a multi-line edit, as in any dialog.
    note->setFocus();
    QTest::keyClick(note, Qt::Key_Tab);
    EXPECT_EQ(note->toPlainText(), "买菜\n交电费");
    EXPECT_NE(QApplication::focusWidget(), note);
}

TEST(DateTimePicker, ShowsTheChineseShortDateAndStartsAtNow) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    CDialog dlg(ControlsTemplate());
    dlg.Create();
    auto* picker = dlg.GetDlgItemAs<QDateTimeEdit>(IDC_PICKER);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->displayFormat(), "yyyy/M/d");
    EXPECT_TRUE(picker->calendarPopup());
    EXPECT_GE(picker->dateTime(), before);
    EXPECT_LE(picker->dateTime(), QDateTime::currentDateTime());
    EXPECT_EQ(picker->time().msec(), 0);
}

TEST(DateTimePicker, ChangingTheDateKeepsTheTimeOfDay) {
    ControlsDlg dlg;
    dlg.Create();
    auto* picker = dlg.GetDlgItemAs<QDateTimeEdit>(IDC_PICKER);
    EXPECT_EQ(picker->text(), "2025/12/9");

    // By the calendar and by the keyboard.
    picker->calendarWidget()->setSelectedDate(QDate(2026, 3, 1));
    emit picker->calendarWidget()->clicked(QDate(2026, 3, 1));
    picker->setFocus();
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, Qt::Key_Up);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(DateTimeFromDays(dlg.m_stamp.m_dt), QDateTime(QDate(2026, 3, 2), QTime(18, 0)));
    EXPECT_EQ(dlg.m_stamp.m_status, Stamp::valid);

    // A member that is no valid date leaves the picker as it is.
    dlg.m_stamp = Stamp{0, Stamp::null};
    dlg.UpdateData(false);
    EXPECT_EQ(picker->date(), QDate(2026, 3, 2));
}

TEST(DateTimePicker, TabLeavesThePickerAndArrowsMoveBetweenItsFields) {
    ControlsDlg dlg;
    dlg.Create();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    auto* picker = dlg.GetDlgItemAs<QDateTimeEdit>(IDC_PICKER);
    picker->setFocus();
    picker->setCurrentSection(QDateTimeEdit::YearSection);
    QTest::keyClick(picker, Qt::Key_Right);
    EXPECT_EQ(picker->currentSection(), QDateTimeEdit::MonthSection);
    QTest::keyClick(picker, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dlg.GetDlgItem(IDC_ONE_LINE_NOTE));
}

TEST(DateTimePicker, TheCalendarDropsDownAlignedRight) {
    ControlsDlg dlg;
    dlg.Create();
    dlg.show();
    auto* picker = dlg.GetDlgItemAs<QDateTimeEdit>(IDC_PICKER);
    QWidget* popup = picker->calendarWidget()->window();
    // The drop-down button sits at the right end of the picker.
    QTest::mouseClick(picker, Qt::LeftButton, {},
                      QPoint(picker->width() - 4, picker->height() / 2));
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->geometry().right(), picker->mapToGlobal(picker->rect().bottomRight()).x());
    popup->hide();
}

TEST(DateTimePicker, DayCountsRoundTrip) {
    const std::pair<double, QDateTime> cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {46000.75, QDateTime(QDate(2025, 12, 9), QTime(18, 0))},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {2.0 - 1e-10, QDateTime(QDate(1900, 1, 1), QTime(0, 0))},
    };
    for (const auto& [days, dateTime] : cases) {
        EXPECT_EQ(DateTimeFromDays(days), dateTime) << days;
        EXPECT_NEAR(DaysFromDateTime(dateTime), days, 1e-9) << days;
    }
    EXPECT_FALSE(DateTimeFromDays(std::nan("")).isValid());
}
}  // namespace
