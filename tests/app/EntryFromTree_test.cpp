#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "accounts/CUserDlg.h"
#include "app/CCofferDlg.h"
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
struct StoredRow {
    std::string member, item, remark;
    double amount = 0;
};

std::vector<StoredRow> Rows(const std::string& table) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), table, CADORecordset::OpenTable);
    std::vector<StoredRow> rows;
    while (!rs.IsEOF()) {
        StoredRow row;
        rs.GetFieldValue(1, row.member);
        rs.GetFieldValue(2, row.amount);
        rs.GetFieldValue(4, row.item);
        rs.GetFieldValue(5, row.remark);
        rows.push_back(row);
        rs.MoveNext();
    }
    return rows;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// The family's way in: log in, open 日常管理, double-click the entry item, and let the script
// fill the dialog that opens.
void OpenFromTree(CCofferDlg& main, const QString& item, ModalRunner script) {
    ScopedModalRunner runner([script](CDialog& dlg) {
        if (dynamic_cast<CUserDlg*>(&dlg)) {
            Click(dlg, IDOK);
            return dlg.GetEndCode();
        }
        return script(dlg);
    });
    Click(main, IDC_BTN_LOGIN);
    auto* tree = main.GetDlgItemAs<QTreeWidget>(IDC_TREE_NAV);
    tree->topLevelItem(0)->setExpanded(true);
    QTreeWidgetItem* entry = FindItem(tree, item);
    ASSERT_NE(entry, nullptr);
    tree->setCurrentItem(entry);
    DoubleClick(tree->viewport(), Qt::LeftButton, tree->visualItemRect(entry).center());
    ASSERT_EQ(runner.Opened().size(), 2u);
}

TEST(EntryFromTree, WhatIsTypedInEitherDialogLandsInTheBook) {
    TempBook book;
    MessageRecorder messages;
    CCofferDlg main;
    main.Create();
    main.show();
    OpenFromTree(main, "日常收入", [](CDialog& dlg) {
        EXPECT_NE(dynamic_cast<CNormalIncomeDlg*>(&dlg), nullptr);
        TypeInto(dlg, IDC_EDIT_INCOME_AMOUNT, "3200.5");
        TypeInto(dlg, IDC_EDIT_REMARK, "十二月工资");
        Click(dlg, IDC_BTN_ENTRY_ADD);
        Click(dlg, IDC_BTN_ENTRY_CLOSE);
        EXPECT_EQ(dlg.GetEndCode(), IDOK);
        return dlg.GetEndCode();
    });
    OpenFromTree(main, "日常支出", [](CDialog& dlg) {
        EXPECT_NE(dynamic_cast<CNormalPayDlg*>(&dlg), nullptr);
        TypeInto(dlg, IDC_EDIT_PAY_AMOUNT, "45");
        dlg.GetDlgItemAs<QComboBox>(IDC_COMBO_MEMBER)->setCurrentIndex(1);
        Click(dlg, IDC_BTN_ENTRY_ADD);
        Click(dlg, IDOK);
        EXPECT_EQ(dlg.GetEndCode(), IDOK);
        return dlg.GetEndCode();
    });
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(2, "数据添加成功！"));

    const std::vector<StoredRow> income = Rows("normalIncome");
    ASSERT_EQ(income.size(), 1u);
    EXPECT_EQ(income[0].member, "爸爸");
    EXPECT_EQ(income[0].amount, 3200.5);
    EXPECT_EQ(income[0].item, "工资");
    EXPECT_EQ(income[0].remark, "十二月工资");
    const std::vector<StoredRow> pay = Rows("normalPay");
    ASSERT_EQ(pay.size(), 1u);
    EXPECT_EQ(pay[0].member, "妈妈");
    EXPECT_EQ(pay[0].amount, 45.0);
    EXPECT_EQ(pay[0].item, "餐饮");
    EXPECT_EQ(pay[0].remark, "");
}

// The skinned dialogs as the family sees them, with every caption whole.
TEST(EntryFromTree, BothDialogsLookRight) {
    TempBook book;
    dsLoadSkin("ControlSkin", 0);
    CNormalIncomeDlg income;
    income.Create();
    income.show();
    ExpectTextsFit(&income);
    SaveScreenshot(&income, "entry-income");
    CNormalPayDlg pay;
    pay.Create();
    pay.show();
    ExpectTextsFit(&pay);
    SaveScreenshot(&pay, "entry-pay");
    dsExitSkin();
}
}  // namespace
