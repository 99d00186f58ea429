#include "modPrint.h"

#include "ErrorInfo.h"
#include "IDrawSurface.h"
#include "Twips.h"
#include "modSystem.h"

#include <QColor>
#include <QStringList>
#include <cmath>
#include <exception>
#include <numbers>
#include <optional>

namespace modPrint {

namespace {

const QString kProcName = QStringLiteral("modPrint.DrawFigure");

// The dancers' proportions to the figure's unit s (the distance from one line of the diagram to
// the next): half a boy's side or a girl's radius, the nose's radius to that, an empty spot's dot
// to that, and the couple number's font size to that.
constexpr double kBody = 0.375;
constexpr double kNose = 0.25;
constexpr double kSpot = 0.2;
constexpr double kNumber = 1.6;
// How far a dancer reaches from its centre, nose included, in units.
constexpr double kReach = kBody * (1 + 2 * kNose);
// A figure counts as at least this many units across and down, so that a lone dancer or a couple
// is drawn no larger than the dancers of a set.
constexpr double kMinSpan = 2.0;
// Print mode: the unit on paper (400 twips, 7 mm: dancers 5.3 mm across, numbers 12 point), and
// the room above and below a figure.
constexpr double kPrintUnit = 400.0;
constexpr double kPrintMargin = 120.0;
// Colour mode: the room around a figure, as a part of the panel's smaller side.
constexpr double kScreenMargin = 0.05;

// Everything one drawing pass needs about the figure and its box.
struct FigurePlacement {
    IDrawSurface& target;
    bool colorMode;
    bool hexMode;
    QStringList hexItems;
    double s;
    // The point of the surface the figure's centre goes to, and the figure's centre in units.
    QPointF centre;
    QPointF middle;
    double tpp;
    double skewSine;
    double skewAngle;
    bool tall;
    QList<QPointF> square;
};

// The extent of the dancers drawn, in units, turned as each pass turns them.
struct FigureExtent {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// Rounds to nearest with halves to even, as the figure's integer sizes and pixels are rounded.
double roundEven(double value) {
    return std::nearbyint(value);
}

// The leading integer of a text (blanks skipped, optional sign); 0 when it has none.
int leadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+'))) {
        negative = trimmed.at(i) == QLatin1Char('-');
        ++i;
    }
    int value = 0;
    for (; i < trimmed.size() && trimmed.at(i).isDigit() && value < 100000; ++i) {
        value = value * 10 + trimmed.at(i).digitValue();
    }
    return negative ? -value : value;
}

// The couple number a dancer shows; in hexagon mode shifted by pass and the hexagon offsets and
// wrapped into 1..6.
QString numberText(const FigureDancer& dancer, int pass, const FigurePlacement& place) {
    if (!place.hexMode) {
        return dancer.Number;
    }
    const int v = leadingNumber(dancer.Number);
    int n = v + 2 * pass;
    if (place.hexItems.size() >= 4) {
        const int item = (v % 2 == 0 ? 2 : 0) + (dancer.Kind == 2 ? 1 : 0);
        n += leadingNumber(place.hexItems.at(item));
    }
    if (n > 6) {
        n -= 6;
    } else if (n < 1) {
        n += 6;
    }
    return QString::number(n);
}

QColor coupleColor(const QString& number) {
    if (number == QLatin1String("1")) {
        return QColor(255, 0, 0);
    }
    if (number == QLatin1String("2")) {
        return QColor(0, 255, 0);
    }
    if (number == QLatin1String("3")) {
        return QColor(0, 255, 255);
    }
    if (number == QLatin1String("4")) {
        return QColor(255, 255, 0);
    }
    if (number == QLatin1String("5")) {
        return QColor(255, 0, 255);
    }
    if (number == QLatin1String("6")) {
        return QColor(255, 128, 0);
    }
    return QColor(255, 255, 255);
}

void drawBoy(const FigurePlacement& place, double cx, double cy, double fa) {
    const QList<QPointF> shape = RotateShape(place.square, fa);
    if (place.colorMode) {
        // The corners stay where the turn puts them, between pixels: rounding them to whole pixels
        // made a turned square jagged.
        QList<QPointF> corners;
        for (const QPointF& corner : shape) {
            corners.append(QPointF(cx + corner.x(), cy + corner.y()));
        }
        place.target.Polygon(corners);
        return;
    }
    place.target.setCurrentX(cx + shape.at(0).x());
    place.target.setCurrentY(cy + shape.at(0).y());
    for (qsizetype i = 1; i < shape.size(); ++i) {
        place.target.Line(cx + shape.at(i).x(), cy + shape.at(i).y());
    }
}

void drawDancer(const FigurePlacement& place, const FigureDancer& dancer, int pass, double a) {
    IDrawSurface& target = place.target;
    const double rx = RotateX(dancer.X, dancer.Y, a, place.skewSine);
    const double ry = RotateY(dancer.X, dancer.Y, a, place.skewSine);
    const double cx = place.centre.x() + place.s * (rx - place.middle.x());
    const double cy = place.centre.y() + place.s * (ry - place.middle.y());

    double fa = FacingSkew(dancer.X, dancer.Y, a, place.tall, place.skewAngle);
    switch (dancer.Facing) {
    case 1:
        fa += 90;
        break;
    case 2:
        fa += 180;
        break;
    case 3:
        fa -= 90;
        break;
    default:
        break;
    }

    const double sz = kBody * place.s;
    if (dancer.Kind == 0) {
        target.setFillColor(QColor(127, 127, 127));
        target.Circle(cx, cy, kSpot * sz);
        return;
    }
    const double nose = kNose * sz;
    const SinCos facing = DegSinCos(fa);
    target.setFillColor(QColor(0, 0, 0));
    target.Circle(cx + facing.cos * (nose + sz), cy - facing.sin * (nose + sz), nose);
    const QString text = numberText(dancer, pass, place);
    target.setFillColor(place.colorMode ? coupleColor(text) : QColor(255, 255, 255));
    if (dancer.Kind == 2) {
        target.Circle(cx, cy, sz);
    } else {
        drawBoy(place, cx, cy, fa);
    }
    target.setCurrentX(cx - target.TextWidth(text) / 2 + 0.5 * place.tpp);
    target.setCurrentY(cy - target.TextHeight(text) / 2 + 0.5 * place.tpp);
    target.Print(text);
}

void logError(const std::exception& e) {
    modSystem::WriteErrorLog(kProcName, ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
}

// In hexagon mode every pass draws only the second half of the entries; the first entry drawn,
// counted from 1.
qsizetype firstDrawn(const FigureDiagram& diagram, bool hexMode) {
    return hexMode ? static_cast<qsizetype>(roundEven(diagram.dancers.size() / 2.0 + 1)) : 1;
}

int passCount(bool hexMode) {
    return hexMode ? 3 : 1;
}

// Nothing when no entry is drawn (in hexagon mode a single entry is in no second half).
std::optional<FigureExtent> extentOf(const FigureDiagram& diagram, bool hexMode, double skewSine, int rot) {
    if (firstDrawn(diagram, hexMode) > diagram.dancers.size()) {
        return std::nullopt;
    }
    FigureExtent extent{1e300, 1e300, -1e300, -1e300};
    for (int pass = 0; pass < passCount(hexMode); ++pass) {
        const double a = roundEven(PassAngle(pass, hexMode, rot));
        for (qsizetype i = firstDrawn(diagram, hexMode); i <= diagram.dancers.size(); ++i) {
            const FigureDancer& dancer = diagram.dancers.at(i - 1);
            const double x = RotateX(dancer.X, dancer.Y, a, skewSine);
            const double y = RotateY(dancer.X, dancer.Y, a, skewSine);
            extent = {std::min(extent.left, x), std::min(extent.top, y), std::max(extent.right, x),
                      std::max(extent.bottom, y)};
        }
    }
    return extent;
}

void drawDancers(FigurePlacement& place, const FigureDiagram& diagram, int rot) {
    IDrawSurface& target = place.target;
    target.setFontName(QStringLiteral("Arial"));
    target.setFontBold(true);
    target.setFontSize(kNumber * kBody * place.s / Twips::PerPoint);
    place.square = MakeSquareShape(kBody * place.s);
    for (int pass = 0; pass < passCount(place.hexMode); ++pass) {
        const double a = roundEven(PassAngle(pass, place.hexMode, rot));
        for (qsizetype i = firstDrawn(diagram, place.hexMode); i <= diagram.dancers.size(); ++i) {
            try {
                drawDancer(place, diagram.dancers.at(i - 1), pass, a);
            } catch (const std::exception& e) {
                logError(e);
            }
        }
    }
}

} // namespace

double hexSkewSine() {
    return std::sin(HexSkewDegrees * std::numbers::pi / 180.0);
}

void DrawFigure(IDrawSurface& target, const QString& figureText, bool colorMode, double offsetX, double offsetY,
                double& boxWidth, double& boxHeight, bool measureOnly, bool hexMode, const QString& hexInfo,
                const QString& noteText, float twipsPerPixel) {
    try {
        const int rot = rotationFlag(noteText);
        const double skewSine = hexMode ? hexSkewSine() : 0.0;

        target.setFillStyle(IDrawSurface::FillSolid);
        if (boxHeight <= 0) {
            boxHeight = target.ScaleHeight();
        }
        if (boxWidth <= 0) {
            boxWidth = target.ScaleWidth();
        }
        target.setFontName(QStringLiteral("Arial"));
        target.setFontBold(true);
        target.setFontItalic(false);

        const FigureDiagram diagram = parseFigure(figureText);
        const std::optional<FigureExtent> drawn = extentOf(diagram, hexMode, skewSine, rot);
        if (!drawn) {
            if (!colorMode) {
                boxHeight = 0;
            }
            return;
        }
        // The figure, dancers and noses included, fits the box less its margin with one scale
        // across and down; on paper the unit is fixed unless the box is too small for it.
        const FigureExtent& extent = *drawn;
        const double across = std::max(extent.right - extent.left, kMinSpan) + 2 * kReach;
        const double down = std::max(extent.bottom - extent.top, kMinSpan) + 2 * kReach;
        const double margin = colorMode ? kScreenMargin * std::min(boxWidth, boxHeight) : kPrintMargin;
        double s = std::min((boxWidth - 2 * margin) / across, (boxHeight - 2 * margin) / down);
        if (!colorMode) {
            s = std::min(s, kPrintUnit);
        }
        s = std::max(s, 0.0);
        if (!colorMode) {
            // The height the figure takes: its own, with the margin above and below.
            boxHeight = s > 0 ? s * (extent.bottom - extent.top + 2 * kReach) + 2 * margin : 0;
        }
        if (measureOnly || s <= 0) {
            return;
        }
        FigurePlacement place{
            target,
            colorMode,
            hexMode,
            hexMode ? hexInfo.split(QLatin1Char(',')) : QStringList(),
            s,
            QPointF(target.ScaleLeft() + offsetX + boxWidth / 2, target.ScaleTop() + offsetY + boxHeight / 2),
            QPointF((extent.left + extent.right) / 2, (extent.top + extent.bottom) / 2),
            twipsPerPixel,
            skewSine,
            hexMode ? HexSkewAngle : 0.0,
            diagram.tall,
            {}};
        drawDancers(place, diagram, rot);
    } catch (const std::exception& e) {
        logError(e);
    }
}

SinCos DegSinCos(double angle) {
    if (angle >= 360) {
        angle -= 360;
    } else if (angle < -360) {
        angle += 360;
    }
    const double whole = std::nearbyint(angle);
    if (std::fmod(whole, 90.0) == 0.0) {
        const int q = static_cast<int>(whole) / 90;
        switch (((q + 2) % 4 + 4) % 4) {
        case 0:
            return {0.0, -1.0};
        case 1:
            return {-1.0, 0.0};
        case 2:
            return {0.0, 1.0};
        default:
            return {1.0, 0.0};
        }
    }
    const double radians = angle * std::numbers::pi / 180.0;
    return {std::sin(radians), std::cos(radians)};
}

double RotateX(double x, double y, double angle, double skewSine) {
    const SinCos sc = DegSinCos(angle);
    const double skewedY = y + std::abs(skewSine * x);
    return x * sc.cos + skewedY * sc.sin;
}

double RotateY(double x, double y, double angle, double skewSine) {
    const SinCos sc = DegSinCos(angle);
    const double skewedY = y + std::abs(skewSine * x);
    return -x * sc.sin + skewedY * sc.cos;
}

double PassAngle(int pass, bool hex, int rot) {
    if (!hex) {
        return pass == 0 ? -45.0 * rot : 180.0 - 45.0 * rot;
    }
    switch (pass) {
    case 0:
        return -30.0 * rot;
    case 1:
        return 120.0 - 30.0 * rot;
    default:
        return -120.0 - 30.0 * rot;
    }
}

double FacingSkew(double x, double y, double angle, bool tall, double skewAngle) {
    double skew = 0.0;
    if (std::abs(y) < 0.001 || (std::abs(x) > 0.001 && !tall)) {
        if (x < -0.001) {
            skew = skewAngle;
        } else if (x > 0.001) {
            skew = -skewAngle;
        }
    }
    return angle + skew;
}

QList<QPointF> MakeSquareShape(double s) {
    return {QPointF(-s, -s), QPointF(s, -s), QPointF(s, s), QPointF(-s, s), QPointF(-s, -s)};
}

QList<QPointF> RotateShape(const QList<QPointF>& points, double angle) {
    const SinCos sc = DegSinCos(angle);
    QList<QPointF> turned;
    turned.reserve(points.size());
    for (const QPointF& p : points) {
        turned.append(QPointF(p.x() * sc.cos + p.y() * sc.sin, -p.x() * sc.sin + p.y() * sc.cos));
    }
    return turned;
}

} // namespace modPrint
