#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "ReportTestDlg.h"
#include "support/UiTestSupport.h"

namespace {

using Texts = std::vector<std::string>;

class ReportCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.Create();
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        dlg.AddColumns();
    }

    void AddLetters(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string letter(1, static_cast<char>('A' + i));
            dlg.m_list.InsertRow(i, letter, {letter + "1", letter + "2"});
        }
    }

    ReportTestDlg dlg;
    CReportCtrl& list = dlg.m_list;
};

TEST_F(ReportCtrlTest, HeaderClicksSortAndToggleTheDirection) {
    dlg.AddRows({{"乙", "100", "2026-12-06"},
                 {"甲", "9", "2026/12/7"},
                 {"丙", "10", "2026年1月5日"},
                 {"丁", "", "2026-12-06 9时"}});
    auto& header = list.m_header;
    EXPECT_EQ(header.m_nSortColumn, -1);

    dlg.ClickHeader(1);
    EXPECT_EQ(header.m_nSortColumn, 1);
    EXPECT_TRUE(header.m_bSortAscending);
    EXPECT_EQ(dlg.Column(1), (Texts{"", "9", "10", "100"}));
    EXPECT_EQ(dlg.Column(0), (Texts{"丁", "甲", "丙", "乙"}));
    EXPECT_TRUE(header.GetItemFormat(1) & HDF_OWNERDRAW);
    EXPECT_FALSE(header.GetItemFormat(0) & HDF_OWNERDRAW);
    EXPECT_EQ(header.GetItemFormat(1) & ~HDF_OWNERDRAW, LVCFMT_RIGHT);

    dlg.ClickHeader(1);
    EXPECT_EQ(header.m_nSortColumn, 1);
    EXPECT_FALSE(header.m_bSortAscending);
    EXPECT_EQ(dlg.Column(1), (Texts{"100", "10", "9", ""}));

    dlg.ClickHeader(0);
    EXPECT_EQ(header.m_nSortColumn, 0);
    EXPECT_TRUE(header.m_bSortAscending);
    // 丙 (B1FB) < 丁 (B6A1) < 甲 (BCD7) < 乙 (D2D2) in code page 936.
    EXPECT_EQ(dlg.Column(0), (Texts{"丙", "丁", "甲", "乙"}));
    EXPECT_TRUE(header.GetItemFormat(0) & HDF_OWNERDRAW);
    EXPECT_TRUE(header.GetItemFormat(1) & HDF_OWNERDRAW);
    EXPECT_FALSE(header.GetItemFormat(2) & HDF_OWNERDRAW);

    dlg.ClickHeader(2);
    EXPECT_EQ(dlg.Column(2), (Texts{"2026年1月5日", "2026-12-06", "2026-12-06 9时", "2026/12/7"}));
    // The records follow their rows.
    EXPECT_EQ(dlg.RecordColumn(0), dlg.Column(0));
    EXPECT_EQ(dlg.RecordColumn(2), dlg.Column(2));
    // The list handles its own column clicks; the dialog does not see them.
    EXPECT_TRUE(dlg.m_columnClicks.empty());
}

TEST_F(ReportCtrlTest, AClickOutsideTheColumnsChangesNothing) {
    dlg.AddRows({{"b"}, {"a"}});
    for (int column : {-1, 3}) {
        Notification n{IDC_REPORT, Event::ColumnClick, column, 7};
        list.OnColumnClick(n);
        EXPECT_EQ(n.result, 0);
    }
    EXPECT_EQ(list.m_header.m_nSortColumn, -1);
    EXPECT_EQ(dlg.Column(0), (Texts{"b", "a"}));
}

TEST_F(ReportCtrlTest, SortingKeepsSelectionChecksDataAndFocusWithTheirRows) {
    dlg.AddRows({{"c"}, {"a"}, {"d"}, {"b"}});
    list.SetItemSelected(0, true);  // c
    list.SetItemSelected(2, true);  // d
    list.SetCheck(3, true);         // b
    list.SetItemData(1, 0xA0A0A0A0u);
    list.List()->setCurrentItem(list.List()->topLevelItem(3), 0, QItemSelectionModel::NoUpdate);

    dlg.ClickHeader(0);
    ASSERT_EQ(dlg.Column(0), (Texts{"a", "b", "c", "d"}));
    EXPECT_EQ(list.GetFirstSelectedRow(), 2);
    EXPECT_FALSE(list.IsRowSelected(0));
    EXPECT_FALSE(list.IsRowSelected(1));
    EXPECT_TRUE(list.IsRowSelected(3));
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    EXPECT_EQ(list.GetItemData(0), 0xA0A0A0A0u);
    EXPECT_EQ(dlg.Record(0)->m_dwData, 0xA0A0A0A0u);
    EXPECT_EQ(list.List()->currentItem(), list.List()->topLevelItem(1));
}

TEST_F(ReportCtrlTest, RowsWithoutRecordsSortAsEmptyUntilResynced) {
    dlg.AddRows({{"b", "2"}, {"a", "1"}});
    ASSERT_EQ(list.InsertItem(2, "0"), 2);  // a plain row: no record
    list.SetItemText(2, 1, "0");
    EXPECT_FALSE(list.ResyncRow(2));

    dlg.ClickHeader(1);
    EXPECT_EQ(dlg.Column(0), (Texts{"0", "a", "b"}));
    dlg.ClickHeader(1);
    EXPECT_EQ(dlg.Column(0), (Texts{"b", "a", "0"}));

    // A cell changed behind the record's back sorts by the old text until resynced.
    list.SetItemText(0, 1, "-7");
    dlg.ClickHeader(0);  // a, b, 0 ("0" row has no record: empty, first)
    EXPECT_EQ(dlg.Column(0), (Texts{"0", "a", "b"}));
    dlg.ClickHeader(1);
    EXPECT_EQ(dlg.Column(1), (Texts{"0", "1", "-7"}));
    ASSERT_TRUE(list.ResyncRow(2));
    dlg.ClickHeader(1);
    dlg.ClickHeader(1);
    EXPECT_EQ(dlg.Column(1), (Texts{"0", "-7", "1"}));
}

TEST_F(ReportCtrlTest, InsertRowFillsCellsAndRecord) {
    EXPECT_EQ(list.InsertRow(0, "甲", {"1"}), 0);                    // missing date: empty
    EXPECT_EQ(list.InsertRow(99, "乙", {"2", "2026-1-1", "x"}), 1);  // appended; surplus ignored
    EXPECT_EQ(list.InsertRow(0, "丙"), 0);
    EXPECT_LT(list.InsertRow(-1, "丁"), 0);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetRecordCount(), 3);
    EXPECT_EQ(dlg.Column(0), (Texts{"丙", "甲", "乙"}));
    EXPECT_EQ(dlg.Column(2), (Texts{"", "", "2026-1-1"}));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(dlg.RecordColumn(c), dlg.Column(c));
    EXPECT_EQ(dlg.Record(1)->m_dwData, 0u);
}

TEST_F(ReportCtrlTest, InsertedColumnShiftsCellsAndGrowsRecords) {
    dlg.AddRows({{"a", "1", "d1"}, {"b", "2", "d2"}});
    EXPECT_EQ(list.InsertReportColumn(1, "备注", LVCFMT_LEFT, 60), 1);
    EXPECT_EQ(list.GetColumnCount(), 4);
    EXPECT_EQ(list.m_header.sectionSize(1), 60);
    EXPECT_EQ(list.m_header.sectionSize(2), 90);
    EXPECT_EQ(list.m_header.GetItemFormat(2), LVCFMT_RIGHT);
    EXPECT_EQ(dlg.Column(1), (Texts{"", ""}));
    EXPECT_EQ(dlg.Column(2), (Texts{"1", "2"}));
    EXPECT_EQ(dlg.Column(3), (Texts{"d1", "d2"}));
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(dlg.RecordColumn(c), dlg.Column(c));
    EXPECT_EQ(list.InsertReportColumn(-1, "x"), -1);
}

TEST_F(ReportCtrlTest, SwapRowsExchangesEverythingButFocus) {
    AddLetters(3);
    list.SetCheck(0, true);
    list.SetItemData(0, 11);
    list.SetItemData(2, 22);
    list.SetItemSelected(2, true);
    list.List()->setCurrentItem(list.List()->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);

    ASSERT_TRUE(list.SwapRows(0, 2));
    EXPECT_EQ(dlg.Column(0), (Texts{"C", "B", "A"}));
    EXPECT_EQ(dlg.Column(2), (Texts{"C2", "B2", "A2"}));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(dlg.RecordColumn(c), dlg.Column(c));
    EXPECT_FALSE(list.GetCheck(0));
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_EQ(list.GetItemData(0), 22u);
    EXPECT_EQ(list.GetItemData(2), 11u);
    EXPECT_EQ(dlg.Record(0)->m_dwData, 22u);
    EXPECT_TRUE(list.IsRowSelected(0));
    EXPECT_FALSE(list.IsRowSelected(2));
    EXPECT_EQ(list.List()->currentItem(), list.List()->topLevelItem(0));

    for (auto [a, b] : {std::pair{-1, 0}, {0, 3}, {3, 0}, {0, -1}})
        EXPECT_FALSE(list.SwapRows(a, b)) << a << "," << b;
    EXPECT_EQ(dlg.Column(0), (Texts{"C", "B", "A"}));
}

struct Move {
    bool bUp;
    int nItem, nCount;
    bool bResult;
    std::string order;  // first letters after the move
};

class RowMoves : public ReportCtrlTest, public ::testing::WithParamInterface<Move> {};

TEST_P(RowMoves, MoveRowsAndReportWhetherTheyGotThere) {
    const Move& m = GetParam();
    AddLetters(5);
    const bool result =
        m.bUp ? list.MoveRowsUp(m.nItem, m.nCount) : list.MoveRowsDown(m.nItem, m.nCount);
    EXPECT_EQ(result, m.bResult);
    std::string order;
    for (const auto& text : dlg.Column(0))
        order += text;
    EXPECT_EQ(order, m.order);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(dlg.RecordColumn(c), dlg.Column(c));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowMoves,
    ::testing::Values(Move{true, 0, 1, false, "ABCDE"}, Move{false, 4, 1, false, "ABCDE"},
                      Move{true, 2, 5, false, "CABDE"}, Move{true, 3, 2, true, "ADBCE"},
                      Move{false, 1, 2, true, "ACDBE"}, Move{false, 3, 4, false, "ABCED"},
                      Move{true, 2, -1, true, "ABDCE"}, Move{false, 2, -2, true, "CABDE"},
                      Move{true, -1, 1, false, "ABCDE"}, Move{false, -1, 1, false, "ABCDE"},
                      Move{true, 1, 0, true, "ABCDE"}, Move{false, 9, 0, true, "ABCDE"}));

TEST_F(ReportCtrlTest, MovingTheSelectedRowCarriesTheSelection) {
    AddLetters(3);
    EXPECT_EQ(list.GetFirstSelectedRow(), -1);
    EXPECT_FALSE(list.MoveRowsUp(list.GetFirstSelectedRow(), 1));
    list.SetItemSelected(2, true);
    list.SetItemSelected(1, true);
    EXPECT_EQ(list.GetFirstSelectedRow(), 1);
    list.SetItemSelected(1, false);
    ASSERT_TRUE(list.MoveRowsUp(list.GetFirstSelectedRow(), 1));
    EXPECT_EQ(dlg.Column(0), (Texts{"A", "C", "B"}));
    EXPECT_EQ(list.GetFirstSelectedRow(), 1);
}

TEST_F(ReportCtrlTest, DeleteAllRowsCountsAndFreesTheRecords) {
    EXPECT_EQ(list.DeleteAllRows(), 0);
    EXPECT_EQ(list.GetFirstSelectedRow(), -1);
    AddLetters(3);
    list.InsertItem(3, "plain");
    EXPECT_EQ(list.GetRecordCount(), 3);
    EXPECT_EQ(list.DeleteAllRows(), 4);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetRecordCount(), 0);
}

TEST(ReportCtrlLifetime, TheListDyingFirstFreesTheRecordsAndSparesTheHeader) {
    CReportCtrl list;
    {
        auto dlg = std::make_unique<ReportTestDlg>(&list);
        dlg->Create();
        dlg->AddColumns();
        dlg->AddRows({{"a", "1"}, {"b", "2"}});
        EXPECT_EQ(list.GetRecordCount(), 2);
    }
    EXPECT_FALSE(list.IsAttached());
    EXPECT_EQ(list.GetRecordCount(), 0);
    EXPECT_EQ(list.InsertRow(0, "x"), -1);
}

TEST(ReportCtrlLifetime, TheControlDyingFirstLeavesAWorkingList) {
    ReportTestDlg dlg(new CReportCtrl);  // deleted below, before the dialog
    CReportCtrl* pList = &dlg.m_list;
    dlg.Create();
    dlg.show();
    dlg.AddColumns();
    dlg.AddRows({{"b"}, {"a"}});
    QTreeWidget* tree = pList->List();
    delete pList;
    EXPECT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_FALSE(tree->topLevelItem(0)->data(0, Qt::UserRole).toULongLong());
    QHeaderView* header = tree->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(10, header->height() / 2));
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "b");
}

}  // namespace
