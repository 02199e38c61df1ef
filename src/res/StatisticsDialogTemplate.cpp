#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& StatisticsDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_STATISTICS,
        "收支统计",
        520,
        281,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            // The figures of the period, each value after its label.
            {IDC_STATIC, ControlKind::GroupBox, "合计", 7, 3, 506, 27},
            {IDC_STATIC, ControlKind::Static, "收入：", 15, 15, 26, 9},
            {IDC_STATS_INCOME, ControlKind::Static, "0.00", 41, 15, 90, 9},
            {IDC_STATIC, ControlKind::Static, "支出：", 140, 15, 26, 9},
            {IDC_STATS_PAY, ControlKind::Static, "0.00", 166, 15, 90, 9},
            {IDC_STATIC, ControlKind::Static, "结余：", 265, 15, 26, 9},
            {IDC_STATS_BALANCE, ControlKind::Static, "0.00", 291, 15, 90, 9},
            {IDC_STATIC, ControlKind::Static, "笔数：", 390, 15, 26, 9},
            {IDC_STATS_COUNT, ControlKind::Static, "0", 416, 15, 90, 9},

            {IDC_STATS_VIEW_MEMBER, ControlKind::RadioButton, "按成员", 38, 37, 44, 10,
             Group | TabStop},
            {IDC_STATS_VIEW_ITEM, ControlKind::RadioButton, "按项目", 84, 37, 44, 10},
            {IDC_STATS_VIEW_MONTH, ControlKind::RadioButton, "按月份", 130, 37, 44, 10},
            {IDC_STATS_PERIOD, ControlKind::Static, "", 296, 38, 217, 9, Right},
            // Each label names the control after it; the table is the chart's text.
            {IDC_STATIC, ControlKind::Static, "统计表", 7, 38, 28, 9},
            {IDC_STATS_TABLE, ControlKind::ListView, "", 7, 50, 250, 170,
             Border | TabStop | OwnerData | SingleSel | ShowSelAlways},
            {IDC_STATIC, ControlKind::Static, "统计图", 262, 38, 28, 9},
            {IDC_STATS_CHART, ControlKind::Custom, "", 262, 50, 251, 170, Border},

            {IDC_STATIC, ControlKind::GroupBox, "快速查询", 7, 225, 118, 49},
            {IDC_STATS_TODAY, ControlKind::PushButton, "今天", 13, 238, 50, 14, TabStop},
            {IDC_STATS_WEEK, ControlKind::PushButton, "本周", 69, 238, 50, 14, TabStop},
            {IDC_STATS_MONTH, ControlKind::PushButton, "本月", 13, 255, 50, 14, TabStop},
            {IDC_STATS_YEAR, ControlKind::PushButton, "今年", 69, 255, 50, 14, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "区间查询", 131, 225, 134, 49},
            {IDC_STATIC, ControlKind::Static, "从", 138, 241, 9, 8},
            {IDC_STATS_FROM, ControlKind::DateTimePicker, "", 150, 239, 68, 12, TabStop},
            {IDC_STATIC, ControlKind::Static, "到", 138, 258, 9, 8},
            {IDC_STATS_TO, ControlKind::DateTimePicker, "", 150, 256, 68, 12, TabStop},
            {IDC_STATS_INTERVAL, ControlKind::PushButton, "查询", 224, 239, 36, 29, TabStop},
            {IDC_STATIC, ControlKind::GroupBox, "查询条件", 271, 225, 170, 49},
            {IDC_STATS_FILTER_MEMBER, ControlKind::CheckBox, "家庭成员", 278, 240, 50, 10, TabStop},
            {IDC_STATS_MEMBER, ControlKind::ComboBox, "", 331, 238, 104, 60,
             Editable | VScroll | TabStop},
            {IDC_STATS_FILTER_ITEM, ControlKind::CheckBox, "收支项目", 278, 257, 50, 10, TabStop},
            {IDC_STATS_ITEM, ControlKind::ComboBox, "", 331, 255, 104, 60,
             Editable | VScroll | TabStop},

            {IDC_STATS_EXPORT_IMAGE, ControlKind::PushButton, "导出图片…", 449, 227, 64, 14,
             TabStop},
            {IDC_STATS_EXPORT_CSV, ControlKind::PushButton, "导出 CSV…", 449, 243, 64, 14, TabStop},
            {IDOK, ControlKind::DefPushButton, "关闭", 449, 260, 64, 14, TabStop},
        }};
    return tpl;
}
