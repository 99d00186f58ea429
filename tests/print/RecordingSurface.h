#pragma once

#include "IDrawSurface.h"

#include <QList>
#include <QRectF>
#include <algorithm>

// A drawing surface that records every drawing call with its arguments and the fill colour of the
// moment. Text measures are fixed (60 twips per character, 200 twips high) so positions are exact.
class RecordingSurface final : public IDrawSurface {
public:
    struct Call {
        QString op;             // "Circle", "Line", "Print" or "Polygon"
        QList<double> args;     // Circle: x, y, radius; Line: x0, y0, x1, y1; Print: x, y
        QString text;           // Print only
        QColor fill;            // fill colour at the time of the call
        QList<QPointF> corners; // Polygon only
    };

    static constexpr double CharWidth = 60.0;
    static constexpr double LineHeight = 200.0;

    RecordingSurface(double width, double height, double left = 0.0, double top = 0.0)
        : m_left(left), m_top(top), m_width(width), m_height(height) {}

    double ScaleLeft() const override { return m_left; }
    double ScaleTop() const override { return m_top; }
    double ScaleWidth() const override { return m_width; }
    double ScaleHeight() const override { return m_height; }
    void setFillStyle(int style) override { fillStyle = style; }
    void setFillColor(const QColor& color) override { fillColor = color; }
    void setFontName(const QString& name) override { fontName = name; }
    void setFontSize(double points) override { fontSize = points; }
    void setFontBold(bool bold) override { fontBold = bold; }
    void setFontItalic(bool) override {}
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }

    void Circle(double x, double y, double radius) override {
        calls.append({"Circle", {x, y, radius}, {}, fillColor, {}});
    }
    void Line(double x, double y) override {
        calls.append({"Line", {m_x, m_y, x, y}, {}, fillColor, {}});
        m_x = x;
        m_y = y;
    }
    void Print(const QString& text) override { calls.append({"Print", {m_x, m_y}, text, fillColor, {}}); }
    double TextWidth(const QString& text) const override { return CharWidth * text.size(); }
    double TextHeight(const QString&) const override { return LineHeight; }
    void Polygon(const QList<QPointF>& corners) override { calls.append({"Polygon", {}, {}, fillColor, corners}); }

    // The calls of one kind; a radius of 0 or more keeps only the circles of that radius.
    QList<Call> called(const QString& op, double radius = -1) const {
        QList<Call> result;
        for (const Call& call : calls) {
            if (call.op == op && (radius < 0 || qAbs(call.args.at(2) - radius) < 1e-6)) {
                result.append(call);
            }
        }
        return result;
    }
    QList<Call> circles(double radius) const { return called(QStringLiteral("Circle"), radius); }

    // The rectangle the circles, lines and polygons cover (texts aside).
    QRectF bounds() const {
        double left = 1e300;
        double top = 1e300;
        double right = -1e300;
        double bottom = -1e300;
        const auto cover = [&](double x, double y, double r) {
            left = std::min(left, x - r);
            top = std::min(top, y - r);
            right = std::max(right, x + r);
            bottom = std::max(bottom, y + r);
        };
        for (const Call& call : calls) {
            if (call.op == QLatin1String("Circle")) {
                cover(call.args.at(0), call.args.at(1), call.args.at(2));
            } else if (call.op == QLatin1String("Line")) {
                cover(call.args.at(0), call.args.at(1), 0);
                cover(call.args.at(2), call.args.at(3), 0);
            }
            for (const QPointF& corner : call.corners) {
                cover(corner.x(), corner.y(), 0);
            }
        }
        return left > right ? QRectF() : QRectF(QPointF(left, top), QPointF(right, bottom));
    }

    QStringList printed() const {
        QStringList texts;
        for (const Call& call : called(QStringLiteral("Print"))) {
            texts.append(call.text);
        }
        return texts;
    }

    QList<Call> calls;
    int fillStyle = FillTransparent;
    QColor fillColor;
    QString fontName;
    double fontSize = 0.0;
    bool fontBold = false;

private:
    double m_left;
    double m_top;
    double m_width;
    double m_height;
    double m_x = 0.0;
    double m_y = 0.0;
};
