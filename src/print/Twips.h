#pragma once

class QPaintDevice;
class QPainter;

// Printing and figure drawing work in twips (1/1440 inch); these helpers put a painter into that
// unit and convert between twips and a device's pixels.
namespace Twips {

inline constexpr double PerInch = 1440.0;
inline constexpr double PerPoint = 20.0;

// Twips per pixel of a device (15 at 96 dots per inch).
double perPixelX(const QPaintDevice& device);
double perPixelY(const QPaintDevice& device);

// Twips per pixel of the primary screen; 15 when there is no screen.
float screenPerPixel();

// Scales the painter so that one unit of its coordinates is one twip on its device, on top of
// whatever transform it already has.
void setTwipsTransform(QPainter& painter);

} // namespace Twips
