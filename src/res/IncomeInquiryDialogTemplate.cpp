#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& IncomeInquiryDialogTemplate() {
    using namespace style;
    // The result list takes its rows from a model: a year of records makes no widget per row.
    static const DialogTemplate tpl{
        IDD_INCOME_INQUIRY,
        "收入查询",
        379,
        217,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_INQ_LIST_INCOME, ControlKind::ListView, "", 7, 7, 365, 147,
             Border | TabStop | OwnerData},
            {IDC_STATIC, ControlKind::GroupBox, "快速查询", 7, 158, 111, 47},
            {IDC_INQ_TODAY, ControlKind::PushButton, "今天", 12, 172, 46, 14, TabStop},
            {IDC_INQ_WEEK, ControlKind::PushButton, "本周", 65, 172, 46, 14, TabStop},
            {IDC_INQ_MONTH, ControlKind::PushButton, "本月", 12, 187, 46, 14, TabStop},
            {IDC_INQ_YEAR, ControlKind::PushButton, "今年", 65, 187, 46, 14, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "区间查询", 123, 158, 125, 47},
            {IDC_STATIC, ControlKind::Static, "从", 131, 173, 9, 8},
            {IDC_INQ_DATE_FROM, ControlKind::DateTimePicker, "", 150, 171, 55, 12, Right | TabStop},
            {IDC_STATIC, ControlKind::Static, "到", 131, 189, 9, 8},
            {IDC_INQ_DATE_TO, ControlKind::DateTimePicker, "", 150, 187, 55, 12, Right | TabStop},
            {IDC_INQ_SEARCH, ControlKind::PushButton, "查询", 210, 171, 34, 28, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "查询条件", 254, 158, 118, 47},
            {IDC_INQ_CHECK_MEMBER, ControlKind::CheckBox, "家庭成员", 261, 171, 48, 10, TabStop},
            {IDC_INQ_COMBO_MEMBER, ControlKind::ComboBox, "", 318, 169, 48, 52,
             Editable | Sort | VScroll | TabStop},
            {IDC_INQ_CHECK_ITEM, ControlKind::CheckBox, "收入类型", 261, 189, 48, 10, TabStop},
            {IDC_INQ_COMBO_ITEM, ControlKind::ComboBox, "", 318, 187, 48, 43,
             Editable | Sort | VScroll | TabStop},
            {IDOK, ControlKind::DefPushButton, "关闭", 323, 203, 50, 14, TabStop},
        }};
    return tpl;
}
