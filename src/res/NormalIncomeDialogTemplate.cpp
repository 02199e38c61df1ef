#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& NormalIncomeDialogTemplate() {
    using namespace style;
    // Amounts carry fen, so the amount edit takes one decimal point besides the digits.
    static const DialogTemplate tpl{
        IDD_NORMAL_INCOME,
        "日常收入",
        142,
        180,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_STATIC, ControlKind::Static, "收入金额", 20, 15, 33, 8},
            {IDC_EDIT_INCOME_AMOUNT, ControlKind::Edit, "", 60, 11, 70, 15,
             Border | Number | Decimal | AutoHScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "备注:", 20, 91, 33, 8},
            {IDC_EDIT_REMARK, ControlKind::Edit, "", 20, 105, 109, 37,
             Border | Multiline | WantReturn | AutoVScroll | AutoHScroll | VScroll | HScroll |
                 TabStop},
            {IDC_STATIC, ControlKind::Static, "家庭成员", 20, 34, 33, 8},
            {IDC_COMBO_MEMBER, ControlKind::ComboBox, "", 60, 32, 70, 39,
             Editable | VScroll | Sort | TabStop},
            {IDC_BTN_ENTRY_CLOSE, ControlKind::PushButton, "关闭", 75, 155, 50, 14, TabStop},
            {IDC_BTN_ENTRY_ADD, ControlKind::PushButton, "添加", 15, 155, 50, 14, TabStop},
            {IDC_DATE_ENTRY, ControlKind::DateTimePicker, "", 60, 50, 70, 14, Right | TabStop},
            {IDC_STATIC, ControlKind::Static, "收入日期", 20, 53, 33, 8},
            {IDC_STATIC, ControlKind::Static, "收入项目", 20, 72, 33, 8},
            {IDC_COMBO_ITEM, ControlKind::ComboBox, "", 60, 69, 70, 30,
             Editable | VScroll | Sort | TabStop},
        }};
    return tpl;
}
