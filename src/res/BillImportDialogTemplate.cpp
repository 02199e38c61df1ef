#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& BillImportDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_BILL_IMPORT,
        "账单导入",
        620,
        330,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            // Each label names the control after it.
            {IDC_STATIC, ControlKind::Static, "账单文件", 7, 9, 40, 9},
            {IDC_BILL_FILE, ControlKind::Edit, "", 48, 7, 460, 13,
             Border | AutoHScroll | ReadOnly | TabStop},
            {IDC_BILL_BROWSE, ControlKind::PushButton, "选择文件…", 513, 6, 100, 15, TabStop},
            {IDC_STATIC, ControlKind::Static, "家庭成员", 7, 27, 40, 9},
            {IDC_BILL_MEMBER, ControlKind::ComboBox, "", 48, 25, 90, 80, VScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "交易分类", 150, 27, 40, 9},
            {IDC_BILL_CATEGORY, ControlKind::ComboBox, "", 191, 25, 150, 120, VScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "记入项目", 350, 27, 40, 9},
            {IDC_BILL_ITEM, ControlKind::ComboBox, "", 391, 25, 110, 120, VScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "预览", 7, 44, 40, 9},
            {IDC_BILL_LIST, ControlKind::ListView, "", 7, 55, 606, 245,
             Border | TabStop | ShowSelAlways},
            {IDC_BILL_SUMMARY, ControlKind::Static, "", 7, 309, 480, 9},
            {IDC_BILL_IMPORT, ControlKind::DefPushButton, "导入", 496, 306, 55, 15, TabStop},
            {IDCANCEL, ControlKind::PushButton, "关闭", 558, 306, 55, 15, TabStop},
        }};
    return tpl;
}
