#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& UserAddDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_USER_ADD,
        "Dialog",
        151,
        147,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_RADIO_ADD_USER, ControlKind::RadioButton, "添加用户", 7, 7, 48, 10,
             Group | TabStop},
            {IDC_RADIO_CHANGE_PASSWORD, ControlKind::RadioButton, "修改密码", 57, 7, 48, 10},
            {IDC_STATIC_NAME, ControlKind::Static, "用 户  名：", 18, 59, 47, 8},
            {IDC_EDIT_NAME, ControlKind::Edit, "", 79, 56, 56, 14, Border | AutoHScroll | TabStop},
            // Two ideographic spaces in the caption.
            {IDC_STATIC_PASSWORD, ControlKind::Static, "密　　码：", 18, 79, 41, 8},
            {IDC_EDIT_PASSWORD, ControlKind::Edit, "", 79, 77, 56, 14,
             Border | AutoHScroll | Password | TabStop},
            {IDC_STATIC_REPEAT, ControlKind::Static, "重复密码：", 18, 99, 41, 8},
            {IDC_EDIT_REPEAT, ControlKind::Edit, "", 79, 96, 56, 14,
             Border | AutoHScroll | Password | TabStop},
            {IDCANCEL, ControlKind::PushButton, "取消", 15, 126, 50, 14, TabStop},
            {IDOK, ControlKind::DefPushButton, "确定", 78, 126, 50, 14, TabStop},
        }};
    return tpl;
}
