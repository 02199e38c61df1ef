#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& LoginDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_USER_LOGIN,
        "用户登录",
        186,
        106,
        "MS Shell Dlg",
        8,
        Caption | SysMenu | MinimizeBox | MaximizeBox,
        {
            {IDC_STATIC_USER, ControlKind::Static, "用户：", 17, 42, 25, 8},
            {IDC_EDIT_USER, ControlKind::Edit, "", 46, 39, 88, 14, Border | AutoHScroll | TabStop},
            {IDC_STATIC_PASSWORD, ControlKind::Static, "密码：", 17, 62, 25, 8},
            {IDC_EDIT_PASSWORD, ControlKind::Edit, "", 46, 60, 88, 14,
             Border | AutoHScroll | Password | TabStop},
            {IDC_BTN_ADD_USER, ControlKind::PushButton, "添加", 21, 85, 50, 14, Disabled | TabStop},
            {IDCANCEL, ControlKind::PushButton, "取消", 75, 85, 50, 14, TabStop},
            {IDOK, ControlKind::PushButton, "登录", 129, 85, 50, 14, TabStop},
        }};
    return tpl;
}
