#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/CMenu.h"
#include "platform/ui/CTreeCtrl.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/ErrorBarrier.h"
#include "support/UiTestSupport.h"

namespace {
using namespace style;

const DialogTemplate& SampleTemplate() {
    static const DialogTemplate tpl{
        500,
        "样例",
        200,
        120,
        "宋体",
        9,
        Caption | SysMenu,
        {
            {10, ControlKind::Static, "名称：", 7, 9, 30, 8},
            {11, ControlKind::Edit, "", 40, 7, 80, 14, Border | TabStop},
            {12, ControlKind::RadioButton, "甲", 7, 30, 40, 10, Group | TabStop},
            {13, ControlKind::RadioButton, "乙", 50, 30, 40, 10},
            {14, ControlKind::RadioButton, "丙", 7, 45, 40, 10, Group | TabStop},
            {15, ControlKind::RadioButton, "丁", 50, 45, 40, 10},
            {20, ControlKind::TreeView, "", 100, 30, 90, 60, HasButtons | LinesAtRoot | Border},
            {30, ControlKind::PushButton, "出错", 7, 100, 50, 14, TabStop},
            {31, ControlKind::PushButton, "禁用", 60, 100, 40, 14, Disabled | TabStop},
            {IDOK, ControlKind::DefPushButton, "确定", 104, 100, 40, 14, TabStop},
            {IDCANCEL, ControlKind::PushButton, "取消", 150, 100, 40, 14, TabStop},
        }};
    return tpl;
}

const DialogTemplate& LabelsAfterTemplate() {
    static const DialogTemplate tpl{
        501,
        "标签在后",
        200,
        120,
        "宋体",
        9,
        Caption | SysMenu,
        {
            {10, ControlKind::Edit, "", 40, 7, 80, 14, Border | TabStop},
            {IDC_STATIC, ControlKind::Static, "类型:", 7, 10, 25, 8},
            {11, ControlKind::Edit, "", 40, 25, 80, 14, Border | TabStop},
            {IDC_STATIC, ControlKind::Static, "备注:", 7, 28, 25, 8},
            {12, ControlKind::CheckBox, "成员", 7, 45, 30, 10, TabStop},
            {13, ControlKind::ComboBox, "", 40, 44, 80, 60, TabStop},
            // Alone on its line: the static text before it in the template names it.
            {IDC_STATIC, ControlKind::Static, "清单", 130, 50, 40, 8},
            {14, ControlKind::ListView, "", 130, 62, 60, 50, Border | TabStop},
            {IDOK, ControlKind::DefPushButton, "确定", 7, 100, 40, 14, TabStop},
        }};
    return tpl;
}

// Records the list's notifications.
class ListDlg : public CDialog {
public:
    ListDlg() : CDialog(LabelsAfterTemplate()) {}

    QTreeWidget* List() { return GetDlgItemAs<QTreeWidget>(14); }
    std::vector<Event> m_events;
    bool m_bMapReturn = false;

protected:
    const MessageMap& GetMessageMap() const override {
        static const MessageMap map{
            Notify(Event::Click, 14, &ListDlg::OnListEvent),
            Notify(Event::SelChange, 14, &ListDlg::OnListEvent),
            Notify(Event::DoubleClick, 14, &ListDlg::OnListEvent),
        };
        static const MessageMap withReturn{
            Notify(Event::Return, 14, &ListDlg::OnListEvent),
        };
        return m_bMapReturn ? withReturn : map;
    }

private:
    void OnListEvent(Notification& n) { m_events.push_back(n.event); }
};

class SampleDlg : public CDialog {
public:
    SampleDlg() : CDialog(SampleTemplate()) {}

    int m_nInitCount = 0;
    int m_nClicks = 0;
    int m_nSysCommand = 0;
    long m_nDoubleClickResult = 0;
    std::vector<Event> m_events;
    bool m_bThrow = true;
    CTreeCtrl m_tree;

protected:
    bool OnInitDialog() override {
        ++m_nInitCount;
        CDialog::OnInitDialog();
        AddMenuCommand(GetSystemMenu(), 0x10, "关于");
        return true;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 20, m_tree); }
    void OnSysCommand(int id) override { m_nSysCommand = id; }
    const MessageMap& GetMessageMap() const override {
        static const MessageMap map{
            Command(30, &SampleDlg::OnFail),
            Notify(Event::DoubleClick, 20, &SampleDlg::OnTreeEvent),
            Notify(Event::RightDoubleClick, 20, &SampleDlg::OnTreeEvent),
            Message(0x401, &SampleDlg::OnPrivate),
        };
        return map;
    }

private:
    void OnFail() {
        ++m_nClicks;
        if (m_bThrow)
            throw std::runtime_error("磁盘已满");
    }
    void OnTreeEvent(Notification& n) {
        m_events.push_back(n.event);
        n.result = m_nDoubleClickResult;
    }
    long OnPrivate() { return 7; }
};

TEST(DialogTemplate, EveryControlLandsAtThePixelRectangleOfItsDialogUnits) {
    SampleDlg dlg;
    dlg.Create();
    const DialogUnits units(dlg.font());
    ASSERT_GT(units.BaseWidth(), 0);
    for (const ControlTemplate& c : SampleTemplate().controls) {
        QWidget* widget = dlg.GetDlgItem(c.id);
        ASSERT_NE(widget, nullptr) << c.id;
        const QRect expected(
            qRound(c.x * units.BaseWidth() / 4.0), qRound(c.y * units.BaseHeight() / 8.0),
            qRound(c.cx * units.BaseWidth() / 4.0), qRound(c.cy * units.BaseHeight() / 8.0));
        EXPECT_EQ(widget->geometry(), expected) << "control " << c.id;
    }
    EXPECT_EQ(dlg.size(),
              QSize(qRound(200 * units.BaseWidth() / 4.0), qRound(120 * units.BaseHeight() / 8.0)));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("样例"));
}

TEST(DialogTemplate, DialogUnitsScaleWithTheFont) {
    const DialogUnits small(TemplateFont("宋体", 9));
    const DialogUnits large(TemplateFont("宋体", 18));
    EXPECT_GT(large.ToPixelsX(100), small.ToPixelsX(100));
    EXPECT_GT(large.ToPixelsY(100), small.ToPixelsY(100));
    EXPECT_EQ(small.ToPixelsY(8), small.BaseHeight());
    EXPECT_EQ(small.ToPixelsX(4), small.BaseWidth());
}

TEST(DialogTemplate, StylesBecomeWidgetStates) {
    SampleDlg dlg;
    dlg.Create();
    EXPECT_FALSE(dlg.GetDlgItem(31)->isEnabled());
    EXPECT_TRUE(dlg.GetDlgItemAs<QPushButton>(IDOK)->isDefault());
    EXPECT_EQ(dlg.GetDlgItem(IDC_STATIC), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(999), nullptr);
}

TEST(DialogTemplate, RadioButtonsAreExclusiveOnlyWithinTheirGroup) {
    SampleDlg dlg;
    dlg.Create();
    Click(dlg, 12);
    Click(dlg, 14);
    EXPECT_TRUE(dlg.IsDlgButtonChecked(12));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(14));
    Click(dlg, 13);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(12));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(13));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(14));
}

TEST(DialogTemplate, ControlsWithoutCaptionAreNamedAfterTheLabelBeforeThem) {
    SampleDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItem(11)->accessibleName(), QStringLiteral("名称："));
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(dlg.GetDlgItem(30));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("出错"));
    // The tree follows a radio button, not a label, so it takes no name from the template.
    EXPECT_TRUE(dlg.GetDlgItem(20)->accessibleName().isEmpty());
}

TEST(DialogTemplate, ACaptionlessControlIsNamedAfterTheLabelAtItsLeftElseTheStaticBeforeIt) {
    ListDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItem(10)->accessibleName(), QStringLiteral("类型:"));
    EXPECT_EQ(dlg.GetDlgItem(11)->accessibleName(), QStringLiteral("备注:"));
    EXPECT_EQ(dlg.GetDlgItem(13)->accessibleName(), QStringLiteral("成员"));
    EXPECT_EQ(dlg.GetDlgItem(14)->accessibleName(), QStringLiteral("清单"));
}

TEST(MessageRouting, AListClickIsItsOwnNotificationWhereverItLands) {
    ListDlg dlg;
    dlg.Create();
    dlg.show();
    QTreeWidget* list = dlg.List();
    list->setColumnCount(1);
    for (const char* text : {"甲", "乙"})
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(text)}));
    const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(dlg.m_events, (std::vector<Event>{Event::SelChange, Event::Click}));
    EXPECT_TRUE(list->topLevelItem(0)->isSelected()) << "the click comes after the selection";

    dlg.m_events.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(dlg.m_events, std::vector<Event>{Event::Click}) << "the item already selected";

    dlg.m_events.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(5, list->viewport()->height() - 5));
    EXPECT_EQ(dlg.m_events, (std::vector<Event>{Event::SelChange, Event::Click}));
    EXPECT_TRUE(list->selectedItems().isEmpty());

    dlg.m_events.clear();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, first);
    EXPECT_TRUE(std::find(dlg.m_events.begin(), dlg.m_events.end(), Event::Click) ==
                dlg.m_events.end())
        << "only the left button clicks";

    dlg.m_events.clear();
    DoubleClick(list->viewport(), Qt::LeftButton, first);
    EXPECT_EQ(std::count(dlg.m_events.begin(), dlg.m_events.end(), Event::Click), 1);
    EXPECT_EQ(std::count(dlg.m_events.begin(), dlg.m_events.end(), Event::DoubleClick), 1);
}

TEST(MessageRouting, EnterInAListGetsTheDialogsHandlingUnlessTheListMapsIt) {
    ListDlg plain;
    plain.Create();
    plain.show();
    plain.List()->setFocus();
    QTest::keyClick(plain.List(), Qt::Key_Return);
    EXPECT_EQ(plain.GetEndCode(), IDOK) << "the default button was pressed";

    ListDlg mapped;
    mapped.m_bMapReturn = true;
    mapped.Create();
    mapped.show();
    mapped.List()->setFocus();
    QTest::keyClick(mapped.List(), Qt::Key_Return);
    EXPECT_EQ(mapped.GetEndCode(), 0);
    EXPECT_EQ(mapped.m_events, std::vector<Event>{Event::Return});
}

TEST(DialogTemplate, TabOrderFollowsTheTemplate) {
    SampleDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItem(11)->nextInFocusChain(), dlg.GetDlgItem(12));
}

TEST(MessageRouting, CommandsReachTheirHandlerAndStandardButtonsEndTheDialog) {
    SampleDlg ok;
    ok.Create();
    Click(ok, IDOK);
    EXPECT_EQ(ok.GetEndCode(), IDOK);

    SampleDlg cancel;
    cancel.Create();
    Click(cancel, IDCANCEL);
    EXPECT_EQ(cancel.GetEndCode(), IDCANCEL);

    SampleDlg escape;
    escape.Create();
    escape.show();
    QTest::keyClick(&escape, Qt::Key_Escape);
    EXPECT_EQ(escape.GetEndCode(), IDCANCEL);

    SampleDlg message;
    message.Create();
    EXPECT_EQ(message.SendMessage(0x401), 7);
    EXPECT_EQ(message.SendMessage(0x402), 0);
}

TEST(MessageRouting, EnterPressesTheDefaultButtonOrElseMeansOK) {
    static const DialogTemplate noDefault{
        502,
        "无默认",
        100,
        60,
        "宋体",
        9,
        style::Caption,
        {{10, ControlKind::Edit, "", 5, 5, 60, 14, style::Border | style::TabStop},
         {IDCANCEL, ControlKind::PushButton, "取消", 5, 30, 40, 14, style::TabStop},
         {IDOK, ControlKind::PushButton, "登录", 50, 30, 40, 14, style::TabStop}}};
    CDialog plain(noDefault);
    plain.Create();
    plain.show();
    plain.GetDlgItem(10)->setFocus();
    QTest::keyClick(plain.GetDlgItem(10), Qt::Key_Return);
    EXPECT_EQ(plain.GetEndCode(), IDOK);

    CDialog focusedButton(noDefault);
    focusedButton.Create();
    focusedButton.show();
    focusedButton.GetDlgItem(IDCANCEL)->setFocus();
    QTest::keyClick(focusedButton.GetDlgItem(IDCANCEL), Qt::Key_Return);
    EXPECT_EQ(focusedButton.GetEndCode(), IDCANCEL);

    SampleDlg withDefault;  // its default button is "确定"
    withDefault.Create();
    withDefault.show();
    withDefault.GetDlgItem(11)->setFocus();
    QTest::keyClick(withDefault.GetDlgItem(11), Qt::Key_Return);
    EXPECT_EQ(withDefault.GetEndCode(), IDOK);
}

TEST(MessageRouting, AFailingHandlerShowsItsFailureAndLeavesTheDialogUsable) {
    MessageRecorder messages;
    SampleDlg dlg;
    dlg.Create();
    dlg.show();
    Click(dlg, 30);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("磁盘已满"), std::string::npos);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.GetEndCode(), 0);

    dlg.m_bThrow = false;
    Click(dlg, 30);
    EXPECT_EQ(dlg.m_nClicks, 2);
    EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST(MessageRouting, AnInstalledDescriberWordsTheFailure) {
    MessageRecorder messages;
    SetFailureDescriber(
        [](std::exception_ptr) { return std::optional<std::string>("数据库出错了"); });
    SampleDlg dlg;
    dlg.Create();
    Click(dlg, 30);
    SetFailureDescriber({});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"数据库出错了"});
}

TEST(MessageRouting, DoubleClickResultDecidesWhetherTheTreeStillExpands) {
    for (long result : {0L, 1L}) {
        SampleDlg dlg;
        dlg.Create();
        dlg.show();
        HTREEITEM parent = dlg.m_tree.InsertItem("父");
        dlg.m_tree.InsertItem("子", parent);
        QTreeWidget* tree = dlg.m_tree.Tree();
        tree->setCurrentItem(parent);
        dlg.m_nDoubleClickResult = result;
        const QPoint at = tree->visualItemRect(parent).center();
        DoubleClick(tree->viewport(), Qt::LeftButton, at);
        EXPECT_EQ(parent->isExpanded(), result == 0) << "result " << result;
        DoubleClick(tree->viewport(), Qt::RightButton, at);
        DoubleClick(tree->viewport(), Qt::MiddleButton, at);  // no double-click at all
        EXPECT_EQ(dlg.m_events, (std::vector<Event>{Event::DoubleClick, Event::RightDoubleClick}));
    }
}

TEST(MessageRouting, SystemMenuCommandsReachOnSysCommand) {
    SampleDlg dlg;
    dlg.Create();
    QMenu* menu = dlg.GetSystemMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    menu->actions().first()->trigger();
    EXPECT_EQ(dlg.m_nSysCommand, 0x10);
}

TEST(ModalRuns, TheRunnerGetsTheInitialisedDialogAndDecidesTheResult) {
    ScopedModalRunner runner([](CDialog& dlg) {
        Click(dlg, IDOK);
        return dlg.GetEndCode();
    });
    SampleDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nInitCount, 1);
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CDialog"});
}

TEST(Menus, TemplatePopupsCarryTheirCommandIds) {
    const MenuTemplate tpl{129, {{"文件", {{32792, "用户设置"}, {0, ""}, {32794, "退出"}}}}};
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(tpl));
    QMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(menu.GetSubMenu(1), nullptr);
    const auto actions = popup->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("用户设置"));
    EXPECT_EQ(CommandIdOf(actions[0]), 32792);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(CommandIdOf(actions[2]), 32794);
}
}  // namespace
