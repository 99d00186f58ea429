#pragma once

#include "IDrawSurface.h"

#include <QRectF>
#include <QStringList>

// A drawing surface that records every drawing call as text, coordinates to a hundredth:
// "C x,y r radius fill" (circle), "L x,y-x,y" (line), "P x,y text" (print), "G fill x,y x,y ..."
// (polygon). Text measures are fixed (60 twips per character, 200 twips high) so positions are exact.
class RecordingSurface final : public IDrawSurface {
public:
    static constexpr double CharWidth = 60.0;
    static constexpr double LineHeight = 200.0;

    RecordingSurface(double width, double height, double left = 0.0, double top = 0.0)
        : m_scale(left, top, width, height) {}

    double ScaleLeft() const override { return m_scale.left(); }
    double ScaleTop() const override { return m_scale.top(); }
    double ScaleWidth() const override { return m_scale.width(); }
    double ScaleHeight() const override { return m_scale.height(); }
    void setFillStyle(int) override {}
    void setFillColor(const QColor& color) override { m_fill = color; }
    void setFontName(const QString&) override {}
    void setFontSize(double points) override { fontSize = points; }
    void setFontBold(bool) override {}
    void setFontItalic(bool) override {}
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }
    void Circle(double x, double y, double r) override {
        calls.append(QStringLiteral("C %1 r%2 %3").arg(at(x, y), n(r), m_fill.name()));
    }
    void Line(double x, double y) override {
        calls.append(QStringLiteral("L %1-%2").arg(at(m_x, m_y), at(x, y)));
        m_x = x;
        m_y = y;
    }
    void Print(const QString& text) override { calls.append(QStringLiteral("P %1 %2").arg(at(m_x, m_y), text)); }
    double TextWidth(const QString& text) const override { return CharWidth * text.size(); }
    double TextHeight(const QString&) const override { return LineHeight; }
    void Polygon(const QList<QPointF>& corners) override {
        QString polygon = QStringLiteral("G ") + m_fill.name();
        for (const QPointF& corner : corners) {
            polygon += QLatin1Char(' ') + at(corner.x(), corner.y());
        }
        calls.append(polygon);
    }

    QStringList calls;
    double fontSize = 0.0;

private:
    static QString n(double v) { return QString::number(qRound64(v * 100) / 100.0); }
    static QString at(double x, double y) { return n(x) + QLatin1Char(',') + n(y); }

    QColor m_fill;
    QRectF m_scale;
    double m_x = 0.0;
    double m_y = 0.0;
};
