#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& MainDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_COFFER_DIALOG,
        "Tillbook V1.00",
        149,
        298,
        "宋体",
        9,
        Caption | SysMenu | AppWindow,
        {
            {IDC_BTN_HEADIMG, ControlKind::PushButton, "", 3, 4, 38, 33, TabStop},
            {IDC_STATIC_STATUS, ControlKind::Static, "请登陆", 53, 8, 92, 12},
            {IDC_BTN_LOGIN, ControlKind::PushButton, "登录", 53, 23, 41, 18, TabStop},
            {IDC_BTN_LOGOUT, ControlKind::DefPushButton, "注销", 100, 23, 41, 18, TabStop},
            {IDC_TREE_NAV, ControlKind::TreeView, "", 4, 46, 144, 234,
             HasButtons | HasLines | LinesAtRoot | Border | HScroll | TabStop},
            {IDC_BTN_SETTING, ControlKind::PushButton, "系统设置", 4, 283, 62, 14,
             Disabled | TabStop},
            {IDC_BTN_ABOUT, ControlKind::PushButton, "关于", 86, 283, 62, 14, TabStop},
        }};
    return tpl;
}

const MenuTemplate& PopupMenuTemplate() {
    static const MenuTemplate menu{
        IDR_MENU_POPUP,
        {{"文件",
          {{ID_MENU_USER, "用户设置"}, {ID_MENU_SETTING, "系统设置"},
           {ID_MENU_BACKUP, "备份与恢复…"},
           {ID_MENU_EXIT, "退出"}}}}};
    return menu;
}
