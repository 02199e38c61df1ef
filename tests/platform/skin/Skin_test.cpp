#include <gtest/gtest.h>

#include <vector>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "platform/skin/Skin.h"
#include "platform/ui/CMenu.h"
#include "support/UiTestSupport.h"

namespace {
const DialogTemplate& PlainTemplate() {
    using namespace style;
    static const DialogTemplate tpl{600,
                                    "皮肤",
                                    100,
                                    60,
                                    "宋体",
                                    9,
                                    Caption | SysMenu | MaximizeBox,
                                    {{10, ControlKind::PushButton, "按钮", 5, 5, 40, 14}}};
    return tpl;
}

class PlainDlg : public CDialog {
public:
    PlainDlg() : CDialog(PlainTemplate()) {}
    std::vector<int> m_commands;

protected:
    const MessageMap& GetMessageMap() const override {
        static const MessageMap map{Command(32792, &PlainDlg::OnUser),
                                    Command(32794, &PlainDlg::OnExit)};
        return map;
    }

private:
    void OnUser() { m_commands.push_back(32792); }
    void OnExit() { m_commands.push_back(32794); }
};

struct LoadedSkin {
    LoadedSkin() { loaded = dsLoadSkin("ControlSkin", 0); }
    ~LoadedSkin() { dsExitSkin(); }
    bool loaded;
};

TEST(Skin, LoadsTheBuiltInSkinAndUnloadsIt) {
    {
        LoadedSkin skin;
        ASSERT_TRUE(skin.loaded);
        EXPECT_EQ(LoadedSkinName(), "ControlSkin");
        EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("maindialog")));
    }
    EXPECT_EQ(LoadedSkinName(), "");
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST(Skin, AMissingSkinKeepsThePlainLookAndSkinningStillWorks) {
    EXPECT_FALSE(dsLoadSkin("NoSuchSkin", 0));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    PlainDlg dlg;
    dlg.Create();
    dsSkinWindow(&dlg, 100, "nomaxdialog", 1);
    EXPECT_EQ(SkinObjectOf(&dlg), "nomaxdialog");
    dsSkinWindow(nullptr, 103, "buttonHeadImg", 0);  // a missing control is passed on as null
}

TEST(Skin, ObjectNamesReachTheirWindowsAndNoMaxDialogsLoseTheMaximiseBox) {
    LoadedSkin skin;
    PlainDlg dlg;
    dlg.Create();
    ASSERT_TRUE(dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    dsSkinWindow(dlg.GetDlgItem(10), 103, "buttonSearch", 1);
    EXPECT_EQ(SkinObjectOf(dlg.GetDlgItem(10)), "buttonSearch");
    dsSkinWindow(&dlg, 100, "nomaxdialog", 1);
    EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    PlainDlg other;
    other.Create();
    dsSkinWindow(&other, 100, "userdialog", 1);
    EXPECT_TRUE(other.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST(Skin, TreeItemsTakeTheirDrawValueAndItsIcon) {
    LoadedSkin skin;
    QTreeWidget tree;
    auto* item = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("日常收入")));
    dsSetDrawItemValueEx(&tree, item, 0, "icoitem", "tree2.add.income", 0);
    EXPECT_EQ(DrawItemValueOf(item, "icoitem"), "tree2.add.income");
    EXPECT_FALSE(item->icon(0).isNull());

    auto* unknown = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("别的")));
    dsSetDrawItemValueEx(&tree, unknown, 0, "icoitem", "no.such.value", 0);
    EXPECT_EQ(DrawItemValueOf(unknown, "icoitem"), "no.such.value");
    EXPECT_TRUE(unknown->icon(0).isNull());
}

TEST(Skin, APopupMenuSendsTheChosenCommandToItsOwner) {
    const MenuTemplate tpl{129, {{"文件", {{32792, "用户设置"}, {32794, "退出"}}}}};
    CMenu menu;
    menu.LoadMenu(tpl);
    PlainDlg dlg;
    dlg.Create();
    QTimer::singleShot(0, [&] {
        QMenu* popup = menu.GetSubMenu(0);
        popup->setActiveAction(popup->actions().at(1));
        QTest::keyClick(popup, Qt::Key_Return);
    });
    dsTrackPopupMenu(menu.GetSubMenu(0), 2, 10, 10, &dlg, 0);
    EXPECT_EQ(dlg.m_commands, std::vector<int>{32794});

    QTimer::singleShot(0, [&] { QTest::keyClick(menu.GetSubMenu(0), Qt::Key_Escape); });
    dsTrackPopupMenu(menu.GetSubMenu(0), 2, 10, 10, &dlg, 0);
    EXPECT_EQ(dlg.m_commands.size(), 1u);
}
}  // namespace
