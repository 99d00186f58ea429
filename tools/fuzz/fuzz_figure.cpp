// Formation diagrams: the parser, and DrawFigure in every mode on a surface that checks what it
// is asked to draw. The first byte chooses the mode and the box; the text after it holds the
// diagram, the hexagon offsets and the note, separated by "|".

#include "FigureDiagram.h"
#include "FuzzSupport.h"
#include "IDrawSurface.h"
#include "modPrint.h"

#include <cmath>

namespace {

// Every coordinate and size handed to the surface must be a number.
class CheckingSurface final : public IDrawSurface {
public:
    double ScaleLeft() const override { return 120; }
    double ScaleTop() const override { return 240; }
    double ScaleWidth() const override { return 4000; }
    double ScaleHeight() const override { return 3000; }
    void setFillStyle(int) override {}
    void setFillColor(const QColor& color) override { FuzzSupport::check(color.isValid(), "fill colour"); }
    void setFontName(const QString&) override {}
    void setFontSize(double points) override { FuzzSupport::check(points > 0, "font size"); }
    void setFontBold(bool) override {}
    void setFontItalic(bool) override {}
    void setCurrentX(double x) override { m_x = finite(x); }
    void setCurrentY(double y) override { m_y = finite(y); }
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }
    void Circle(double x, double y, double radius) override {
        finite(x);
        finite(y);
        FuzzSupport::check(finite(radius) >= 0, "circle radius");
    }
    void Line(double x, double y) override {
        m_x = finite(x);
        m_y = finite(y);
    }
    void Print(const QString&) override {}
    double TextWidth(const QString& text) const override { return 60.0 * text.size(); }
    double TextHeight(const QString&) const override { return 200.0; }
    void Polygon(const QList<QPointF>& corners) override {
        FuzzSupport::check(corners.size() == 5 && corners.front() == corners.back(), "a closed square");
        for (const QPointF& corner : corners) {
            finite(corner.x());
            finite(corner.y());
        }
    }

private:
    static double finite(double value) {
        FuzzSupport::check(std::isfinite(value), "a finite coordinate");
        return value;
    }
    double m_x = 0;
    double m_y = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t mode = data[0];
    const QStringList parts = FuzzSupport::text(data + 1, size - 1).split(QLatin1Char('|'));
    const QString figure = parts.value(0);
    const QString hexInfo = parts.value(1);
    const QString note = parts.value(2);

    const modPrint::FigureDiagram diagram = modPrint::parseFigure(figure);
    FuzzSupport::check(diagram.dim >= 0 && diagram.maxCol >= 0 && diagram.maxRow >= 0, "the extent");
    for (const modPrint::FigureDancer& dancer : diagram.dancers) {
        FuzzSupport::check(dancer.Col <= diagram.maxCol && dancer.Row <= diagram.maxRow, "dancers inside the extent");
        FuzzSupport::check(std::abs(dancer.X) <= diagram.W / 2 + 1 && std::abs(dancer.Y) <= diagram.H / 2 + 1,
                           "dancers near the centre");
    }

    static const double boxes[] = {0, 1500, 3000, 20000};
    CheckingSurface surface;
    double boxWidth = boxes[mode & 3];
    double boxHeight = boxes[(mode >> 2) & 3];
    modPrint::DrawFigure(surface, figure, mode & 16, 50, 80, boxWidth, boxHeight, mode & 32, mode & 64, hexInfo, note,
                         mode & 128 ? 15.0f : 7.5f);
    FuzzSupport::check(std::isfinite(boxWidth) && std::isfinite(boxHeight) && boxHeight >= 0, "the box written back");
    return 0;
}
