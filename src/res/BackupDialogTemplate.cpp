#include "res/ResourceIds.h"
#include "res/Resources.h"

const DialogTemplate& BackupDialogTemplate() {
    using namespace style;
    static const DialogTemplate tpl{
        IDD_BACKUP,
        "备份与恢复",
        340,
        206,
        "MS Shell Dlg",
        8,
        Caption | SysMenu,
        {
            {IDC_STATIC, ControlKind::Static, "备份列表（最新的在最上面）", 7, 7, 200, 9},
            {IDC_BACKUP_LIST, ControlKind::ListView, "", 7, 18, 326, 142,
             Border | TabStop | SingleSel | ShowSelAlways},
            {IDC_BACKUP_FOLDER, ControlKind::Static, "", 7, 165, 326, 9},
            {IDC_BACKUP_NOW, ControlKind::PushButton, "立即备份", 7, 183, 60, 16, TabStop},
            {IDC_BACKUP_RESTORE, ControlKind::PushButton, "恢复", 73, 183, 60, 16, TabStop},
            {IDOK, ControlKind::DefPushButton, "关闭", 273, 183, 60, 16, TabStop},
        }};
    return tpl;
}
