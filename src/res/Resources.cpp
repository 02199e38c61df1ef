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
    // The SVG engine draws the icon at whatever size is asked (16 to 256 pixels). One icon
    // serves the application and every window, so each size is drawn once.
    static const QIcon icon(ProgramIconPath());
    return icon;
}
