#include "modPrint.h"

#include "ErrorInfo.h"
#include "IDrawSurface.h"
#include "modSystem.h"

#include <QColor>
#include <QStringList>
#include <cmath>
#include <exception>
#include <numbers>

namespace modPrint {

namespace {

const QString kProcName = QStringLiteral("modPrint.DrawFigure");

// Dancer size (half a boy's side, a girl's radius), number font and nose factor.
struct DancerStyle {
    double sz = 0.0;
    int fontSize = 9;
    QString fontName;
    bool bold = true;
    double k = 1.55;
};

// Everything one drawing pass needs about the figure and its box.
struct FigurePlacement {
    IDrawSurface& target;
    bool colorMode;
    bool hexMode;
    QStringList hexItems;
    float s;
    double t;
    double left;
    double top;
    double boxWidth;
    double boxHeight;
    double tpp;
    double skewSine;
    double skewAngle;
    bool tall;
    DancerStyle style;
    QList<QPointF> square;
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

DancerStyle styleFor(bool colorMode, double s, double tpp) {
    DancerStyle style;
    style.fontName = QStringLiteral("Arial");
    if (!colorMode) {
        style.sz = roundEven(6 * tpp);
    } else if (s > 20 * tpp) {
        style = {roundEven(10 * tpp), 12, style.fontName, true, 2.0};
    } else if (s > 14 * tpp) {
        style = {roundEven(8 * tpp), 10, style.fontName, true, 1.8};
    } else if (s > 8 * tpp) {
        style = {roundEven(6 * tpp), 9, style.fontName, true, 1.55};
    } else {
        style = {roundEven(4 * tpp), 6, QStringLiteral("Terminal"), false, 1.1};
    }
    return style;
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
    const double cx = target.ScaleLeft() + place.left + place.s * rx + place.boxWidth / 2;
    const double cy = target.ScaleTop() + place.top + place.s * ry + place.boxHeight / 2 - place.t;

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

    const bool isDancer = dancer.Kind != 0;
    const double sz = place.style.sz;
    if (isDancer) {
        const double k = place.style.k * place.tpp;
        const SinCos nose = DegSinCos(fa);
        target.setFillColor(QColor(0, 0, 0));
        target.Circle(cx + nose.cos * (k + sz), cy - nose.sin * (k + sz), k);
    }
    const QString text = isDancer ? numberText(dancer, pass, place) : QString();
    target.setFillColor(place.colorMode ? coupleColor(text) : QColor(255, 255, 255));
    if (!isDancer) {
        target.setFillColor(QColor(127, 127, 127));
        target.Circle(cx, cy, 2 * place.tpp);
        return;
    }
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

void drawDancers(FigurePlacement& place, const FigureDiagram& diagram, int rot) {
    IDrawSurface& target = place.target;
    target.setFontName(place.style.fontName);
    target.setFontBold(place.style.bold);
    target.setFontSize(place.style.fontSize);
    place.square = MakeSquareShape(place.style.sz);

    const qsizetype count = diagram.dancers.size();
    // In hexagon mode every pass draws only the second half of the entries (1-based first entry).
    const qsizetype first = place.hexMode ? static_cast<qsizetype>(roundEven(count / 2.0 + 1)) : 1;
    const int passes = place.hexMode ? 3 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const double a = roundEven(PassAngle(pass, place.hexMode, rot));
        for (qsizetype i = first; i <= count; ++i) {
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
        const double f = hexMode ? 0.75 : 1.0;

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
        float s = 0.0f;
        if (!diagram.dancers.isEmpty()) {
            const double m = std::min((boxWidth - 400) * f, (boxHeight - 400) * f);
            const double d2 = diagram.W * diagram.W + diagram.H * diagram.H;
            s = static_cast<float>(d2 > 0 ? m / std::sqrt(d2) : m);

            double t = 0.0;
            if (!colorMode) {
                const double dim = diagram.dim < 6 ? 8.0 : diagram.dim;
                if (s / dim >= 30) {
                    s = static_cast<float>(30 * dim);
                }
                // An upright square figure hangs 200 twips below the box top instead of being centred.
                if (!hexMode && rot == 0) {
                    t = boxHeight / 2 - s * diagram.H / 2 - 200;
                }
            }
            if (!measureOnly) {
                FigurePlacement place{target,
                                      colorMode,
                                      hexMode,
                                      hexMode ? hexInfo.split(QLatin1Char(',')) : QStringList(),
                                      s,
                                      t,
                                      offsetX,
                                      offsetY,
                                      boxWidth,
                                      boxHeight,
                                      twipsPerPixel,
                                      hexMode ? hexSkewSine() : 0.0,
                                      hexMode ? HexSkewAngle : 0.0,
                                      diagram.tall,
                                      styleFor(colorMode, s, twipsPerPixel),
                                      {}};
                drawDancers(place, diagram, rot);
            }
        }
        if (!colorMode && !hexMode && rot == 0) {
            boxHeight = static_cast<float>((diagram.maxRow + 2) * s);
        }
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
