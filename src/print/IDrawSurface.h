#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>

// A picture, printer page or preview page that figures are drawn on. Coordinates and sizes are
// twips in the surface's own scale (ScaleLeft/ScaleTop at its top-left corner).
class IDrawSurface {
public:
    virtual ~IDrawSurface() = default;

    // Fill style of circles and polygons: solid fills with the fill colour, transparent leaves
    // the inside alone.
    static constexpr int FillSolid = 0;
    static constexpr int FillTransparent = 1;

    virtual double ScaleLeft() const = 0;
    virtual double ScaleTop() const = 0;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;

    virtual void setFillStyle(int style) = 0;
    virtual void setFillColor(const QColor& color) = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontItalic(bool italic) = 0;

    // The current point, where Line starts and Print writes.
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;

    // A circle outlined in the drawing colour and filled under the solid fill style.
    virtual void Circle(double x, double y, double radius) = 0;
    // A line from the current point to (x, y), which becomes the current point.
    virtual void Line(double x, double y) = 0;
    // Text with its top-left corner at the current point.
    virtual void Print(const QString& text) = 0;
    virtual double TextWidth(const QString& text) const = 0;
    virtual double TextHeight(const QString& text) const = 0;
    // A filled polygon, its corners in the surface's twips (screen pictures only; drawn smooth, so
    // a turned square keeps straight edges).
    virtual void Polygon(const QList<QPointF>& corners) = 0;
};
