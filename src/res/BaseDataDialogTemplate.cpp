#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& BaseDataDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_BASE_DATA,
        "基础数据管理",
        297,
        231,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_LIST_BASE_ENTRY, ControlKind::ListView, "", 135, 7, 155, 105, Border | TabStop},
            // The kinds are a plain list (CListCtrl), which the kit backs with a model.
            {IDC_LIST_BASE_KIND, ControlKind::ListView, "", 7, 7, 122, 205,
             Border | TabStop | OwnerData},
            {IDC_BTN_BASE_ADD, ControlKind::PushButton, "添加", 145, 170, 43, 14, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "操作", 135, 117, 155, 95},
            {IDC_BTN_BASE_DELETE, ControlKind::PushButton, "删除", 192, 170, 43, 14, TabStop},
            {IDC_BTN_BASE_CHANGE, ControlKind::PushButton, "更改", 239, 170, 43, 14, TabStop},
            {IDC_BTN_BASE_UP, ControlKind::PushButton, "上移", 145, 188, 43, 14, TabStop},
            {IDC_BTN_BASE_DOWN, ControlKind::PushButton, "下移", 192, 188, 43, 14, TabStop},
            {IDC_BTN_BASE_CLOSE, ControlKind::PushButton, "关闭", 239, 188, 43, 14, TabStop},
            {IDC_EDIT_BASE_TYPE, ControlKind::Edit, "", 181, 129, 100, 14,
             Border | AutoHScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "类型:", 147, 132, 22, 8},
            {IDC_EDIT_BASE_REMARK, ControlKind::Edit, "", 181, 146, 100, 14,
             Border | AutoHScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "备注:", 147, 149, 22, 8},
        }};
    return tpl;
}
