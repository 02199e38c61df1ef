#include "platform/ui/DialogUnits.h"

#include <algorithm>
#include <string>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>

namespace {
// Rounds a * b / c to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    long long n = static_cast<long long>(a) * b;
    return static_cast<int>((n >= 0 ? n + c / 2 : n - c / 2) / c);
}
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the platform measured it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseWidth = (letters / 26 + 1) / 2;
    m_nBaseHeight = metrics.height();
}

int DialogUnits::ToPixelsX(int dlu) const {
    return MulDiv(dlu, m_nBaseWidth, 4);
}

int DialogUnits::ToPixelsY(int dlu) const {
    return MulDiv(dlu, m_nBaseHeight, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

QFont TemplateFont(const std::string& name, int pointSize) {
    // The family is settled once per template font name, to the first of it and the CJK
    // fallbacks that is installed: asking Qt for a family the machine lacks (宋体 on Linux)
    // sends it through fontconfig's fallback search.
    static QHash<QString, QStringList> resolved;
    const QString wanted = QString::fromStdString(name);
    auto found = resolved.constFind(wanted);
    if (found == resolved.constEnd()) {
        QStringList families{wanted, QStringLiteral("WenQuanYi Micro Hei"),
                             QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC")};
        const auto installed =
            std::find_if(families.begin(), families.end(),
                         [](const QString& family) { return QFontDatabase::hasFamily(family); });
        if (installed != families.end())
            families = QStringList{*installed};
        found = resolved.insert(wanted, families);
    }
    QFont font;
    font.setFamilies(*found);
    font.setPointSize(pointSize);
    return font;
}
