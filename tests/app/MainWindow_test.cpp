#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "accounts/CUserDlg.h"
#include "app/CCofferDlg.h"
#include "bills/CBillImportDlg.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "entry/CNormalIncomeDlg.h"
#include "entry/CNormalPayDlg.h"
#include "platform/skin/Skin.h"
#include "query/CIncomeInquiryDlg.h"
#include "query/CPayInquiryDlg.h"
#include "res/ResourceIds.h"
#include "stats/CStatisticsDlg.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
// Ends every login dialog as the script says: OK after typing a name, or Cancel.
ModalRunner LoginEnding(int endCode, std::string user = "root") {
    return [endCode, user](CDialog& dlg) {
        if (dynamic_cast<CUserDlg*>(&dlg) != nullptr) {
            TypeInto(dlg, IDC_EDIT_USER, user);
            if (endCode == IDOK) {
                Click(dlg, IDOK);  // the pre-filled password is root's
                return dlg.GetEndCode();
            }
            Click(dlg, IDCANCEL);
            return dlg.GetEndCode();
        }
        return IDCANCEL;
    };
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { main.Create(); }

    QTreeWidget* Tree() { return main.GetDlgItemAs<QTreeWidget>(IDC_TREE_NAV); }
    std::string Label() { return main.GetDlgItemText(IDC_STATIC_STATUS); }
    bool SettingsEnabled() { return main.GetDlgItem(IDC_BTN_SETTING)->isEnabled(); }

    void Login(int endCode, const std::string& user = "root") {
        ScopedModalRunner runner(LoginEnding(endCode, user));
        Click(main, IDC_BTN_LOGIN);
        ASSERT_EQ(runner.Opened(), std::vector<std::string>{"CUserDlg"});
    }

    void ExpectLoggedOut() {
        EXPECT_EQ(Tree()->topLevelItemCount(), 0);
        EXPECT_EQ(Label(), "请登陆");
        EXPECT_FALSE(SettingsEnabled());
    }

    TempBook book;
    CCofferDlg main;
};

TEST_F(MainWindow, StartsLoggedOutWithItsCaptionAndSkin) {
    ExpectLoggedOut();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Tillbook V1.00"));
    EXPECT_EQ(SkinObjectOf(&main), "maindialog");
    EXPECT_EQ(SkinObjectOf(main.GetDlgItem(IDC_BTN_LOGIN)), "IcoButtonLogin");
    EXPECT_EQ(SkinObjectOf(main.GetDlgItem(IDC_BTN_LOGOUT)), "IcoButtonLogin");
    EXPECT_EQ(SkinObjectOf(main.GetDlgItem(IDC_BTN_HEADIMG)), "buttonHeadImg");
    EXPECT_EQ(SkinObjectOf(Tree()), "");             // the tree is skinned when it is filled
    for (int size : {16, 24, 32, 48, 64, 128, 256})  // the icon draws at every listed size
        EXPECT_EQ(main.windowIcon().pixmap(size, size).size(), QSize(size, size)) << size;
    EXPECT_EQ(main.SendMessage(0x0401), 1);
}

TEST_F(MainWindow, LoginStatesFollowEachEnding) {
    Login(IDCANCEL);  // refused while logged out
    EXPECT_EQ(Label(), "用户名或密码错误");
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(SettingsEnabled());

    Login(IDOK, "ROOT");  // the name shows as typed
    EXPECT_EQ(Label(), "ROOT");
    EXPECT_EQ(Tree()->topLevelItemCount(), 2);
    EXPECT_TRUE(SettingsEnabled());

    Login(IDCANCEL);  // refused while logged in: only the label changes
    EXPECT_EQ(Label(), "用户名或密码错误");
    EXPECT_EQ(Tree()->topLevelItemCount(), 2);
    EXPECT_TRUE(SettingsEnabled());

    Login(IDOK, "root");
    EXPECT_EQ(Label(), "root");
}

TEST_F(MainWindow, LogoutLeadsToLoggedOutFromEveryState) {
    Click(main, IDC_BTN_LOGOUT);
    ExpectLoggedOut();
    Login(IDCANCEL);
    Click(main, IDC_BTN_LOGOUT);
    ExpectLoggedOut();
    Login(IDOK);
    Click(main, IDC_BTN_LOGOUT);
    ExpectLoggedOut();
    Login(IDOK);
    Login(IDCANCEL);
    Click(main, IDC_BTN_LOGOUT);
    ExpectLoggedOut();
    EXPECT_TRUE(main.GetDlgItem(IDC_BTN_LOGIN)->isEnabled());
    EXPECT_TRUE(main.GetDlgItem(IDC_BTN_LOGOUT)->isEnabled());
}

TEST_F(MainWindow, TheTreeHoldsItsItemsWithTheirDrawValuesAndStartsCollapsed) {
    dsLoadSkin("ControlSkin", 0);
    Login(IDOK);
    Tree()->topLevelItem(0)->setExpanded(true);
    Login(IDOK);  // a second login rebuilds the tree from nothing
    dsExitSkin();

    struct Expected {
        const char* text;
        const char* parent;
        const char* drawValue;
    };
    const Expected expected[] = {
        {"日常管理", "", "tree2.add.all"},         {"日常收入", "日常管理", "tree2.add.income"},
        {"日常支出", "日常管理", "tree2.add.pay"}, {"账单导入", "日常管理", "tree2.add.bill"},
        {"日常查询", "", "tree2.search.all"},      {"收入查询", "日常查询", "tree2.add.income"},
        {"支出查询", "日常查询", "tree2.add.pay"}, {"收支统计", "日常查询", "tree2.search.all"},
    };
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
        items.push_back(*it);
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->text(0).toStdString(), expected[i].text);
        const std::string parent =
            items[i]->parent() ? items[i]->parent()->text(0).toStdString() : "";
        EXPECT_EQ(parent, expected[i].parent) << expected[i].text;
        EXPECT_EQ(DrawItemValueOf(items[i], "icoitem"), expected[i].drawValue) << expected[i].text;
        EXPECT_FALSE(items[i]->icon(0).isNull()) << expected[i].text;
    }
    EXPECT_FALSE(Tree()->topLevelItem(0)->isExpanded());
    EXPECT_FALSE(Tree()->topLevelItem(1)->isExpanded());
    EXPECT_EQ(Tree()->selectedItems().size(), 0);
    EXPECT_EQ(SkinObjectOf(Tree()), "TreeCtrlGame");
}

TEST_F(MainWindow, DoubleClickingAParentOnlyTogglesIt) {
    Login(IDOK);
    main.show();
    QTreeWidgetItem* parent = Tree()->topLevelItem(0);
    Tree()->setCurrentItem(parent);
    ScopedModalRunner runner([](CDialog&) { return IDCANCEL; });
    const QPoint at = Tree()->visualItemRect(parent).center();
    DoubleClick(Tree()->viewport(), Qt::LeftButton, at);
    EXPECT_TRUE(parent->isExpanded());
    DoubleClick(Tree()->viewport(), Qt::LeftButton, at);
    EXPECT_FALSE(parent->isExpanded());
    EXPECT_TRUE(runner.Opened().empty());
}

TEST_F(MainWindow, EnterOnATreeItemActsAsADoubleClickAndDoesNotLogOut) {
    Login(IDOK);
    main.show();
    ScopedModalRunner runner([](CDialog&) { return IDCANCEL; });
    Tree()->setFocus();
    Tree()->setCurrentItem(Tree()->topLevelItem(0)->child(0));
    QTest::keyClick(Tree(), Qt::Key_Return);
    EXPECT_EQ(Label(), "root");  // the default button, 注销, was not pressed
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CNormalIncomeDlg"});
}

TEST_F(MainWindow, TheQueryItemsOpenTheirDialogsListingTheBook) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(),
            "insert into normalIncome (收入人员, 收入金额, 收入日期, 收入项目) values "
            "('妈妈', 12.34, #" +
                DateTimeValue::GetCurrentTime().Format("%Y-%m-%d %H:%M:%S") + "#, '工资')",
            CADORecordset::OpenDefault);
    Login(IDOK);
    main.show();
    std::vector<int> listed;
    ScopedModalRunner runner([&listed](CDialog& dlg) {
        Click(dlg, IDC_INQ_TODAY);
        listed.push_back(static_cast<CInquiryDlg&>(dlg).m_listResult.GetItemCount());
        Click(dlg, IDOK);
        return dlg.GetEndCode();
    });
    QTreeWidgetItem* queries = Tree()->topLevelItem(1);
    queries->setExpanded(true);
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* item = queries->child(i);
        Tree()->setCurrentItem(item);
        DoubleClick(Tree()->viewport(), Qt::LeftButton, Tree()->visualItemRect(item).center());
    }
    EXPECT_EQ(runner.Opened(), (std::vector<std::string>{"CIncomeInquiryDlg", "CPayInquiryDlg"}));
    EXPECT_EQ(listed, (std::vector<int>{1, 0}));
}

TEST_F(MainWindow, RightDoubleClickShowsAnEmptyMessage) {
    MessageRecorder messages;
    main.show();
    DoubleClick(Tree()->viewport(), Qt::RightButton, QPoint(20, 20));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{""});
}

TEST(TreeResponse, EachItemMakesItsOwnDialogAndOtherTextsNone) {
    const CTreeResponse response;
    EXPECT_NE(dynamic_cast<CNormalIncomeDlg*>(response.CreateItemDialog("日常收入").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CNormalPayDlg*>(response.CreateItemDialog("日常支出").get()), nullptr);
    EXPECT_NE(dynamic_cast<CIncomeInquiryDlg*>(response.CreateItemDialog("收入查询").get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CPayInquiryDlg*>(response.CreateItemDialog("支出查询").get()), nullptr);
    for (const char* text : {"日常管理", "日常查询", "", "日常收入 ", "日常支出\n", "收入查询 ",
                             "root", "收支统计 ", "账单导入 "})
        EXPECT_EQ(response.CreateItemDialog(text), nullptr) << text;
}

TEST(TreeResponse, TheStatementItemOpensTheImportWindow) {
    const CTreeResponse response;
    std::unique_ptr<CDialog> dlg = response.CreateItemDialog("账单导入");
    ASSERT_NE(dynamic_cast<CBillImportDlg*>(dlg.get()), nullptr);
    EXPECT_EQ(dlg->Template().caption, "账单导入");
}

TEST(TreeResponse, TheStatisticsItemOpensTheStatisticsWindow) {
    const CTreeResponse response;
    std::unique_ptr<CDialog> dlg = response.CreateItemDialog("收支统计");
    ASSERT_NE(dynamic_cast<CStatisticsDlg*>(dlg.get()), nullptr);
    EXPECT_EQ(dlg->Template().caption, "收支统计");
}

TEST_F(MainWindow, DoubleClickingTheStatisticsItemRunsItsWindow) {
    Login(IDOK);
    main.show();
    QTreeWidgetItem* item = Tree()->topLevelItem(1)->child(2);
    ASSERT_EQ(item->text(0).toStdString(), "收支统计");
    Tree()->topLevelItem(1)->setExpanded(true);
    Tree()->setCurrentItem(item);
    ScopedModalRunner runner([](CDialog& dlg) {
        // It opens on the current month of the book in the working directory.
        EXPECT_EQ(dlg.GetDlgItemText(IDC_STATS_COUNT), "0");
        SaveScreenshot(&dlg, "statistics-from-tree");
        return IDCANCEL;
    });
    DoubleClick(Tree()->viewport(), Qt::LeftButton, Tree()->visualItemRect(item).center());
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CStatisticsDlg"});
}

TEST_F(MainWindow, SettingsMenuCommandsReachTheirHandlers) {
    Login(IDOK);
    main.show();
    ScopedModalRunner runner([](CDialog&) { return IDCANCEL; });
    // Choose "用户设置" from the real pop-up, by keyboard.
    QTimer::singleShot(0, [] {
        QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(popup->actions().size(), 4);
        EXPECT_EQ(popup->actions()[0]->text(), QStringLiteral("用户设置"));
        EXPECT_EQ(popup->actions()[1]->text(), QStringLiteral("系统设置"));
        EXPECT_EQ(popup->actions()[2]->text(), QStringLiteral("备份与恢复…"));
        EXPECT_EQ(popup->actions()[3]->text(), QStringLiteral("退出"));
        popup->setActiveAction(popup->actions()[0]);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    Click(main, IDC_BTN_SETTING);
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CUserAddDlg"});

    main.SendCommand(ID_MENU_SETTING);
    EXPECT_EQ(runner.Opened(), (std::vector<std::string>{"CUserAddDlg", "CBaseDataDlg"}));
    EXPECT_TRUE(main.isVisible());

    main.SendCommand(ID_MENU_EXIT);  // ends the program without asking
    EXPECT_EQ(main.GetEndCode(), IDOK);
    EXPECT_FALSE(main.isVisible());
}

TEST_F(MainWindow, SystemSettingsOpensTheBaseDataDialogOnTheBook) {
    Login(IDOK);
    main.show();
    std::vector<std::string> kinds;
    ScopedModalRunner runner([&kinds](CDialog& dlg) {
        auto* list = dlg.GetDlgItemAs<QAbstractItemView>(IDC_LIST_BASE_KIND);
        for (int r = 0; list && r < list->model()->rowCount(); ++r)
            kinds.push_back(list->model()->index(r, 0).data().toString().toStdString());
        return IDCANCEL;
    });
    QTimer::singleShot(0, [] {
        QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        popup->setActiveAction(popup->actions()[1]);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    Click(main, IDC_BTN_SETTING);
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CBaseDataDlg"});
    EXPECT_EQ(kinds, (std::vector<std::string>{"家庭成员", "收入类型", "支出类型"}));
    EXPECT_TRUE(main.isVisible());
}

TEST_F(MainWindow, CloseBoxAndEscapeEndTheWindow) {
    main.show();
    QTest::keyClick(&main, Qt::Key_Escape);
    EXPECT_EQ(main.GetEndCode(), IDCANCEL);

    CCofferDlg other;
    other.Create();
    other.show();
    other.close();
    EXPECT_EQ(other.GetEndCode(), IDCANCEL);
}

TEST_F(MainWindow, AboutOpensFromItsButtonAndFromTheWindowMenu) {
    ScopedModalRunner runner([](CDialog&) { return IDOK; });
    Click(main, IDC_BTN_ABOUT);
    QMenu* systemMenu = main.GetSystemMenu();
    ASSERT_FALSE(systemMenu->actions().isEmpty());
    QAction* about = systemMenu->actions().last();
    EXPECT_EQ(about->text(), QStringLiteral("关于 Coffer(&A)..."));
    about->trigger();
    EXPECT_EQ(runner.Opened(), (std::vector<std::string>{"CAboutDlg", "CAboutDlg"}));
}

TEST_F(MainWindow, LooksRightWhenLoggedIn) {
    dsLoadSkin("ControlSkin", 0);
    CCofferDlg skinned;
    skinned.Create();
    {
        ScopedModalRunner runner(LoginEnding(IDOK));
        Click(skinned, IDC_BTN_LOGIN);
    }
    auto* tree = skinned.GetDlgItemAs<QTreeWidget>(IDC_TREE_NAV);
    tree->expandAll();
    skinned.show();
    SaveScreenshot(&skinned, "main-window");
    ExpectTextsFit(&skinned);
    // Every item shows whole inside the tree.
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualItemRect(*it)))
            << (*it)->text(0).toStdString();
    dsExitSkin();
}
}  // namespace
