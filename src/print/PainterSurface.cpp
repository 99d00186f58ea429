#include "PainterSurface.h"

#include "Twips.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QTextLayout>
#include <cmath>

namespace {

// A new surface starts with an 8-point font, as a fresh picture does.
constexpr double kInitialFontPoints = 8.0;

int twipsFontSize(double points) {
    return std::max(1, static_cast<int>(std::lround(points * Twips::PerPoint)));
}

} // namespace

PainterSurface::PainterSurface(QPainter& painter, const QRectF& scale, double twipsPerPixel)
    : m_painter(painter), m_scale(scale), m_twipsPerPixel(twipsPerPixel), m_font(QStringLiteral("Arial")) {
    const QPaintDevice* device = painter.device();
    if (m_scale.isEmpty() && device != nullptr) {
        m_scale =
            QRectF(0, 0, device->width() * Twips::perPixelX(*device), device->height() * Twips::perPixelY(*device));
    }
    if (m_twipsPerPixel <= 0) {
        m_twipsPerPixel = device != nullptr ? Twips::perPixelX(*device) : 15.0;
    }
    m_font.setPixelSize(twipsFontSize(kInitialFontPoints));
    m_x = m_scale.left();
    m_y = m_scale.top();
}

void PainterSurface::setFontName(const QString& name) {
    m_font.setFamily(name);
}

void PainterSurface::setFontSize(double points) {
    m_font.setPixelSize(twipsFontSize(points));
}

void PainterSurface::setFontBold(bool bold) {
    m_font.setBold(bold);
}

void PainterSurface::setFontItalic(bool italic) {
    m_font.setItalic(italic);
}

void PainterSurface::applyPenAndBrush() {
    m_painter.setPen(QPen(m_foreColor, m_lineWidth));
    if (m_fillStyle == FillSolid) {
        m_painter.setBrush(m_fillColor);
    } else {
        m_painter.setBrush(Qt::NoBrush);
    }
}

void PainterSurface::Circle(double x, double y, double radius) {
    applyPenAndBrush();
    m_painter.drawEllipse(QPointF(x, y), radius, radius);
    m_x = x;
    m_y = y;
}

void PainterSurface::Line(double x, double y) {
    m_painter.setPen(QPen(m_foreColor, m_lineWidth));
    m_painter.drawLine(QPointF(m_x, m_y), QPointF(x, y));
    m_x = x;
    m_y = y;
}

PainterSurface::FontCache& PainterSurface::fontCache() const {
    const QPaintDevice* device = m_painter.device();
    if (!m_fontCache || m_fontCache->device != device || m_fontCache->font != m_font) {
        m_fontCache.emplace(FontCache{m_font, device, QFontMetricsF(m_font, m_painter.device()), {}, {}});
    }
    return *m_fontCache;
}

const QList<QGlyphRun>& PainterSurface::glyphsOf(const QString& text) const {
    FontCache& cache = fontCache();
    auto known = cache.glyphs.find(text);
    if (known == cache.glyphs.end()) {
        if (cache.glyphs.size() >= kCachedTexts) {
            cache.glyphs.clear();
        }
        QTextLayout layout(text, m_font, m_painter.device());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        known = cache.glyphs.insert(text, layout.glyphRuns());
    }
    return *known;
}

void PainterSurface::Print(const QString& text) {
    m_painter.setFont(m_font);
    // Text takes only the colour of the pen: a pen of that colour stays, so that the outlines
    // drawn before and after the text need no new pen on the page.
    const QPen& pen = m_painter.pen();
    if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern || pen.color() != m_foreColor) {
        m_painter.setPen(m_foreColor);
    }
    // A PDF page takes the glyphs laid out once for each text; a picture (a preview page) records
    // text by its characters, which glyphs alone do not give it.
    const QPaintEngine* engine = m_painter.paintEngine();
    const bool plainLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
    if (plainLine && engine != nullptr && engine->type() == QPaintEngine::Pdf) {
        for (const QGlyphRun& run : glyphsOf(text)) {
            m_painter.drawGlyphRun(QPointF(m_x, m_y), run);
        }
    } else {
        m_painter.drawText(QPointF(m_x, m_y + fontCache().metrics.ascent()), text);
    }
    // Like a picture's Print, the next output goes to the start of the following line.
    m_x = m_scale.left();
    m_y += TextHeight(text);
}

double PainterSurface::TextWidth(const QString& text) const {
    FontCache& cache = fontCache();
    auto known = cache.widths.find(text);
    if (known == cache.widths.end()) {
        if (cache.widths.size() >= kCachedTexts) {
            cache.widths.clear();
        }
        known = cache.widths.insert(text, cache.metrics.horizontalAdvance(text));
    }
    return *known;
}

double PainterSurface::TextHeight(const QString& text) const {
    return fontCache().metrics.height() * (text.count(QLatin1Char('\n')) + 1);
}

void PainterSurface::Polygon(const QList<QPointF>& corners) {
    applyPenAndBrush();
    m_painter.drawPolygon(QPolygonF(corners));
}
