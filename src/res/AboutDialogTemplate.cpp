#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& AboutDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_ABOUTBOX,
        "关于 Coffer",
        235,
        112,
        "宋体",
        9,
        Caption | SysMenu,
        {
            {IDC_STATIC, ControlKind::Icon, ":/icons/tillbook.svg", 11, 17, 20, 20},
            // The ideographic space between name and version belongs to the product line.
            {IDC_STATIC, ControlKind::Static, "Tillbook　V1.0", 40, 10, 119, 12},
            {IDC_STATIC, ControlKind::Static, "© 2026 Quillmoor 版权所有", 40, 23, 119, 13},
            {IDC_STATIC, ControlKind::Static, "邮箱：hello@quillmoor.example", 40, 38, 119, 11},
            {IDC_LINK_SITE, ControlKind::LinkLabel, "官方网站", 41, 54, 35, 12, TabStop},
            // Which book is open: the file's name or the server's URI, filled in at start.
            {IDC_STATIC_BOOK, ControlKind::Static, "账本：", 11, 70, 160, 24},
            {IDOK, ControlKind::DefPushButton, "确定", 178, 80, 50, 16, Group | TabStop},
        }};
    return tpl;
}
