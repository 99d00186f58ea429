#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextItem>

// A 96-dpi paint device that records the text items a painter draws (the text, its font, the pen
// colour and the position in the painter's own coordinates), its lines and its ellipses.
class RecordingPaintDevice final : public QPaintDevice {
public:
    struct Item {
        QString text;
        QFont font;
        QColor color;
        QPointF position;
    };

    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QList<Item>& items() const { return m_engine.items; }
    const QList<QLineF>& lines() const { return m_engine.lines; }
    const QList<QRectF>& ellipses() const { return m_engine.ellipses; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        if (metric == PdmDevicePixelRatioScaled) {
            return static_cast<int>(devicePixelRatioFScale());
        }
        return metric == PdmWidth || metric == PdmHeight ? 2000 : metric == PdmDevicePixelRatio ? 1 : 96;
    }

private:
    struct Engine final : QPaintEngine {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override {
            pen = state.state() & DirtyPen ? state.pen() : pen;
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        // Underline and strike-out come as polygons (the base class would bounce between its
        // overloads); lines played back from a picture come as polylines.
        void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
            for (int i = 0; mode == PolylineMode && i + 1 < count; ++i) {
                lines.append(QLineF(points[i], points[i + 1]));
            }
        }
        void drawPath(const QPainterPath&) override {}
        void drawLines(const QLineF* drawn, int count) override { lines.append(QList<QLineF>(drawn, drawn + count)); }
        void drawEllipse(const QRectF& rect) override { ellipses.append(rect); }
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            items.append({item.text(), item.font(), pen.color(), p});
        }
        Type type() const override { return User; }

        QList<Item> items;
        QList<QLineF> lines;
        QList<QRectF> ellipses;
        QPen pen;
    };

    mutable Engine m_engine;
};
