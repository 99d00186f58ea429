#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "Settings.h"

class QWidget;

// A stored colour as a Qt colour: 0x00BBGGRR, or 0x80000000 + n for system colour n, which maps
// to the palette (5 Base, 8 Text, 13 Highlight, 14 HighlightedText, others the nearest role).
namespace ColourMap {

QColor toColor(quint32 value, const QPalette& palette);
// A chosen colour as a stored value, 0x00BBGGRR.
quint32 fromColor(const QColor& colour);

// A stored font as a Qt font and back (name, size in points, bold, italic).
QFont toFont(const FontSetting& font);
FontSetting fromFont(const QFont& font);

// Puts a grid's stored font and its four colours (text, background, selected text, selected
// background) on the widget.
void applyGridLook(QWidget* grid, const FontSetting& font, quint32 fore, quint32 back, quint32 foreSel,
                   quint32 backSel);

} // namespace ColourMap
