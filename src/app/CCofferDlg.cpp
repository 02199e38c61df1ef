#include "app/CCofferDlg.h"

#include <iterator>
#include <memory>
#include <string>

#include <QCursor>
#include <QMouseEvent>
#include <QTimerEvent>

#include "accounts/CUserAddDlg.h"
#include "accounts/CUserDlg.h"
#include "app/CAboutDlg.h"
#include "backup/CBackupDlg.h"
#include "categories/CBaseDataDlg.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {
constexpr int WM_USER = 0x0400;

struct NavItem {
    const char* text;
    int parent;  // index of the parent in kNavItems, -1 for the root
    const char* drawValue;
};

constexpr NavItem kNavItems[] = {
    {"日常管理", -1, "tree2.add.all"},
    {"日常收入", 0, "tree2.add.income"},
    {"日常支出", 0, "tree2.add.pay"},
    {"账单导入", 0, "tree2.add.bill"},
    {"日常查询", -1, "tree2.search.all"},
    {"收入查询", 4, "tree2.add.income"},
    {"支出查询", 4, "tree2.add.pay"},
    // Covers both sides of the book, so it takes its group's query icon.
    {"收支统计", 4, "tree2.search.all"},
};
}  // namespace

CCofferDlg::CCofferDlg(QWidget* parent)
    : CDialog(MainDialogTemplate(), parent), m_hIcon(LoadProgramIcon()) {}

const MessageMap& CCofferDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_BTN_LOGIN, &CCofferDlg::OnLogin),
        Command(IDC_BTN_LOGOUT, &CCofferDlg::OnLogout),
        Notify(Event::DoubleClick, IDC_TREE_NAV, &CCofferDlg::OnDblclkTreeNav),
        Notify(Event::RightDoubleClick, IDC_TREE_NAV, &CCofferDlg::OnRdblclkTreeNav),
        // Enter on an item opens it, as a double-click does.
        Notify(Event::Return, IDC_TREE_NAV, &CCofferDlg::OnDblclkTreeNav),
        Command(IDC_BTN_SETTING, &CCofferDlg::OnSetting),
        Command(IDC_BTN_ABOUT, &CCofferDlg::OnAbout),
        Command(ID_MENU_USER, &CCofferDlg::OnMenuUser),
        Command(ID_MENU_SETTING, &CCofferDlg::OnMenuSetting),
        Command(ID_MENU_BACKUP, &CCofferDlg::OnMenuBackup),
        Command(ID_MENU_EXIT, &CCofferDlg::OnMenuExit),
        Message(WM_USER + 1, &CCofferDlg::OnUserMessage),
    };
    return map;
}

void CCofferDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TREE_NAV, m_treeNav);
}

bool CCofferDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Linux window managers keep the system menu to themselves, so the About entry lives in
    // the window's own context menu (right click on the background, Shift+F10, Alt+Space).
    const std::string aboutText = LoadString(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
        QMenu* systemMenu = GetSystemMenu();
        systemMenu->addSeparator();
        AddMenuCommand(systemMenu, IDM_ABOUTBOX, aboutText);
    }

    setWindowIcon(m_hIcon);
    m_menuPopup.LoadMenu(PopupMenuTemplate());
    m_dock.Init();
    // Docking watches mouse moves over the window with no button pressed.
    setMouseTracking(true);

    dsSkinWindow(this, 100, "maindialog", 1);
    dsSkinWindow(GetDlgItem(IDC_BTN_LOGOUT), 103, "IcoButtonLogin", 0);
    dsSkinWindow(GetDlgItem(IDC_BTN_LOGIN), 103, "IcoButtonLogin", 0);
    dsSkinWindow(GetDlgItem(IDC_BTN_HEADIMG), 103, "buttonHeadImg", 0);

    // Neither control has a caption or a label before it; name them for screen readers.
    GetDlgItem(IDC_TREE_NAV)->setAccessibleName(QStringLiteral("功能导航"));
    GetDlgItem(IDC_BTN_HEADIMG)->setAccessibleName(QStringLiteral("头像"));
    return true;
}

void CCofferDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(id);
    }
}

void CCofferDlg::OnLogin() {
    CUserDlg dlg;
    if (dlg.DoModal() == IDOK) {
        SetDlgItemText(IDC_STATIC_STATUS, dlg.m_strUser);
        FillNavTree();
        GetDlgItem(IDC_BTN_SETTING)->setEnabled(true);
    } else {
        SetDlgItemText(IDC_STATIC_STATUS, "用户名或密码错误");
    }
}

void CCofferDlg::OnLogout() {
    m_treeNav.DeleteAllItems();
    SetDlgItemText(IDC_STATIC_STATUS, "请登陆");
    GetDlgItem(IDC_BTN_SETTING)->setEnabled(false);
}

void CCofferDlg::FillNavTree() {
    m_treeNav.DeleteAllItems();
    dsSkinWindow(m_treeNav.GetSafeHwnd(), 121, "TreeCtrlGame", 0);
    HTREEITEM inserted[std::size(kNavItems)] = {};
    for (size_t i = 0; i < std::size(kNavItems); ++i) {
        const NavItem& nav = kNavItems[i];
        inserted[i] =
            m_treeNav.InsertItem(nav.text, nav.parent < 0 ? nullptr : inserted[nav.parent]);
        dsSetDrawItemValueEx(m_treeNav.GetSafeHwnd(), inserted[i], 0, "icoitem", nav.drawValue, 0);
    }
}

void CCofferDlg::OnDblclkTreeNav(Notification& n) {
    const std::string text = m_treeNav.GetItemText(m_treeNav.GetSelectedItem());
    if (std::unique_ptr<CDialog> dlg = m_treeResponse.CreateItemDialog(text))
        dlg->DoModal();
    n.result = 0;
}

void CCofferDlg::OnRdblclkTreeNav(Notification& n) {
    n.result = 0;
    MessageBox("");
}

void CCofferDlg::OnSetting() {
    const QPoint cursor = QCursor::pos();
    dsTrackPopupMenu(m_menuPopup.GetSubMenu(0), 2, cursor.x(), cursor.y(), this, 0);
}

void CCofferDlg::OnAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CCofferDlg::OnMenuUser() {
    CUserAddDlg dlg;
    dlg.DoModal();
}

void CCofferDlg::OnMenuSetting() {
    CBaseDataDlg dlg;
    dlg.DoModal();
}

void CCofferDlg::OnMenuBackup() {
    CBackupDlg dlg;
    dlg.DoModal();
}

void CCofferDlg::OnMenuExit() {
    OnOK();
}

long CCofferDlg::OnUserMessage() {
    return 1;
}

void CCofferDlg::mouseMoveEvent(QMouseEvent* event) {
    // A child control that tracks the mouse may pass a move on to the window; only moves over
    // the window's own area count.
    if (!childAt(event->position().toPoint()))
        OnMouseMove();
    CDialog::mouseMoveEvent(event);
}

void CCofferDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_dock.TimerId())
        OnTimer(event->timerId());
    CDialog::timerEvent(event);
}

void CCofferDlg::OnMouseMove() {
    m_dock.OnMouseMove();
}

void CCofferDlg::OnTimer(int) {
    m_dock.OnTimer();
}
