#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "BaseDataTestSupport.h"
#include "categories/CBaseDataDlg.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BackupCatalog.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "entry/CNormalIncomeDlg.h"
#include "platform/skin/Skin.h"
#include "platform/ui/ErrorBarrier.h"
#include "query/CIncomeInquiryDlg.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Texts = std::vector<std::string>;
using Messages = std::vector<std::string>;

constexpr int kKinds = IDC_LIST_BASE_KIND;
constexpr int kEntries = IDC_LIST_BASE_ENTRY;
const char* const kMembers = "家庭成员";
const char* const kIncomeItems = "收入类型";
const char* const kAbsent = "没有此数据项，请重新选项！";
const char* const kOrderKept = "次序未能保存，各项仍是原来的次序。";

class BaseData : public ::testing::Test {
protected:
    BaseData() { SetFailureDescriber(&DescribeDatabaseFailure); }
    ~BaseData() override { SetFailureDescriber({}); }

    void Open() {
        dlg.Create();
        dlg.show();
    }

    QTreeView* View(int id) { return dlg.GetDlgItemAs<QTreeView>(id); }

    Texts Column(int id, int column) {
        Texts texts;
        QAbstractItemModel* model = View(id)->model();
        for (int r = 0; r < model->rowCount(); ++r)
            texts.push_back(model->index(r, column).data().toString().toStdString());
        return texts;
    }

    std::vector<int> SelectedRows(int id) {
        std::vector<int> rows;
        for (const QModelIndex& index : View(id)->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    void ClickRow(int id, int row) {
        QTreeView* view = View(id);
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        ASSERT_TRUE(rect.isValid()) << "row " << row << " of list " << id;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void ClickEmptySpace(int id) {
        QWidget* viewport = View(id)->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          QPoint(viewport->width() / 2, viewport->height() - 3));
    }

    // Clicks a kind by its text.
    void ClickKind(const std::string& kind) {
        const Texts kinds = Column(kKinds, 0);
        const auto it = std::find(kinds.begin(), kinds.end(), kind);
        ASSERT_NE(it, kinds.end()) << kind;
        ClickRow(kKinds, static_cast<int>(it - kinds.begin()));
    }

    void ClickEntry(const std::string& type) {
        const Texts types = Column(kEntries, 0);
        const auto it = std::find(types.begin(), types.end(), type);
        ASSERT_NE(it, types.end()) << type;
        ClickRow(kEntries, static_cast<int>(it - types.begin()));
    }

    Messages Press(int id, const std::string& type, const std::string& remark) {
        TypeInto(dlg, IDC_EDIT_BASE_TYPE, type);
        TypeInto(dlg, IDC_EDIT_BASE_REMARK, remark);
        return Press(id);
    }

    Messages Press(int id) {
        messages.Clear();
        Click(dlg, id);
        EXPECT_EQ(dlg.GetEndCode(), 0);
        return messages.Texts();
    }

    CategoryRows Shown() {
        CategoryRows rows;
        const Texts types = Column(kEntries, 0);
        const Texts remarks = Column(kEntries, 1);
        for (size_t i = 0; i < types.size(); ++i)
            rows.emplace_back(types[i], remarks[i]);
        return rows;
    }

    // The entries of a combo of another dialog, opened on the same book.
    template <class Dlg>
    static Texts ComboEntries(int id) {
        Dlg other;
        other.Create();
        Texts texts;
        auto* combo = other.template GetDlgItemAs<QComboBox>(id);
        for (int i = 0; i < combo->count(); ++i)
            texts.push_back(combo->itemText(i).toStdString());
        return texts;
    }

    static CategoryRows Plain(const Texts& types) {
        CategoryRows rows;
        for (const std::string& type : types)
            rows.emplace_back(type, "");
        return rows;
    }

    TempBook book;
    MessageRecorder messages;
    CBaseDataDlg dlg;
};

TEST_F(BaseData, OpensWithTheKindsInBookOrderNoneSelectedAndAnEmptyEntryList) {
    Open();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("基础数据管理"));
    EXPECT_EQ(SkinObjectOf(&dlg), "nomaxdialog");
    EXPECT_EQ(Column(kKinds, 0), (Texts{"家庭成员", "收入类型", "支出类型"}));
    EXPECT_TRUE(SelectedRows(kKinds).empty());
    EXPECT_EQ(View(kEntries)->model()->rowCount(), 0);
    QAbstractItemModel* entries = View(kEntries)->model();
    ASSERT_EQ(entries->columnCount(), 2);
    EXPECT_EQ(entries->headerData(0, Qt::Horizontal).toString(), QStringLiteral("类型"));
    EXPECT_EQ(entries->headerData(1, Qt::Horizontal).toString(), QStringLiteral("备注"));
    EXPECT_EQ(View(kEntries)->header()->sectionSize(0), 100);
    EXPECT_EQ(View(kEntries)->header()->sectionSize(1), 120);
    EXPECT_EQ(View(kKinds)->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("类型"));
    EXPECT_EQ(View(kKinds)->header()->sectionSize(0), 100);
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(kEntries)) << "the first tab stop";
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(BaseData, ClickingAKindListsItsRowsAndAKindWithoutRowsEmptiesTheList) {
    ExecuteOnBook("delete from 收入类型");
    Open();
    ClickKind(kMembers);
    EXPECT_EQ(Shown(), Plain({"爸爸", "妈妈", "孩子"}));
    ClickKind(kIncomeItems);
    EXPECT_TRUE(Shown().empty());
    // A click on the kind already selected reads its table again.
    ExecuteOnBook("insert into 收入类型 (类型, 备注) values ('工资', '每月')");
    ClickKind(kIncomeItems);
    EXPECT_EQ(Shown(), (CategoryRows{{"工资", "每月"}}));
}

TEST_F(BaseData, ClickingAnEntryFillsTheEditsAndChangeAltersOnlyItsRemarkInPlace) {
    Open();
    ClickKind(kMembers);
    ClickEntry("妈妈");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_BASE_TYPE), "妈妈");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_BASE_REMARK), "");
    const std::vector<std::string> ids = KindIds(kMembers);

    TypeInto(dlg, IDC_EDIT_BASE_REMARK, "上夜班");
    EXPECT_EQ(Press(IDC_BTN_BASE_CHANGE), Messages{"数据更改成功！"});
    const CategoryRows expected{{"爸爸", ""}, {"妈妈", "上夜班"}, {"孩子", ""}};
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(KindRows(kMembers), expected);
    EXPECT_EQ(KindIds(kMembers), ids);

    // Clearing the remark stores it as empty again.
    ClickEntry("妈妈");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_BASE_REMARK), "上夜班");
    EXPECT_EQ(Press(IDC_BTN_BASE_CHANGE, "妈妈", ""), Messages{"数据更改成功！"});
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));
}

TEST_F(BaseData, AddRefusesADuplicateAndAnEmptyTypeAndListsANewEntryLast) {
    Open();
    ClickKind(kMembers);
    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "妈妈", "重复"),
              Messages{"该类型已存在，无法添加已存在的类型！"});
    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "", "没有名字"), Messages{"类型不能为空，请填入类型！"});
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));

    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "奶奶", "退休"), Messages{"添加成功！"});
    const CategoryRows expected{{"爸爸", ""}, {"妈妈", ""}, {"孩子", ""}, {"奶奶", "退休"}};
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(KindRows(kMembers), expected);
    // The edits keep what was typed.
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_BASE_TYPE), "奶奶");
}

TEST_F(BaseData, DeleteRemovesTheNamedEntryAndAnAbsentTextIsReported) {
    Open();
    ClickKind(kMembers);
    EXPECT_EQ(Press(IDC_BTN_BASE_DELETE, "舅舅", ""), Messages{kAbsent});
    EXPECT_EQ(Press(IDC_BTN_BASE_CHANGE, "舅舅", "远房"), Messages{kAbsent});
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));

    EXPECT_EQ(Press(IDC_BTN_BASE_DELETE, "妈妈", ""), Messages{"数据删除成功！"});
    EXPECT_EQ(Shown(), Plain({"爸爸", "孩子"}));
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "孩子"}));
}

TEST_F(BaseData, ATypeWithASingleQuoteIsAddedChangedAndDeletedLikeAnyOther) {
    Open();
    ClickKind(kMembers);
    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "王'小明", "邻居"), Messages{"添加成功！"});
    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "王'小明", ""),
              Messages{"该类型已存在，无法添加已存在的类型！"});
    EXPECT_EQ(Press(IDC_BTN_BASE_CHANGE, "王'小明", "老邻居"), Messages{"数据更改成功！"});
    EXPECT_EQ(KindRows(kMembers).back(),
              (std::pair<std::string, std::string>{"王'小明", "老邻居"}));
    EXPECT_EQ(Press(IDC_BTN_BASE_DELETE, "王'小明", ""), Messages{"数据删除成功！"});
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));
    // Text after a quote never reaches the statement as SQL.
    EXPECT_EQ(Press(IDC_BTN_BASE_DELETE, "x' or '1'='1", ""), Messages{kAbsent});
    EXPECT_EQ(KindRows(kMembers).size(), 3u);
}

TEST_F(BaseData, AKindNameIsQuotedAsOneIdentifier) {
    ExecuteOnBook("create table [老 朋友's] (编号 INTEGER PRIMARY KEY, 类型 TEXT, 备注 TEXT)");
    ExecuteOnBook("insert into baseData (类型) values ('老 朋友''s')");
    ExecuteOnBook("insert into [老 朋友's] (类型) values ('甲'), ('乙')");
    Open();
    ClickKind("老 朋友's");
    EXPECT_EQ(Shown(), Plain({"甲", "乙"}));
    EXPECT_EQ(Press(IDC_BTN_BASE_ADD, "丙", ""), Messages{"添加成功！"});
    EXPECT_EQ(Press(IDC_BTN_BASE_CHANGE, "甲", "老同学"), Messages{"数据更改成功！"});
    ClickEntry("丙");
    EXPECT_TRUE(Press(IDC_BTN_BASE_UP).empty());
    const CategoryRows expected{{"甲", "老同学"}, {"丙", ""}, {"乙", ""}};
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(KindRows("老 朋友's"), expected);
}

TEST_F(BaseData, MoveDownOnTheFirstEntryStoresTheNewOrderAndKeepsItSelected) {
    FillKind(kMembers, {"甲", "乙", "丙"});
    Open();
    ClickKind(kMembers);
    ClickEntry("甲");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(Shown(), Plain({"乙", "甲", "丙"}));
    EXPECT_EQ(SelectedRows(kEntries), std::vector<int>{1});
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(kEntries));
    // The dialogs that list the members show the new order.
    EXPECT_EQ(ComboEntries<CNormalIncomeDlg>(IDC_COMBO_MEMBER), (Texts{"乙", "甲", "丙"}));
    EXPECT_EQ(ComboEntries<CIncomeInquiryDlg>(IDC_INQ_COMBO_MEMBER), (Texts{"乙", "甲", "丙"}));

    EXPECT_TRUE(Press(IDC_BTN_BASE_UP).empty());
    EXPECT_EQ(KindRows(kMembers), Plain({"甲", "乙", "丙"}));
    EXPECT_EQ(SelectedRows(kEntries), std::vector<int>{0});
    // The book was backed up before the first move of this visit, and only then.
    const auto backups = ListBackups("backups", "data.mdb");
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(SummarizeBook(backups[0].path).income, 0);
}

TEST_F(BaseData, MovesAtTheEndsChangeNothingButStillRewriteTheTableInShownOrder) {
    ExecuteOnBook("update 家庭成员 set 备注 = '户主' where 类型 = '爸爸'");
    Open();
    ClickKind(kMembers);
    const CategoryRows before = KindRows(kMembers);
    std::vector<std::string> ids = KindIds(kMembers);

    ClickEntry("爸爸");
    EXPECT_TRUE(Press(IDC_BTN_BASE_UP).empty());
    EXPECT_EQ(KindRows(kMembers), before);
    EXPECT_NE(KindIds(kMembers), ids) << "the rows were written again";
    ids = KindIds(kMembers);

    ClickEntry("孩子");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers), before);
    EXPECT_NE(KindIds(kMembers), ids);

    // Without a selected entry nothing moves, and the shown order is stored all the same.
    ClickEmptySpace(kEntries);
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers), before);
}

TEST_F(BaseData, AMoveAfterAHeaderSortStoresTheSortedOrder) {
    Open();
    ClickKind(kMembers);
    QHeaderView* header = View(kEntries)->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    // Code page 936 orders the common characters by their reading: ba, hai, ma.
    EXPECT_EQ(Shown(), Plain({"爸爸", "孩子", "妈妈"}));
    ClickEntry("孩子");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));
    EXPECT_EQ(Shown(), Plain({"爸爸", "妈妈", "孩子"}));
}

// A selection made by the keyboard or by a right click is followed by no left click; the next
// left click on the kind must still read its table, in table order, not keep a header sort.
TEST_F(BaseData, EveryLeftClickOnAKindReadsItsTableInTableOrder) {
    Open();
    ClickKind(kMembers);
    QTreeView* kinds = View(kKinds);
    auto rightClick = [&](int row) {
        const QRect rect = kinds->visualRect(kinds->model()->index(row, 0));
        QTest::mouseClick(kinds->viewport(), Qt::RightButton, {}, rect.center());
    };
    QHeaderView* header = View(kEntries)->header();
    for (const bool keyboard : {true, false}) {
        SCOPED_TRACE(keyboard ? "keyboard" : "right click");
        if (keyboard) {
            kinds->setFocus();
            QTest::keyClick(kinds, Qt::Key_Down);
            QTest::keyClick(kinds, Qt::Key_Up);
        } else {
            rightClick(1);
            rightClick(0);
        }
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
        ASSERT_NE(Column(kEntries, 0), (Texts{"爸爸", "妈妈", "孩子"})) << "sorted";
        ClickKind(kMembers);
        EXPECT_EQ(Column(kEntries, 0), (Texts{"爸爸", "妈妈", "孩子"}));
    }
    ClickEntry("爸爸");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers), Plain({"妈妈", "爸爸", "孩子"}));
}

// NULL and the empty text are told apart in the table, though the list shows both as empty.
TEST_F(BaseData, AMoveKeepsEveryStoredValueExactly) {
    ExecuteOnBook("delete from 家庭成员");
    ExecuteOnBook(
        "insert into 家庭成员 (类型, 备注) values ('', ''), ('甲', NULL), (NULL, '无名'), "
        "('乙', '')");
    Open();
    ClickKind(kMembers);
    ClickEntry("甲");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), "select 类型, 备注 from 家庭成员 order by rowid");
    Texts stored;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::string row;
        for (const char* name : {"类型", "备注"}) {
            const CVariant& value = rs.GetFieldVariant(name);
            row += row.empty() ? "" : " ";
            row += value.Kind() == VarKind::Null ? "NULL" : "'" + value.TextValue() + "'";
        }
        stored.push_back(row);
    }
    EXPECT_EQ(stored, (Texts{"'' ''", "NULL '无名'", "'甲' NULL", "'乙' ''"}));
}

TEST_F(BaseData, TheShownRowsAlwaysBelongToTheSelectedKind) {
    Open();
    ClickKind(kMembers);
    ASSERT_EQ(Shown().size(), 3u);

    // The keyboard moves the kind selection: the entry list follows it.
    View(kKinds)->setFocus();
    QTest::keyClick(View(kKinds), Qt::Key_Down);
    ASSERT_EQ(SelectedRows(kKinds), std::vector<int>{1});
    EXPECT_EQ(Shown().size(), KindRows(kIncomeItems).size());
    EXPECT_EQ(Shown().front().first, "工资");

    // A move now reorders the income items, never the members.
    ClickEntry("工资");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kIncomeItems)[1].first, "工资");
    EXPECT_EQ(KindRows(kMembers), Plain({"爸爸", "妈妈", "孩子"}));

    // A click on empty space leaves no kind selected and no rows shown; a move then
    // writes nothing anywhere.
    const CategoryRows income = KindRows(kIncomeItems);
    ClickEmptySpace(kKinds);
    EXPECT_TRUE(SelectedRows(kKinds).empty());
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Press(IDC_BTN_BASE_UP).empty());
    EXPECT_TRUE(Press(IDC_BTN_BASE_ADD, "新项", "").empty());
    EXPECT_EQ(KindRows(kIncomeItems), income);
    EXPECT_EQ(KindRows(kMembers).size(), 3u);
}

TEST_F(BaseData, AFailedRowLeavesTheTableAsItWasAndSaysSo) {
    FillKind(kMembers, {"甲", "乙", "丙"});
    Open();
    ClickKind(kMembers);
    const std::vector<std::string> ids = KindIds(kMembers);
    // The n-th row written back fails, for each n.
    for (int n = 1; n <= 3; ++n) {
        ExecuteOnBook(
            "create trigger fail_nth before insert on 家庭成员 when (select count(*) "
            "from 家庭成员) = " +
            std::to_string(n - 1) + " begin select raise(abort, '写入被拒绝'); end");
        ClickEntry("甲");
        const Messages shown = Press(IDC_BTN_BASE_DOWN);
        ASSERT_EQ(shown.size(), 1u) << "n = " << n;
        EXPECT_NE(shown[0].find(kOrderKept), std::string::npos) << shown[0];
        EXPECT_NE(shown[0].find("写入被拒绝"), std::string::npos) << shown[0];
        EXPECT_EQ(KindRows(kMembers), Plain({"甲", "乙", "丙"})) << "n = " << n;
        EXPECT_EQ(KindIds(kMembers), ids) << "n = " << n;
        EXPECT_EQ(Shown(), Plain({"甲", "乙", "丙"})) << "the list shows what is stored";
        ExecuteOnBook("drop trigger fail_nth");
    }
    // The dialog stays usable.
    ClickEntry("甲");
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers), Plain({"乙", "甲", "丙"}));
}

TEST_F(BaseData, AKindWhoseTableIsMissingShowsTheFailureAndNoRows) {
    ExecuteOnBook("insert into baseData (类型) values ('宠物')");
    Open();
    ClickKind(kMembers);
    messages.Clear();
    ClickKind("宠物");
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("数据库操作失败"), std::string::npos);
    EXPECT_TRUE(Shown().empty()) << "no other kind's rows stay shown";
    EXPECT_TRUE(Press(IDC_BTN_BASE_DOWN).empty());
    EXPECT_EQ(KindRows(kMembers).size(), 3u);
}

TEST_F(BaseData, WithoutABookNoKindsAreListedAndTheButtonsDoNothing) {
    std::filesystem::remove(book.BookPath());
    Open();
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("data.mdb"), std::string::npos) << messages.Texts()[0];
    EXPECT_EQ(View(kKinds)->model()->rowCount(), 0);
    for (int id : {IDC_BTN_BASE_ADD, IDC_BTN_BASE_DELETE, IDC_BTN_BASE_CHANGE, IDC_BTN_BASE_UP,
                   IDC_BTN_BASE_DOWN})
        EXPECT_TRUE(Press(id, "甲", "").empty()) << id;
}

TEST_F(BaseData, CloseEndsWithOKAndEscapeWithCancel) {
    Open();
    Click(dlg, IDC_BTN_BASE_CLOSE);
    EXPECT_EQ(dlg.GetEndCode(), IDOK);

    CBaseDataDlg other;
    other.Create();
    other.show();
    QTest::keyClick(&other, Qt::Key_Escape);
    EXPECT_EQ(other.GetEndCode(), IDCANCEL);
}

TEST_F(BaseData, EnterInAListActsAsInTheDialog) {
    Open();
    ClickKind(kMembers);
    ClickEntry("妈妈");
    // The template has no default button, so Enter means OK.
    QTest::keyClick(View(kEntries), Qt::Key_Return);
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
}

TEST_F(BaseData, EveryControlIsNamedAfterItsOwnLabel) {
    Open();
    const std::vector<std::pair<int, const char*>> names{
        {kEntries, "基础数据条目"},    {kKinds, "基础数据种类"},
        {IDC_BTN_BASE_ADD, "添加"},    {IDC_BTN_BASE_DELETE, "删除"},
        {IDC_BTN_BASE_CHANGE, "更改"}, {IDC_BTN_BASE_UP, "上移"},
        {IDC_BTN_BASE_DOWN, "下移"},   {IDC_BTN_BASE_CLOSE, "关闭"},
        {IDC_EDIT_BASE_TYPE, "类型:"}, {IDC_EDIT_BASE_REMARK, "备注:"},
    };
    ASSERT_EQ(names.size() + 3, dlg.Template().controls.size());
    for (const auto& [id, name] : names) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(dlg.GetDlgItem(id));
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->text(QAccessible::Name).toStdString(), name) << id;
    }
}

TEST_F(BaseData, LooksRightWithAKindListed) {
    ExecuteOnBook("update 家庭成员 set 备注 = '每月工资存入银行卡' where 类型 = '爸爸'");
    Open();
    ClickKind(kMembers);
    ClickEntry("爸爸");
    ExpectTextsFit(&dlg);
    const QImage shot = SaveScreenshot(&dlg, "base_data_members");
    EXPECT_EQ(shot.size(), dlg.size());
    // Both lists and the group lie inside the window, side by side without overlapping.
    const QRect kinds = dlg.GetDlgItem(kKinds)->geometry();
    const QRect entries = dlg.GetDlgItem(kEntries)->geometry();
    EXPECT_FALSE(kinds.intersects(entries));
    EXPECT_TRUE(dlg.rect().contains(kinds));
    EXPECT_TRUE(dlg.rect().contains(entries));
}
}  // namespace
