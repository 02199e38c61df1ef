#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& NormalPayDialogTemplate() {
    using namespace style;
    // Amounts carry fen, so the amount edit takes one decimal point besides the digits.
    static const DialogTemplate tpl{
        IDD_NORMAL_PAY,
        "日常支出",
        144,
        177,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDOK, ControlKind::DefPushButton, "确定", 80, 152, 50, 14, TabStop},
            {IDC_STATIC, ControlKind::Static, "支出金额", 20, 15, 33, 8},
            {IDC_EDIT_PAY_AMOUNT, ControlKind::Edit, "", 60, 11, 70, 15,
             Border | Number | Decimal | AutoHScroll | TabStop},
            {IDC_STATIC, ControlKind::Static, "备注:", 20, 91, 33, 8},
            {IDC_EDIT_REMARK, ControlKind::Edit, "", 21, 105, 107, 37,
             Border | Multiline | WantReturn | AutoVScroll | AutoHScroll | VScroll | HScroll |
                 TabStop},
            {IDC_STATIC, ControlKind::Static, "家庭成员", 20, 34, 33, 8},
            {IDC_COMBO_MEMBER, ControlKind::ComboBox, "", 60, 32, 70, 39,
             Editable | VScroll | Sort | TabStop},
            {IDC_DATE_ENTRY, ControlKind::DateTimePicker, "", 60, 51, 70, 12, Right | TabStop},
            {IDC_STATIC, ControlKind::Static, "支出日期", 20, 53, 33, 8},
            {IDC_STATIC, ControlKind::Static, "支出项目", 20, 72, 33, 8},
            {IDC_COMBO_ITEM, ControlKind::ComboBox, "", 60, 69, 70, 30,
             Editable | VScroll | Sort | TabStop},
            {IDC_BTN_ENTRY_ADD, ControlKind::PushButton, "添加", 20, 152, 50, 14, TabStop},
        }};
    return tpl;
}
