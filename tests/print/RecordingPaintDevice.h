#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextItem>

// A 96-dpi paint device that records the text items a painter draws: the text, its font, the pen
// colour and the position in the painter's own coordinates.
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

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 2000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    struct Engine final : QPaintEngine {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override {
            if (state.state() & DirtyPen) {
                pen = state.pen();
            }
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        // Underline and strike-out come as polygons; the base class would bounce between its overloads.
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            items.append({item.text(), item.font(), pen.color(), p});
        }
        Type type() const override { return User; }

        QList<Item> items;
        QPen pen;
    };

    mutable Engine m_engine;
};
