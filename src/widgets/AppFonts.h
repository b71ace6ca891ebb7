#pragma once

#include <QFont>
#include <QString>

namespace ostrel {

// The shell's font: Tahoma at a pixel height (the windows use 11 px, 8 point at 96 dpi).
// Hinting is off so that text widths are the same on every display.
inline QFont TahomaFont(int pixelSize = 11, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace ostrel
