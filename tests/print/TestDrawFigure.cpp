#include "FigureDiagram.h"
#include "RecordingSurface.h"
#include "modPrint.h"

#include <QtTest>
#include <cmath>
#include <numbers>

using namespace modPrint;

namespace {

constexpr float kTpp = 15.0f;
// On paper a diagram line is 400 twips (7 mm) from the next; dancers are 300 twips (5.3 mm)
// across with noses of radius 37.5 twips, and their numbers 12 point. A dancer reaches 225 twips
// from its centre, nose included; a figure has 120 twips of room above and below.
constexpr double kUnit = 400;
constexpr double kPrintSz = 150;
constexpr double kPrintNose = 37.5;
constexpr double kReach = 225;
constexpr double kMargin = 120;

const QString kFourLines =
    QStringList{"       3GV   3BV     ", " 4B>               2G<", " 4G>               2B<", "       1B^   1G^     "}
        .join(QStringLiteral("\r\n"));

struct Dancer {
    int col;
    int row;
    bool girl;
    double facing; // degrees added for ^ < V >
    QString number;
};

// The squared set in scan order: cell start, line, sex, facing, couple.
const QList<Dancer> kSquare = {{7, 0, true, -90, "3"},  {13, 0, false, -90, "3"}, {1, 1, false, 0, "4"},
                               {19, 1, true, 180, "2"}, {1, 2, true, 0, "4"},     {19, 2, false, 180, "2"},
                               {7, 3, false, 90, "1"},  {13, 3, true, 90, "1"}};

QPointF onPage(double x, double y, double degrees) { // turned counter-clockwise on a y-down page
    const double a = degrees * std::numbers::pi / 180;
    return {x * std::cos(a) + y * std::sin(a), -x * std::sin(a) + y * std::cos(a)};
}

QPointF toward(QPointF from, double degrees, double distance) {
    const double a = degrees * std::numbers::pi / 180;
    return from + QPointF(std::cos(a) * distance, -std::sin(a) * distance);
}

bool near(QPointF a, QPointF b) {
    return std::abs(a.x() - b.x()) < 1e-6 && std::abs(a.y() - b.y()) < 1e-6;
}

bool hasCircle(const RecordingSurface& s, QPointF c, double r, const QColor& fill) {
    for (const auto& call : s.circles(r)) {
        if (near(QPointF(call.args[0], call.args[1]), c) && call.fill == fill) {
            return true;
        }
    }
    return false;
}

// Four chained lines closing a square of half side sz around c.
bool hasSquare(const RecordingSurface& s, QPointF c, double sz) {
    const auto lines = s.called(QStringLiteral("Line"));
    for (qsizetype i = 0; i + 3 < lines.size(); i += 4) {
        bool ok =
            near(QPointF(lines[i].args[0], lines[i].args[1]), QPointF(lines[i + 3].args[2], lines[i + 3].args[3]));
        for (qsizetype j = i; j < i + 4; ++j) {
            const QPointF a(lines[j].args[0], lines[j].args[1]);
            const QPointF b(lines[j].args[2], lines[j].args[3]);
            ok = ok && std::abs(QLineF(c, a).length() - sz * std::sqrt(2.0)) < 1e-6 &&
                 std::abs(QLineF(a, b).length() - 2 * sz) < 1e-6;
        }
        if (ok) {
            return true;
        }
    }
    return false;
}

// The couple number is centred on the dancer, half a pixel right and down.
bool hasNumber(const RecordingSurface& s, QPointF c, const QString& text) {
    const QPointF at(c.x() - RecordingSurface::CharWidth * text.size() / 2 + 7.5,
                     c.y() - RecordingSurface::LineHeight / 2 + 7.5);
    for (const auto& call : s.called(QStringLiteral("Print"))) {
        if (call.text == text && near(QPointF(call.args[0], call.args[1]), at)) {
            return true;
        }
    }
    return false;
}

// The first print-mode dancer of the squared set that is not drawn as expected around centre(d)
// (white body, black nose on its facing side turned by turn, number in the middle); empty if none.
template <typename Centre> QString missingDancer(const RecordingSurface& s, Centre centre, double turn) {
    for (const Dancer& d : kSquare) {
        const QPointF c = centre(d);
        if (!(d.girl ? hasCircle(s, c, kPrintSz, Qt::white) : hasSquare(s, c, kPrintSz)) ||
            !hasCircle(s, toward(c, turn + d.facing, kPrintNose + kPrintSz), kPrintNose, Qt::black) ||
            !hasNumber(s, c, d.number)) {
            return QStringLiteral("%1%2 at %3,%4").arg(d.number, d.girl ? "G" : "B").arg(c.x()).arg(c.y());
        }
    }
    return {};
}

} // namespace

class TestDrawFigure : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rotationFlag_data() {
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("rot");
        QTest::newRow("clockwise") << "x (Actual setup is 45 deg clockwise from above)" << 1;
        QTest::newRow("ccw lower case") << "(actual setup is 45 deg ccw from above)" << -1;
        QTest::newRow("ccw and diagram phrase")
            << "(Actual setup is 45 deg ccw from above) Actual setup is 45 degrees clockwise from diagram above." << 1;
        QTest::newRow("without brackets") << "Actual setup is 45 deg ccw from above" << 0;
    }
    void rotationFlag() {
        QFETCH(QString, note);
        QTEST(modPrint::rotationFlag(note), "rot");
    }

    // On paper a figure has one size whatever its box: centred across the column, hung below the
    // room at the top, and as high as its rows, the dancers' reach and the room above and below.
    void printModeSquaredSet_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rowStep"); // text lines from one row of dancers to the next
        QTest::addColumn<double>("boxHeight");
        QTest::newRow("four lines") << kFourLines << 1 << 20000.0;
        QTest::newRow("default squared set, blank lines between") << squaredSetText() << 2 << 20000.0;
        QTest::newRow("four lines, box just high enough") << kFourLines << 1 << 3 * kUnit + 2 * kReach + 2 * kMargin;
    }
    void printModeSquaredSet() {
        QFETCH(QString, text);
        QFETCH(int, rowStep);
        QFETCH(double, boxHeight);
        RecordingSurface s(20000, 20000, 100, 50);
        double w = 4000;
        double h = boxHeight;
        DrawFigure(s, text, false, 500, 700, w, h, false, false, {}, {}, kTpp);
        QCOMPARE(h, 3 * rowStep * kUnit + 2 * kReach + 2 * kMargin);
        QCOMPARE(w, 4000.0);
        // The dancers' middle (half way from the first cell start to the last) on the box's middle.
        const auto centre = [&](const Dancer& d) {
            return QPointF(100 + 500 + 2000 + kUnit * (d.col - 10) / 3.0,
                           50 + 700 + kMargin + kReach + kUnit * rowStep * d.row);
        };
        QCOMPARE(missingDancer(s, centre, 0), QString());
        QCOMPARE(s.called(QStringLiteral("Line")).size(), 16);
        QCOMPARE(s.circles(kPrintNose).size(), 8);
        QCOMPARE(s.called(QStringLiteral("Polygon")).size(), 0);
        QCOMPARE(s.fillStyle, int(IDrawSurface::FillSolid));
        QCOMPARE(s.fontName, QStringLiteral("Arial"));
        QCOMPARE(s.fontSize, 12.0);
        QVERIFY(s.fontBold);
    }

    // A box narrower or lower than the figure at its size shrinks it, across and down alike, to
    // fit between the room on either side.
    void printedFigureShrinksToItsBox_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("narrow") << 1500.0 << 20000.0;
        QTest::newRow("low") << 4000.0 << 1000.0;
    }
    void printedFigureShrinksToItsBox() {
        QFETCH(double, width);
        QFETCH(double, height);
        RecordingSurface s(20000, 20000);
        double w = width;
        double h = height;
        DrawFigure(s, kFourLines, false, 0, 0, w, h, false, false, {}, {}, kTpp);
        QVERIFY(h <= height);
        const QRectF drawn = s.bounds();
        QVERIFY(drawn.left() >= kMargin && drawn.right() <= width - kMargin);
        QVERIFY(drawn.top() >= kMargin && drawn.bottom() <= h - kMargin);
        // One scale: the girls of couples 3 and 2 (four units across) four times as far apart
        // across as those of couples 2 and 4 are down (one line).
        QList<QPointF> girls;
        for (const auto& call : s.called(QStringLiteral("Circle"))) {
            if (call.fill == Qt::white) {
                girls.append(QPointF(call.args[0], call.args[1]));
            }
        }
        QCOMPARE(girls.size(), 4);
        QVERIFY(qAbs((girls[1] - girls[0]).x() - 4 * (girls[2] - girls[1]).y()) < 1e-6);
        QVERIFY((girls[2] - girls[1]).y() < kUnit);
    }

    void rotatedPrint_data() {
        QTest::addColumn<QString>("note");
        QTest::addColumn<double>("turn");
        QTest::newRow("ccw") << "(actual setup is 45 deg ccw from above)" << 45.0;
        QTest::newRow("clockwise") << "(Actual setup is 45 deg clockwise from above)" << -45.0;
    }
    void rotatedPrint() {
        QFETCH(QString, note);
        QFETCH(double, turn);
        RecordingSurface s(20000, 20000);
        double w = 8000;
        double h = 20000;
        DrawFigure(s, kFourLines, false, 0, 0, w, h, false, false, {}, note, kTpp);
        // The turned figure at the printed size, its height that of the turned figure.
        const QRectF drawn = s.bounds();
        QVERIFY(drawn.top() >= kMargin && drawn.bottom() <= h - kMargin);
        QVERIFY(drawn.height() > h - 2 * kMargin - 2 * kReach);
        const auto centre = [&](const Dancer& d) {
            const auto girl = s.circles(kPrintSz).front();
            return QPointF(girl.args[0], girl.args[1]) +
                   kUnit * onPage((d.col - kSquare[0].col) / 3.0, d.row - kSquare[0].row, turn);
        };
        QCOMPARE(missingDancer(s, centre, turn), QString());
    }

    // On screen a figure fills its panel less a margin of 5 % of the panel's smaller side, centred,
    // dancers and spacing to one scale; a panel larger by some factor draws everything larger by
    // that factor (as a screen scaled by 1.5 does).
    void colourFigureFillsItsPanel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        const QString twoLines = QStringLiteral(" 1G^   2G<   2B<   1BV\r\n\r\n 3B^   4B>   4G>   3GV");
        const QString column = QStringLiteral("1B^\r\n1G^\r\n2B^\r\n2G^\r\n3B^\r\n3G^\r\n4B^\r\n4G^");
        QTest::newRow("two lines, wide panel") << twoLines << 7050.0 << 3150.0;
        QTest::newRow("squared set, wide panel") << squaredSetText() << 7050.0 << 3150.0;
        QTest::newRow("column, wide panel") << column << 7050.0 << 3150.0;
        QTest::newRow("two lines, tall panel") << twoLines << 3150.0 << 7050.0;
    }
    void colourFigureFillsItsPanel() {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(double, height);
        QList<RecordingSurface> drawings;
        for (const double factor : {1.0, 1.5}) {
            RecordingSurface s(width * factor, height * factor);
            double w = 0;
            double h = 0;
            DrawFigure(s, text, true, 0, 0, w, h, false, false, {}, {}, kTpp);
            QCOMPARE(h, height * factor); // colour mode keeps the box
            drawings.append(s);
        }
        const double margin = 0.05 * std::min(width, height);
        const QRectF drawn = drawings[0].bounds();
        QVERIFY2(
            QRectF(margin, margin, width - 2 * margin, height - 2 * margin)
                .adjusted(-1e-6, -1e-6, 1e-6, 1e-6)
                .contains(drawn),
            qPrintable(
                QStringLiteral("%1,%2 %3x%4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())));
        QVERIFY(std::max(drawn.width() / (width - 2 * margin), drawn.height() / (height - 2 * margin)) > 0.85);
        QVERIFY((drawn.center() - QPointF(width / 2, height / 2)).manhattanLength() < 0.05 * std::min(width, height));
        // Everything scales alike: positions, sizes and the numbers' font.
        QCOMPARE(drawings[1].calls.size(), drawings[0].calls.size());
        for (qsizetype i = 0; i < drawings[0].calls.size(); ++i) {
            const auto& small = drawings[0].calls[i];
            const auto& large = drawings[1].calls[i];
            for (qsizetype a = 0; a < small.args.size() && small.op != QLatin1String("Print"); ++a) {
                QVERIFY(qAbs(large.args[a] - 1.5 * small.args[a]) < 1e-6);
            }
            for (qsizetype c = 0; c < small.corners.size(); ++c) {
                QVERIFY((large.corners[c] - 1.5 * small.corners[c]).manhattanLength() < 1e-6);
            }
        }
        QVERIFY(qAbs(drawings[1].fontSize - 1.5 * drawings[0].fontSize) < 1e-9);
    }

    void colourModeBoyIsFilledPolygon() {
        RecordingSurface s(20000, 20000);
        double w = 800;
        double h = 800;
        DrawFigure(s, QStringLiteral("2B>"), true, 0, 0, w, h, false, false, {}, {}, kTpp);
        // A square around (400, 400) in the couple's colour, its corners kept between pixels.
        const auto polygons = s.called(QStringLiteral("Polygon"));
        QCOMPARE(polygons.size(), 1);
        const QList<QPointF> corners = polygons[0].corners;
        QCOMPARE(corners.size(), 5);
        const double a = 400 - corners[0].x();
        QVERIFY(a > 10 && std::abs(a - std::round(a)) > 1e-6);
        QCOMPARE(
            corners,
            QList<QPointF>(
                {{400 - a, 400 - a}, {400 + a, 400 - a}, {400 + a, 400 + a}, {400 - a, 400 + a}, {400 - a, 400 - a}}));
        QCOMPARE(polygons[0].fill, QColor(0, 255, 0));
        QCOMPARE(s.called(QStringLiteral("Line")).size(), 0);
    }

    void drawsNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("colorMode");
        QTest::addColumn<bool>("measure");
        QTest::addColumn<double>("box");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        // A zero box is the whole surface, written back; print mode returns the height it takes.
        QTest::newRow("no dancers, print") << "  x\r\n--" << false << false << 0.0 << 3000.0 << 0.0;
        QTest::newRow("empty, colour") << "" << true << false << 0.0 << 3000.0 << 2000.0;
        // Three lines at the size that fits the width: 1,800 less the room, over 6 units and the reach.
        QTest::newRow("measure, narrow print")
            << kFourLines << false << true << 1800.0 << 1800.0
            << (1800 - 2 * kMargin) / (6 + 2 * kReach / kUnit) * (3 + 2 * kReach / kUnit) + 2 * kMargin;
        // A lone dancer has no extent, but is drawn at the printed size.
        QTest::newRow("measure, lone dancer") << "1G^" << false << true << 1800.0 << 1800.0 << 2 * kReach + 2 * kMargin;
    }
    void hexagonNumbers_data() {
        QTest::addColumn<QString>("hexInfo");
        QTest::addColumn<QString>("numbers");
        const auto row = [](const char* name, const char* hexInfo, const char* numbers) {
            QTest::newRow(name) << QString(hexInfo) << QString(numbers);
        };
        // The second half of the squared set (4G, 2B, 1B, 1G) three times, couples raised by 2 a pass.
        row("fewer than four", "1,2,3", "4 2 1 1 6 4 3 3 2 6 5 5");
        // Odd couples add item 0 (boys) or 1 (girls), even couples item 2 or 3.
        row("offsets", "1,2,3,4", "2 5 2 3 4 1 4 5 6 3 6 1");
        row("wrapped once only", "9,0,0,0", "4 2 4 1 6 4 6 3 2 6 8 5");
        row("negative", "-5,0,0,0", "4 2 2 1 6 4 4 3 2 6 6 5");
    }
    void hexagonNumbers() {
        QFETCH(QString, hexInfo);
        RecordingSurface s(4400, 4400);
        double w = 0;
        double h = 0;
        DrawFigure(s, squaredSetText(), true, 0, 0, w, h, false, true, hexInfo, {}, kTpp);
        QTEST(s.printed().join(QLatin1Char(' ')), "numbers");
    }
};

QTEST_GUILESS_MAIN(TestDrawFigure)
#include "TestDrawFigure.moc"
