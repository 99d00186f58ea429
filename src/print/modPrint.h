#pragma once

#include "FigureDiagram.h"

#include <QList>
#include <QPointF>
#include <QString>

class IDrawSurface;

// Formation figures: a square per boy, a circle per girl, a nose dot on the side each dancer
// faces, the couple number in the middle and a grey dot per empty spot. Angles are degrees,
// counter-clockwise on the page, 0 pointing right; positions and sizes are twips.
namespace modPrint {

struct SinCos {
    double sin = 0.0;
    double cos = 1.0;
};

// The hexagon skew: a six-couple set is drawn by leaning the square set's sides.
inline constexpr double HexSkewDegrees = 36.1;
inline constexpr double HexSkewAngle = 30.0;
double hexSkewSine();

// Draws the diagram into the box at offsetX/offsetY (from the surface's ScaleLeft/ScaleTop),
// centred, dancers and spacing drawn to one scale. colorMode: coloured dancers scaled to fill the
// box less a margin (the screen's panels); otherwise print mode: white dancers at a fixed size
// readable at arm's length, smaller only where the box is too narrow or too low, and boxHeight
// returns the height the figure takes (0 for a diagram without dancers). A box size of 0 or less
// becomes the surface's size and is written back. measureOnly computes that height and draws
// nothing. hexInfo: comma-separated couple-number offsets of the hexagon mode. twipsPerPixel: the
// screen's pixel size, by which the couple numbers are nudged onto the pixel grid.
void DrawFigure(IDrawSurface& target, const QString& figureText, bool colorMode, double offsetX, double offsetY,
                double& boxWidth, double& boxHeight, bool measureOnly, bool hexMode, const QString& hexInfo,
                const QString& noteText, float twipsPerPixel = 15.0f);

// Sine and cosine of an angle in degrees, exact for multiples of 90.
SinCos DegSinCos(double angle);

// A diagram point turned by angle; skewSine leans the rows by abs(skewSine * x) first.
double RotateX(double x, double y, double angle, double skewSine = 0.0);
double RotateY(double x, double y, double angle, double skewSine = 0.0);

// The angle of drawing pass 0, 1 or 2 for the rotation flag rot (-1, 0, 1).
double PassAngle(int pass, bool hex, int rot);

// The pass angle plus the hexagon skew of a dancer at (x, y).
double FacingSkew(double x, double y, double angle, bool tall, double skewAngle = 0.0);

// The closed outline of a square of half side s: (-s,-s), (s,-s), (s,s), (-s,s), (-s,-s).
QList<QPointF> MakeSquareShape(double s);

// Every point turned by angle.
QList<QPointF> RotateShape(const QList<QPointF>& points, double angle);

} // namespace modPrint
