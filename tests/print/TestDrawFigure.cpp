#include "FigureDiagram.h"
#include "RecordingSurface.h"
#include "modPrint.h"

#include <QtTest>
#include <cmath>
#include <numbers>

using namespace modPrint;

namespace {

constexpr float kTpp = 15.0f;
// Print mode: dancers of half side 6 pixels, noses of radius 1.55 pixels touching them.
constexpr double kPrintSz = 6 * 15.0;
constexpr double kPrintNose = 1.55 * 15.0;
// 30 twips per unit of the larger side W = 19/3 caps the print scale of a squared set.
constexpr double kScale = 30 * 19.0 / 3;

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

double unitX(const Dancer& d) {
    return d.col / 3.0 - 19.0 / 6;
}

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

    void printModeSquaredSet_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rowStep"); // text lines from one row of dancers to the next
        QTest::addColumn<int>("heightUnits");
        QTest::newRow("four lines") << kFourLines << 1 << 5;
        QTest::newRow("default squared set, blank lines between") << squaredSetText() << 2 << 8;
    }
    void printModeSquaredSet() {
        QFETCH(QString, text);
        QFETCH(int, rowStep);
        QFETCH(int, heightUnits);
        RecordingSurface s(20000, 20000, 100, 50);
        double w = 4000;
        double h = 3000;
        DrawFigure(s, text, false, 500, 700, w, h, false, false, {}, {}, kTpp);
        // The height used is (maxRow + 2) units; the width stays.
        QCOMPARE(h, heightUnits * kScale);
        QCOMPARE(w, 4000.0);
        // Centred across the box; the top row hangs 200 twips below the box top.
        const auto centre = [&](const Dancer& d) {
            return QPointF(100 + 500 + 2000 + kScale * unitX(d), 50 + 700 + 200 + kScale * rowStep * d.row);
        };
        QCOMPARE(missingDancer(s, centre, 0), QString());
        QCOMPARE(s.called(QStringLiteral("Line")).size(), 16);
        QCOMPARE(s.circles(kPrintNose).size(), 8);
        QCOMPARE(s.called(QStringLiteral("Polygon")).size(), 0);
        QCOMPARE(s.fillStyle, int(IDrawSurface::FillSolid));
        QCOMPARE(s.fontName, QStringLiteral("Arial"));
        QCOMPARE(s.fontSize, 9.0);
        QVERIFY(s.fontBold);
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
        double w = 4400;
        double h = 3400;
        DrawFigure(s, kFourLines, false, 0, 0, w, h, false, false, {}, note, kTpp);
        QCOMPARE(h, 3400.0); // centred vertically, the height is kept
        const auto centre = [&](const Dancer& d) {
            return QPointF(2200, 1700) + kScale * onPage(unitX(d), d.row - 1.5, turn);
        };
        QCOMPARE(missingDancer(s, centre, turn), QString());
    }

    void colourModeSizes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("sz");
        QTest::addColumn<double>("fontSize");
        QTest::addColumn<QString>("fontName");
        QTest::addColumn<double>("k");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<double>("facing");
        QTest::newRow("above 20 px") << "1G^" << 400.0 << 150.0 << 12.0 << "Arial" << 2.0 << QColor(255, 0, 0) << 90.0;
        QTest::newRow("20 px") << "3G<" << 300.0 << 120.0 << 10.0 << "Arial" << 1.8 << QColor(0, 255, 255) << 180.0;
        QTest::newRow("14 px") << "4G>" << 210.0 << 90.0 << 9.0 << "Arial" << 1.55 << QColor(255, 255, 0) << 0.0;
        QTest::newRow("above 8 px, other mark")
            << "5G?" << 150.0 << 90.0 << 9.0 << "Arial" << 1.55 << QColor(255, 0, 255) << 0.0;
        QTest::newRow("8 px") << "6G^" << 120.0 << 60.0 << 6.0 << "Terminal" << 1.1 << QColor(255, 128, 0) << 90.0;
        QTest::newRow("tiny, no couple") << "xG^" << 50.0 << 60.0 << 6.0 << "Terminal" << 1.1 << QColor(Qt::white)
                                         << 90.0;
    }
    void colourModeSizes() {
        QFETCH(QString, text);
        QFETCH(double, scale);
        QFETCH(double, sz);
        QFETCH(QString, fontName);
        QFETCH(double, k);
        QFETCH(QColor, fill);
        QFETCH(double, facing);
        RecordingSurface s(20000, 20000);
        // One dancer: no extent, so the scale is the box side less 400 and the dancer sits in the middle.
        double w = scale + 400;
        double h = scale + 400;
        DrawFigure(s, text, true, 0, 0, w, h, false, false, {}, {}, kTpp);
        const QPointF c(w / 2, h / 2);
        QVERIFY(hasCircle(s, c, sz, fill));
        QVERIFY(hasCircle(s, toward(c, facing, k * 15 + sz), k * 15, Qt::black));
        QVERIFY(hasNumber(s, c, text.left(1)));
        QTEST(s.fontSize, "fontSize");
        QCOMPARE(s.fontName, fontName);
        QCOMPARE(s.fontBold, fontName == QLatin1String("Arial"));
        QCOMPARE(h, scale + 400); // colour mode keeps the box
    }

    void colourModeBoyIsFilledPolygon() {
        RecordingSurface s(20000, 20000);
        double w = 800;
        double h = 800;
        DrawFigure(s, QStringLiteral("2B>"), true, 0, 0, w, h, false, false, {}, {}, kTpp);
        // Half side 150 around (400, 400): corners at 250 and 550 twips, kept between pixels.
        const auto polygons = s.called(QStringLiteral("Polygon"));
        QCOMPARE(polygons.size(), 1);
        QCOMPARE(polygons[0].corners, QList<QPointF>({{250, 250}, {550, 250}, {550, 550}, {250, 550}, {250, 250}}));
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
        // A zero box is the whole surface, written back; print mode returns (maxRow + 2) * s.
        QTest::newRow("no dancers, print") << "  x\r\n--" << false << false << 0.0 << 3000.0 << 0.0;
        QTest::newRow("empty, colour") << "" << true << false << 0.0 << 3000.0 << 2000.0;
        QTest::newRow("measure, print") << kFourLines << false << true << 1800.0 << 1800.0 << 5 * kScale;
        // A lone dancer has no extent: s = 1400, but a small figure counts as 8 units, so 30 * 8.
        QTest::newRow("measure, lone dancer") << "1G^" << false << true << 1800.0 << 1800.0 << 2 * 240.0;
    }
    void drawsNothing() {
        QFETCH(QString, text);
        QFETCH(bool, colorMode);
        QFETCH(bool, measure);
        QFETCH(double, box);
        RecordingSurface s(3000, 2000);
        double w = box;
        double h = box;
        DrawFigure(s, text, colorMode, 0, 0, w, h, measure, false, {}, {}, kTpp);
        QVERIFY(s.calls.isEmpty());
        QTEST(w, "width");
        QTEST(h, "height");
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
