#pragma once

#include <QColor>
#include <QPalette>

// A stored colour as a Qt colour: 0x00BBGGRR, or 0x80000000 + n for system colour n, which maps
// to the palette (5 Base, 8 Text, 13 Highlight, 14 HighlightedText, others the nearest role).
namespace ColourMap {

QColor toColor(quint32 value, const QPalette& palette);

} // namespace ColourMap
