#pragma once

#include "MarkupScanner.h"

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// Call-text markup: "{b two words}" draws the two words in bold, "{red x}" in red; tags nest, a
// line feed starts a new line. Grids draw the markup, print and spreadsheet output remove it.
//
// Drawing works in the painter's own units: twips when the caller has applied
// Twips::setTwipsTransform (pixels when it has not). Pixel-sized details (the 3-pixel text
// margins, the row margin) are pixels of the painter's device as its logical DPI counts them, so
// on a high-density screen they grow with everything else.
namespace modGraphics {

// Draws text inside the rectangle, switching fonts and colours as the tags say. font is the base
// font (family, point size rounded to whole points, bold, italic, underline, strike-out); the
// base colour is the painter's pen. The runs flow as one text: each goes on where the one before
// it ended, wrapping at the right edge (between words, or anywhere in a word longer than a line),
// so every character is drawn in any width; a line feed starts a new line. callRowMargin (device
// pixels, the CallRowMargin setting) is left free, half above and half below. The painter's font
// and pen are as they were on entry.
// Returns the height the text needs: from top to the lowest edge a run reached, plus half the
// row margin.
qreal TextOut(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
              const QFont& font, int callRowMargin = 0);

// The height TextOut would return on a screen device for a cell of width pixels, without a
// painter (a view's row height).
qreal MarkupHeight(const QString& text, const QFont& font, qreal width, class QPaintDevice* device,
                   int callRowMargin = 0);

// The height TextOut would return, without drawing anything.
qreal MeasureTextOut(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
                     const QFont& font, int callRowMargin = 0);

// The text with its markup taken out: known tags with their blank, every "}" and every line
// feed are dropped; unknown "{word " and a trailing "{..." without blank stay.
QString RemoveMarkup(const QString& text);

// Draws one run of plain text word-wrapped into rect (3 device pixels of margin left and right),
// then moves rect's right and bottom edges to bound the text. Returns the characters drawn.
int DrawTextRect(QPainter& painter, const QString& text, QRectF& rect);

// The base level's font for the painter: family and style of font, its point size rounded to
// whole points and converted to the painter's units.
QFont baseLevelFont(const QPainter& painter, const QFont& font);

} // namespace modGraphics
