#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& StatisticsDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_STATISTICS,
        "收支统计",
        460,
        281,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            // The figures of the period, each value after its label.
            {IDC_STATIC, ControlKind::GroupBox, "合计", 7, 3, 446, 27},
            {IDC_STATIC, ControlKind::Static, "收入：", 15, 15, 26, 9},
            {IDC_STATS_INCOME, ControlKind::Static, "0.00", 41, 15, 70, 9},
            {IDC_STATIC, ControlKind::Static, "支出：", 123, 15, 26, 9},
            {IDC_STATS_PAY, ControlKind::Static, "0.00", 149, 15, 70, 9},
            {IDC_STATIC, ControlKind::Static, "结余：", 231, 15, 26, 9},
            {IDC_STATS_BALANCE, ControlKind::Static, "0.00", 257, 15, 70, 9},
            {IDC_STATIC, ControlKind::Static, "笔数：", 339, 15, 26, 9},
            {IDC_STATS_COUNT, ControlKind::Static, "0", 365, 15, 80, 9},

            {IDC_STATS_VIEW_MEMBER, ControlKind::RadioButton, "按成员", 38, 37, 44, 10,
             Group | TabStop},
            {IDC_STATS_VIEW_ITEM, ControlKind::RadioButton, "按项目", 84, 37, 44, 10},
            {IDC_STATS_VIEW_MONTH, ControlKind::RadioButton, "按月份", 130, 37, 44, 10},
            {IDC_STATS_PERIOD, ControlKind::Static, "", 236, 38, 217, 9, Right},
            // Each label names the control after it; the table is the chart's text.
            {IDC_STATIC, ControlKind::Static, "统计表", 7, 38, 28, 9},
            {IDC_STATS_TABLE, ControlKind::ListView, "", 7, 50, 190, 170,
             Border | TabStop | OwnerData | SingleSel | ShowSelAlways},
            {IDC_STATIC, ControlKind::Static, "统计图", 202, 38, 28, 9},
            {IDC_STATS_CHART, ControlKind::Custom, "", 202, 50, 251, 170, Border},

            {IDC_STATIC, ControlKind::GroupBox, "快速查询", 7, 225, 111, 49},
            {IDC_STATS_TODAY, ControlKind::PushButton, "今天", 12, 238, 46, 14, TabStop},
            {IDC_STATS_WEEK, ControlKind::PushButton, "本周", 65, 238, 46, 14, TabStop},
            {IDC_STATS_MONTH, ControlKind::PushButton, "本月", 12, 255, 46, 14, TabStop},
            {IDC_STATS_YEAR, ControlKind::PushButton, "今年", 65, 255, 46, 14, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "区间查询", 123, 225, 125, 49},
            {IDC_STATIC, ControlKind::Static, "从", 130, 241, 9, 8},
            {IDC_STATS_FROM, ControlKind::DateTimePicker, "", 142, 239, 62, 12, TabStop},
            {IDC_STATIC, ControlKind::Static, "到", 130, 258, 9, 8},
            {IDC_STATS_TO, ControlKind::DateTimePicker, "", 142, 256, 62, 12, TabStop},
            {IDC_STATS_INTERVAL, ControlKind::PushButton, "查询", 209, 239, 34, 29, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "查询条件", 253, 225, 132, 49},
            {IDC_STATS_FILTER_MEMBER, ControlKind::CheckBox, "家庭成员", 259, 240, 50, 10, TabStop},
            {IDC_STATS_MEMBER, ControlKind::ComboBox, "", 311, 238, 68, 60,
             Editable | VScroll | TabStop},
            {IDC_STATS_FILTER_ITEM, ControlKind::CheckBox, "收支项目", 259, 257, 50, 10, TabStop},
            {IDC_STATS_ITEM, ControlKind::ComboBox, "", 311, 255, 68, 60,
             Editable | VScroll | TabStop},

            {IDC_STATS_EXPORT_IMAGE, ControlKind::PushButton, "导出图片…", 391, 227, 62, 14,
             TabStop},
            {IDC_STATS_EXPORT_CSV, ControlKind::PushButton, "导出 CSV…", 391, 243, 62, 14, TabStop},
            {IDOK, ControlKind::DefPushButton, "关闭", 391, 260, 62, 14, TabStop},
        }};
    return tpl;
}
