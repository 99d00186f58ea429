#pragma once

#include "IDrawSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QRectF>
#include <optional>

class QPainter;

// A drawing surface over a painter whose coordinates are twips (see Twips::setTwipsTransform).
// Fonts are sized in twips; lines and outlines are one device pixel wide in the drawing colour.
class PainterSurface final : public IDrawSurface {
public:
    // scale: the surface's area in twips; an empty rectangle takes the painter's whole device.
    // twipsPerPixel: the pixel size that Polygon's points count in; 0 takes the device's.
    explicit PainterSurface(QPainter& painter, const QRectF& scale = {}, double twipsPerPixel = 0.0);

    double ScaleLeft() const override { return m_scale.left(); }
    double ScaleTop() const override { return m_scale.top(); }
    double ScaleWidth() const override { return m_scale.width(); }
    double ScaleHeight() const override { return m_scale.height(); }

    void setFillStyle(int style) override { m_fillStyle = style; }
    void setFillColor(const QColor& color) override { m_fillColor = color; }
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;

    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }

    void Circle(double x, double y, double radius) override;
    void Line(double x, double y) override;
    void Print(const QString& text) override;
    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    void Polygon(const QList<QPointF>& corners) override;

    // The colour of lines, outlines and text (black unless set).
    void setForeColor(const QColor& color) { m_foreColor = color; }
    // The width of lines and outlines in twips; 0 (the default) draws them one device pixel wide.
    void setLineWidth(double twips) { m_lineWidth = twips; }

private:
    void applyPenAndBrush();
    // The font's metrics on the painter's device and the glyphs and widths of the texts printed in
    // it, kept until the font or the device changes: figures print the same few numbers many
    // times. At most kCachedTexts texts are kept.
    struct FontCache {
        QFont font;
        const QPaintDevice* device = nullptr;
        QFontMetricsF metrics;
        QHash<QString, QList<QGlyphRun>> glyphs;
        QHash<QString, double> widths;
    };
    static constexpr qsizetype kCachedTexts = 256;
    FontCache& fontCache() const;
    const QList<QGlyphRun>& glyphsOf(const QString& text) const;

    QPainter& m_painter;
    QRectF m_scale;
    double m_twipsPerPixel;
    QFont m_font;
    mutable std::optional<FontCache> m_fontCache;
    int m_fillStyle = FillTransparent;
    QColor m_fillColor = Qt::black;
    QColor m_foreColor = Qt::black;
    double m_lineWidth = 0.0;
    double m_x = 0.0;
    double m_y = 0.0;
};
