#include "ColourMap.h"

#include <QApplication>
#include <QFontInfo>
#include <QWidget>

namespace ColourMap {

QColor toColor(quint32 value, const QPalette& palette) {
    if (value & 0x80000000u) {
        switch (value & 0xFFu) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button);
        case 16:
            return palette.color(QPalette::Mid);
        case 18:
            return palette.color(QPalette::ButtonText);
        case 17:
            return palette.color(QPalette::PlaceholderText);
        case 4:
            return palette.color(QPalette::Window);
        case 7:
            return palette.color(QPalette::WindowText);
        default:
            return palette.color(QPalette::Text);
        }
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

quint32 fromColor(const QColor& colour) {
    return static_cast<quint32>(colour.red()) | static_cast<quint32>(colour.green()) << 8 |
           static_cast<quint32>(colour.blue()) << 16;
}

QFont toFont(const FontSetting& font) {
    QFont qfont(font.name);
    qfont.setPointSizeF(font.size);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    return qfont;
}

FontSetting fromFont(const QFont& font) {
    // A font given in pixels has no point size; its size on this screen stands in.
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    return {size, font.family(), font.bold(), font.italic()};
}

void applyGridLook(QWidget* grid, const FontSetting& font, quint32 fore, quint32 back, quint32 foreSel,
                   quint32 backSel) {
    grid->setFont(toFont(font));
    const QPalette system = QApplication::palette();
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Text, toColor(fore, system));
    palette.setColor(QPalette::Base, toColor(back, system));
    palette.setColor(QPalette::HighlightedText, toColor(foreSel, system));
    palette.setColor(QPalette::Highlight, toColor(backSel, system));
    grid->setPalette(palette);
}

} // namespace ColourMap
