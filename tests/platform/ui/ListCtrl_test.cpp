#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeView>

#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrl.h"
#include "platform/ui/CListModel.h"

namespace {
constexpr int IDC_LIST = 40;

const DialogTemplate& ListTemplate() {
    static const DialogTemplate tpl{501,
                                    "列表",
                                    200,
                                    120,
                                    "宋体",
                                    9,
                                    style::Caption | style::SysMenu,
                                    {{IDC_LIST, ControlKind::ListView, "", 7, 7, 186, 100,
                                      style::Border | style::TabStop | style::OwnerData}}};
    return tpl;
}

class ListDlg : public CDialog {
public:
    ListDlg() : CDialog(ListTemplate()) {}
    CListCtrl m_list;
    int m_nSelChanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LIST, m_list); }
    const MessageMap& GetMessageMap() const override {
        static const MessageMap map{
            Notify(Event::SelChange, IDC_LIST, &ListDlg::OnSelChange),
        };
        return map;
    }

private:
    void OnSelChange(Notification&) { ++m_nSelChanges; }
};

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.Create();
        list.InsertColumn(0, "编号", LVCFMT_LEFT, 50);
        list.InsertColumn(1, "金额", LVCFMT_RIGHT, 70);
    }

    std::vector<std::string> Column(int c) const {
        std::vector<std::string> texts;
        for (int r = 0; r < list.GetItemCount(); ++r)
            texts.push_back(list.GetItemText(r, c));
        return texts;
    }

    ListDlg dlg;
    CListCtrl& list = dlg.m_list;
};

using Texts = std::vector<std::string>;

TEST_F(ListCtrlTest, ColumnsCarryHeadingWidthAndAlignment) {
    QTreeView* view = list.List();
    ASSERT_NE(list.Model(), nullptr);
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "金额");
    EXPECT_EQ(list.GetColumnWidth(0), 50);
    EXPECT_EQ(view->header()->sectionSize(1), 70);
    list.InsertItem(0, "1");
    list.SetItemText(0, 1, "12.5");
    const QModelIndex amount = view->model()->index(0, 1);
    EXPECT_TRUE(view->model()->data(amount, Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    EXPECT_EQ(view->model()->data(amount).toString(), "12.5");
    // A column inserted before others moves their cells right.
    EXPECT_EQ(list.InsertColumn(0, "备注"), 0);
    EXPECT_EQ(list.GetItemText(0, 0), "");
    EXPECT_EQ(list.GetItemText(0, 1), "1");
    EXPECT_EQ(list.GetItemText(0, 2), "12.5");
    EXPECT_EQ(list.GetColumnWidth(2), 70);

    // Removing a column and adding one back leaves the row fillable from left to right.
    ASSERT_TRUE(list.DeleteColumn(0));
    ASSERT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.InsertColumn(1, "人员"), 1);
    EXPECT_TRUE(list.SetItemText(0, 1, "妈妈"));
    EXPECT_EQ(list.GetItemText(0, 0), "1");
    EXPECT_EQ(list.GetItemText(0, 1), "妈妈");
}

TEST_F(ListCtrlTest, ItemsGoWhereAskedAndSubItemsStayWithThem) {
    EXPECT_EQ(list.InsertItem(0, "b"), 0);
    EXPECT_EQ(list.InsertItem(99, "c"), 1);  // past the end: appended
    EXPECT_EQ(list.InsertItem(0, "a"), 0);
    EXPECT_EQ(list.InsertItem(-1, "x"), -1);
    list.SetItemText(2, 1, "3.0");
    list.SetItemText(0, 1, "张'三");
    EXPECT_FALSE(list.SetItemText(0, 2, "no such column"));
    EXPECT_FALSE(list.SetItemText(3, 0, "no such row"));
    EXPECT_EQ(Column(0), (Texts{"a", "b", "c"}));
    EXPECT_EQ(Column(1), (Texts{"张'三", "", "3.0"}));
    // Rewriting a cell leaves its neighbours alone.
    list.SetItemText(2, 0, "a much longer first cell");
    EXPECT_EQ(list.GetItemText(2, 1), "3.0");
    // A text ends at a NUL, as the platform's did; the cells after it stay in place.
    list.SetItemText(1, 0, std::string("b\0hidden", 8));
    list.SetItemText(1, 1, "2.0");
    EXPECT_EQ(list.GetItemText(1, 0), "b");
    EXPECT_EQ(list.GetItemText(1, 1), "2.0");
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(Column(0), (Texts{"a", "a much longer first cell"}));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.List()->model()->rowCount(), 0);
}

TEST_F(ListCtrlTest, ItemDataAndSelection) {
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, std::to_string(i));
    list.SetItemData(2, 0xDEADBEEFu);
    EXPECT_EQ(list.GetItemData(2), 0xDEADBEEFu);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_GT(dlg.m_nSelChanges, 0) << "the dialog hears of selection changes";
    list.SetItemState(1, 0, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    // The selection follows its row when one is inserted above.
    list.InsertItem(0, "new");
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
}

TEST_F(ListCtrlTest, ABatchReachesTheViewInOneInsertion) {
    QSignalSpy inserted(list.Model(), &QAbstractItemModel::rowsInserted);
    list.SetRedraw(false);
    for (int i = 0; i < 1000; ++i) {
        const int row = list.InsertItem(list.GetItemCount(), std::to_string(i));
        list.SetItemText(row, 1, std::to_string(i * 2));
    }
    EXPECT_EQ(list.GetItemCount(), 1000) << "the control counts every row at once";
    EXPECT_EQ(list.List()->model()->rowCount(), 0);
    list.SetRedraw(true);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 999);
    EXPECT_EQ(list.List()->model()->data(list.List()->model()->index(999, 1)).toString(), "1998");

    // Without a batch, each item is announced as it comes.
    list.InsertItem(0, "top");
    list.InsertItem(list.GetItemCount(), "bottom");
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(list.List()->model()->rowCount(), 1002);
}

TEST_F(ListCtrlTest, AnItemAppendedWithItsTextsIsTheSameAsOneFilledCellByCell) {
    list.InsertItem(0, "1");
    list.SetItemText(0, 1, "2.5");
    QSignalSpy inserted(list.Model(), &QAbstractItemModel::rowsInserted);
    EXPECT_EQ(list.AppendItem({"1", "2.5"}), 1);
    // Texts past the last column are left out; a text ends at its first NUL.
    EXPECT_EQ(list.AppendItem({std::string_view("a\0b", 3), "", "no column"}), 2);
    EXPECT_EQ(Column(0), (Texts{"1", "1", "a"}));
    EXPECT_EQ(Column(1), (Texts{"2.5", "2.5", ""}));
    EXPECT_EQ(list.GetItemText(2, 2), "");
    EXPECT_EQ(inserted.count(), 2);
    list.SetRedraw(false);
    list.AppendItem({"held"});
    EXPECT_EQ(list.List()->model()->rowCount(), 3);
    list.SetRedraw(true);
    EXPECT_EQ(list.List()->model()->rowCount(), 4);
}

}  // namespace
