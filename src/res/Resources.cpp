#include "Resources.h"

#include <QPixmap>

#include "ResourceIds.h"

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
    const QIcon drawing(ProgramIconPath());
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawing.pixmap(size, size));
    return icon;
}
