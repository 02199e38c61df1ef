#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cmath>
#include <filesystem>

#include "data/BackupCatalog.h"
#include "data/DatabaseFailure.h"
#include "entry/CNormalIncomeDlg.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Statement.h"
#include "platform/ui/CListModel.h"
#include "platform/ui/ErrorBarrier.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Texts = std::vector<std::string>;
const DateTimeValue kNow(2026, 12, 6, 14, 5);
constexpr const char* kStale = "该记录已被删除或更改，请重新查询。";

// A second program on the same book.
class OtherConnection {
public:
    OtherConnection() { m_db.Open(TempBook::ConnectionString(), "", "", 0); }
    void Exec(const std::string& sql) { ASSERT_NO_THROW(m_db.Execute(sql.c_str())) << sql; }
    // Every row of the table exactly as stored, NULL and '' told apart.
    Texts Dump(const std::string& table) {
        const std::string prefix = table == "normalIncome" ? "收入" : "支出";
        CStatement stmt(m_db, "select 编号, " + prefix + "人员, " + prefix + "金额, " + prefix +
                                  "日期, " + prefix + "项目, 备注 from \"" + table +
                                  "\" order by 编号");
        Texts rows;
        while (stmt.Step()) {
            std::string row;
            for (int c = 0; c < stmt.ColumnCount(); ++c) {
                const EngineValue e = stmt.Column(c, VarKind::Empty);
                row += c == 0 ? "" : "|";
                if (e.type == EngineValue::Type::Null)
                    row += "NULL";
                else if (e.type == EngineValue::Type::Integer)
                    row += std::to_string(e.integer);
                else if (e.type == EngineValue::Type::Real)
                    row += e.real == std::floor(e.real)
                               ? QString::number(e.real, 'f', 1).toStdString()
                               : QString::number(e.real, 'g', QLocale::FloatingPointShortest)
                                     .toStdString();
                else
                    row += "'" + std::string(e.Bytes()) + "'";
            }
            rows.push_back(row);
        }
        return rows;
    }

private:
    CConnection m_db;
};

const Texts kIncomeRows{
    "1|'爸爸'|1250.0|'2026-12-06 08:00:00'|'工资'|NULL",
    "2|'妈妈'|300.0|'2026-12-06 09:30:15'|'奖金'|'年终'",
    "3|'孩子'|50.0|'2026-12-06 10:00:00'|'礼金'|''",
    "4|'妈妈'|12.34|'2026-12-06 11:00:00'|'工资'|NULL",
    "5|'爸爸'|8.0|'2026-12-06 12:00:00'|'其他收入'|'x'",
};

template <class Dlg>
class EditTest : public ::testing::Test {
protected:
    EditTest() : previousClock(SetQueryClock([] { return kNow; })) {
        SetFailureDescriber(&DescribeDatabaseFailure);
        other.Exec(
            "insert into \"normalIncome\" values"
            "(1, '爸爸', 1250, '2026-12-06 08:00:00', '工资', null),"
            "(2, '妈妈', 300, '2026-12-06 09:30:15', '奖金', '年终'),"
            "(3, '孩子', 50, '2026-12-06 10:00:00', '礼金', ''),"
            "(4, '妈妈', 12.34, '2026-12-06 11:00:00', '工资', null),"
            "(5, '爸爸', 8, '2026-12-06 12:00:00', '其他收入', 'x');"
            "insert into \"normalPay\" values (1, '妈妈', 99.5, '2026-12-06 13:00:00', '餐饮', "
            "null)");
        if (TempBook::OnServer())  // the server's own numbering goes on after the rows given
            other.Exec("select setval(pg_get_serial_sequence('\"normalIncome\"', '编号'), 5)");
        dlg = std::make_unique<Dlg>();
        dlg->Create();
        dlg->show();
        Click(*dlg, IDC_INQ_TODAY);
        QApplication::processEvents();
    }
    ~EditTest() override {
        SetFailureDescriber({});
        SetQueryClock(previousClock);
    }

    QTreeView* View() const { return dlg->m_listResult.List(); }
    QPoint Cell(int row, int column) const {
        return View()->visualRect(View()->model()->index(row, column)).center();
    }
    void ClickCell(int row, int column, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, modifiers, Cell(row, column));
    }
    Texts Column(int c) const {
        Texts texts;
        for (int r = 0; r < dlg->m_listResult.GetItemCount(); ++r)
            texts.push_back(dlg->m_listResult.GetItemText(r, c));
        return texts;
    }
    // A right click on a row's cell, then a click on the context menu's command.
    void ChooseFromMenu(int row, const std::string& command) {
        QTest::mousePress(View()->viewport(), Qt::RightButton, {}, Cell(row, 0));
        QTest::mouseRelease(View()->viewport(), Qt::RightButton, {}, Cell(row, 0));
        QContextMenuEvent event(QContextMenuEvent::Mouse, Cell(row, 0),
                                View()->viewport()->mapToGlobal(Cell(row, 0)));
        QApplication::sendEvent(View()->viewport(), &event);
        QMenu* menu = dlg->ContextMenu();
        ASSERT_TRUE(menu->isVisible());
        for (QAction* action : menu->actions()) {
            if (action->text().toStdString() == command) {
                ASSERT_TRUE(action->isEnabled()) << command;
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        FAIL() << "no command " << command;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(View(), static_cast<Qt::Key>(key), modifiers);
    }

    QueryClock previousClock;
    TempBook book;
    OtherConnection other;
    MessageRecorder messages;
    std::unique_ptr<Dlg> dlg;
};

class IncomeEdits : public EditTest<CIncomeInquiryDlg> {};
class PayEdits : public EditTest<CPayInquiryDlg> {};

// The form a script sees: what it shows, then what the user types.
void ChangeInForm(CDialog& form, const std::string& amount, const std::string& member) {
    TypeInto(form, IDC_EDIT_INCOME_AMOUNT, amount);
    auto* combo = form.GetDlgItemAs<QComboBox>(IDC_COMBO_MEMBER);
    combo->setCurrentIndex(combo->findText(QString::fromStdString(member)));
    Click(form, IDC_BTN_ENTRY_ADD);
}

TEST_F(IncomeEdits, TheListSelectsByTheFirstColumnOnly) {
    ClickCell(1, 2);
    EXPECT_EQ(dlg->m_listResult.GetSelectedCount(), 0);
    ClickCell(1, 0);
    ClickCell(3, 0, Qt::ControlModifier);
    EXPECT_EQ(dlg->m_listResult.GetSelectedItems(), (std::vector<int>{1, 3}));
    const QModelIndexList cells = View()->selectionModel()->selectedIndexes();
    ASSERT_EQ(cells.size(), 2);
    EXPECT_EQ(cells[0].column() + cells[1].column(), 0) << "only the first column is highlighted";
    Key(Qt::Key_Right);
    EXPECT_EQ(dlg->m_listResult.GetSelectedItems(), (std::vector<int>{1, 3}));
    ClickCell(1, 0);
    ClickCell(4, 0, Qt::ShiftModifier);
    EXPECT_EQ(dlg->m_listResult.GetSelectedCount(), 4);
    ClickCell(0, 3);
    EXPECT_EQ(dlg->m_listResult.GetSelectedCount(), 0);
}

TEST_F(IncomeEdits, ChangesTheAmountAndMemberInTheEntryFormWithTheChecksOfAdding) {
    ClickCell(0, 0);
    int run = 0;
    ScopedModalRunner form([&](CDialog& f) {
        EXPECT_EQ(f.windowTitle(), "修改收入记录");
        EXPECT_EQ(f.GetDlgItemText(IDC_EDIT_INCOME_AMOUNT), "1250");
        EXPECT_EQ(f.GetDlgItemAs<QComboBox>(IDC_COMBO_MEMBER)->currentText(), "爸爸");
        EXPECT_EQ(f.GetDlgItemAs<QComboBox>(IDC_COMBO_ITEM)->currentText(), "工资");
        EXPECT_EQ(f.GetDlgItemText(IDC_BTN_ENTRY_ADD), "确定");
        EXPECT_EQ(f.GetDlgItemText(IDC_BTN_ENTRY_CLOSE), "取消");
        if (run++ == 0) {
            ChangeInForm(f, "0", "妈妈");  // refused as adding refuses it; the form stays open
            EXPECT_EQ(f.GetEndCode(), 0);
            Click(f, IDC_BTN_ENTRY_CLOSE);
            return f.GetEndCode();
        }
        ChangeInForm(f, "125", "妈妈");
        return f.GetEndCode();
    });
    ChooseFromMenu(0, "修改…");
    EXPECT_EQ(messages.Texts(), Texts{"收入金额不能为0！请填入正确的收入金额！"});
    EXPECT_EQ(other.Dump("normalIncome"), kIncomeRows) << "取消 changes nothing";

    ChooseFromMenu(0, "修改…");
    Texts changed = kIncomeRows;
    changed[0] = "1|'妈妈'|125.0|'2026-12-06 08:00:00'|'工资'|NULL";
    EXPECT_EQ(other.Dump("normalIncome"), changed);
    EXPECT_EQ(Column(1)[0], "125.0");
    EXPECT_EQ(Column(2)[0], "妈妈");
    EXPECT_EQ(dlg->m_listResult.GetSelectedItems(), std::vector<int>{0});
    EXPECT_EQ(form.Opened(), (Texts{"CNormalIncomeDlg", "CNormalIncomeDlg"}));
    EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST_F(IncomeEdits, DeletesThreeAfterAskingAndTakesTwoStepsBack) {
    QuestionRecorder questions(false);
    ClickCell(0, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(questions.Texts(), Texts{"删除这笔收入记录？\n2026-12-06 08时  爸爸  工资  1250.0"});
    EXPECT_EQ(other.Dump("normalIncome"), kIncomeRows) << "否 deletes nothing";

    questions.Answer(true);
    ClickCell(1, 0);
    ClickCell(3, 0, Qt::ShiftModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(questions.Texts().back(), "删除选中的 3 笔收入记录？");
    if (!TempBook::OnServer()) {  // a server keeps its own backups
        EXPECT_EQ(ListBackups(BackupFolderFor(book.BookPath().string()), "data.mdb").size(), 1u)
            << "the book is backed up before many records go";
    }
    EXPECT_EQ(other.Dump("normalIncome"), (Texts{kIncomeRows[0], kIncomeRows[4]}));
    EXPECT_EQ(Column(0), (Texts{"1", "5"}));

    ScopedModalRunner form([](CDialog& f) {
        ChangeInForm(f, "999", "爸爸");
        return f.GetEndCode();
    });
    ClickCell(1, 0);
    ChooseFromMenu(1, "修改…");
    EXPECT_EQ(Column(1), (Texts{"1250.0", "999.0"}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(other.Dump("normalIncome"), (Texts{kIncomeRows[0], kIncomeRows[4]}));
    ChooseFromMenu(0, "撤销");
    EXPECT_EQ(other.Dump("normalIncome"), kIncomeRows) << "the original 编号 and values";
    EXPECT_EQ(Column(0), (Texts{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(dlg->m_listResult.GetSelectedItems(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(IncomeEdits, ARowChangedOrDeletedElsewhereIsReportedAndNothingIsTouched) {
    QuestionRecorder questions(true);
    ScopedModalRunner form([](CDialog& f) { return f.GetEndCode(); });
    other.Exec("delete from \"normalIncome\" where 编号 = 2");
    ClickCell(1, 0);
    ChooseFromMenu(1, "修改…");
    EXPECT_EQ(messages.Texts(), Texts{kStale});
    EXPECT_TRUE(form.Opened().empty());

    // Only the remark, which the list does not show, changed: still another row than listed.
    other.Exec("update \"normalIncome\" set 备注 = '改过' where 编号 = 4");
    ClickCell(0, 0);
    ClickCell(3, 0, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(messages.Texts(), (Texts{kStale, kStale}));
    EXPECT_TRUE(questions.Texts().empty());
    EXPECT_EQ(other.Dump("normalIncome").size(), 4u);
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 5) << "the list stays as it was";

    // A step back over a row changed elsewhere since: reported, the other change kept.
    Click(*dlg, IDC_INQ_TODAY);
    questions.Answer(true);
    ClickCell(0, 0);
    Key(Qt::Key_Delete);
    other.Exec(
        "insert into \"normalIncome\" values (1, '孩子', 7, '2026-12-06 08:00:00', '工资', null)");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(messages.Texts().back(), kStale);
    EXPECT_EQ(other.Dump("normalIncome").front(), "1|'孩子'|7.0|'2026-12-06 08:00:00'|'工资'|NULL");
}

TEST_F(IncomeEdits, ListingAgainKeepsTheScrollPosition) {
    std::string rows;
    for (int i = 0; i < 200; ++i)
        rows += std::string(rows.empty() ? "" : ",") + "('爸爸', " + std::to_string(i + 1) +
                ", '2026-12-06 13:00:00', '工资', null)";
    other.Exec(
        "insert into \"normalIncome\" (收入人员, 收入金额, 收入日期, 收入项目, 备注) values " +
        rows);
    Click(*dlg, IDC_INQ_TODAY);
    QApplication::processEvents();
    dlg->m_listResult.SetScrollPos(60);
    const int scroll = dlg->m_listResult.GetScrollPos();
    ASSERT_GT(scroll, 0);
    const int row = View()->indexAt(QPoint(5, 5)).row();
    QuestionRecorder questions(true);
    ClickCell(row, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 204);
    EXPECT_EQ(dlg->m_listResult.GetScrollPos(), scroll);
}

// A book another program holds locked, or one that went away: the message of the failure, the
// list and the book as they were.
TEST_F(IncomeEdits, ALockedOrMissingBookIsReportedAndNothingChanges) {
    QuestionRecorder questions(true);
    struct Case {
        const char* what;
        std::function<void()> spoil, mend;
        const char* words;
    };
    const std::filesystem::path away = book.Dir() / "away.mdb";
    OtherConnection holder;
    const Case cases[] = {
        {"locked", [&] { holder.Exec("begin immediate"); }, [&] { holder.Exec("rollback"); },
         "正被其他程序使用"},
        {"missing", [&] { std::filesystem::rename(book.BookPath(), away); },
         [&] { std::filesystem::rename(away, book.BookPath()); }, "找不到账本文件"},
    };
    for (const Case& c : cases) {
        messages.Clear();
        c.spoil();
        ClickCell(2, 0);
        Key(Qt::Key_Delete);
        c.mend();
        ASSERT_EQ(messages.Texts().size(), 1u) << c.what;
        EXPECT_NE(messages.Texts()[0].find(c.words), std::string::npos) << messages.Texts()[0];
        EXPECT_EQ(dlg->m_listResult.GetItemCount(), 5) << c.what;
        EXPECT_EQ(other.Dump("normalIncome"), kIncomeRows) << c.what;
    }
}

TEST_F(PayEdits, TheMenuOpensByMouseMenuKeyAndShiftF10WithNamedCommands) {
    QMenu* menu = dlg->ContextMenu();
    ClickCell(0, 0);
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        menu->hide();
        Key(key, modifiers);
        EXPECT_TRUE(menu->isVisible()) << key;
    }
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(menu);
    ASSERT_NE(access, nullptr);
    Texts names;
    for (int i = 0; i < access->childCount(); ++i)
        names.push_back(access->child(i)->text(QAccessible::Name).toStdString());
    EXPECT_EQ(names, (Texts{"修改…", "删除", "", "撤销"}));
    Texts enabled;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            enabled.push_back(action->isEnabled() ? "on" : "off");
    }
    EXPECT_EQ(enabled, (Texts{"on", "on", "off"}));
    menu->hide();
}

// The menu, the change form of each side and the question, as a person sees them.
TEST_F(PayEdits, Screens) {
    ClickCell(0, 0);
    SaveScreenshot(dlg.get(), "pay-inquiry-first-column-selected");
    ScopedModalRunner form([](CDialog& f) {
        f.show();
        QApplication::processEvents();
        EXPECT_EQ(f.windowTitle(), "修改支出记录");
        EXPECT_EQ(f.GetDlgItemText(IDOK), "取消");
        ExpectTextsFit(&f);
        SaveScreenshot(&f, "pay-change-form");
        return IDCANCEL;
    });
    ChooseFromMenu(0, "修改…");
    Key(Qt::Key_Menu);
    SaveScreenshot(dlg->ContextMenu(), "inquiry-context-menu");
    dlg->ContextMenu()->hide();

    // The real question box: its default is 否.
    const QuestionHook recorder = SetQuestionHook({});
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton()->text(), "否(&N)");
        SaveScreenshot(box, "inquiry-delete-question");
        box->defaultButton()->click();
    });
    Key(Qt::Key_Delete);
    SetQuestionHook(recorder);
    EXPECT_EQ(dlg->m_listResult.GetItemCount(), 1);
    EXPECT_TRUE(messages.Texts().empty());
}
}  // namespace
