#pragma once

#include <string>

#include <QFont>
#include <QRect>

// Converts dialog units to pixels from a font's metrics, as the dialog manager did:
// a horizontal unit is a quarter of the average character width, a vertical unit an
// eighth of the character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseWidth() const { return m_nBaseWidth; }
    int BaseHeight() const { return m_nBaseHeight; }
    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_nBaseWidth;
    int m_nBaseHeight;
};

// The template font with CJK fallbacks, so Chinese captions render whatever the machine has.
QFont TemplateFont(const std::string& name, int pointSize);
