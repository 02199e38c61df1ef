#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& PayInquiryDialogTemplate() {
    using namespace style;
    // The result list takes its rows from a model: a year of records makes no widget per row.
    static const DialogTemplate tpl{
        IDD_PAY_INQUIRY,
        "支出查询",
        379,
        219,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_INQ_LIST_PAY, ControlKind::ListView, "", 7, 7, 365, 147,
             Border | TabStop | OwnerData},
            {IDC_STATIC, ControlKind::GroupBox, "快速查询", 7, 158, 111, 46},
            {IDC_INQ_TODAY, ControlKind::PushButton, "今天", 12, 169, 46, 13, TabStop},
            {IDC_INQ_WEEK, ControlKind::PushButton, "本周", 63, 169, 46, 13, TabStop},
            {IDC_INQ_MONTH, ControlKind::PushButton, "本月", 12, 187, 46, 13, TabStop},
            {IDC_INQ_YEAR, ControlKind::PushButton, "今年", 63, 187, 46, 13, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "区间查询", 124, 158, 127, 46},
            {IDC_STATIC, ControlKind::Static, "从", 131, 174, 9, 8},
            {IDC_INQ_DATE_FROM, ControlKind::DateTimePicker, "", 148, 171, 56, 12, Right | TabStop},
            {IDC_STATIC, ControlKind::Static, "到", 131, 190, 9, 8},
            {IDC_INQ_DATE_TO, ControlKind::DateTimePicker, "", 148, 188, 56, 12, Right | TabStop},
            {IDC_INQ_SEARCH, ControlKind::PushButton, "查询", 210, 171, 34, 28, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "查询条件", 256, 158, 116, 46},
            {IDC_INQ_CHECK_MEMBER, ControlKind::CheckBox, "家庭成员", 264, 171, 48, 10, TabStop},
            {IDC_INQ_COMBO_MEMBER, ControlKind::ComboBox, "", 317, 170, 48, 30,
             Editable | Sort | VScroll | TabStop},
            {IDC_INQ_CHECK_ITEM, ControlKind::CheckBox, "支出类型", 264, 189, 48, 10, TabStop},
            {IDC_INQ_COMBO_ITEM, ControlKind::ComboBox, "", 317, 187, 48, 30,
             Editable | Sort | VScroll | TabStop},
            {IDOK, ControlKind::DefPushButton, "关闭", 322, 205, 50, 14, TabStop},
        }};
    return tpl;
}
