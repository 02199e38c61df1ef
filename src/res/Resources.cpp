#include "res/Resources.h"

#include "res/ResourceIds.h"

std::string LoadString(int id) {
    switch (id) {
        case IDS_ABOUTBOX:
            return "关于 Coffer(&A)...";
        default:
            return {};
    }
}

QString ProgramIconPath() {
    return QStringLiteral(":/icons/tillbook.svg");
}

QIcon LoadProgramIcon() {
    // The SVG engine draws the icon afresh at whatever size is asked (16 to 256 pixels), so
    // nothing is rendered ahead of use.
    return QIcon(ProgramIconPath());
}
