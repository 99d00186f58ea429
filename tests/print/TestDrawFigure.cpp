#include "RecordingSurface.h"
#include "modPrint.h"

#include <QtTest>

using namespace modPrint;

namespace {

constexpr float kTpp = 15.0f;
// On paper a diagram line is 400 twips (7 mm) from the next; dancers are 300 twips (5.3 mm)
// across with noses of radius 37.5 twips, and their numbers 12 point. A dancer reaches 225 twips
// from its centre, nose included; a figure has 120 twips of room above and below.
constexpr double kUnit = 400;
constexpr double kReach = 225;
constexpr double kMargin = 120;

const QString kFourLines =
    QStringList{"       3GV   3BV     ", " 4B>               2G<", " 4G>               2B<", "       1B^   1G^     "}
        .join(QStringLiteral("\r\n"));
const QString kTwoGirls = QStringLiteral("1G^   2G<");

} // namespace

class TestDrawFigure : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // A figure drawn in a box at (100, 50): the height it takes, then every drawing call. On paper
    // a figure has one size (the box's height comes back as the figure's) unless the box is too
    // narrow or too low, when it shrinks across and down alike: a girl a white circle, a boy a
    // square of lines, a black nose on the side the dancer faces, its number in the middle. On
    // screen it fills its box less 5 % of the box's smaller side, each body filled in its couple's
    // colour, its corners kept between pixels.
    void drawn_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("colorMode");
        QTest::addColumn<QString>("note");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("drawn");
        const auto paper = [](const char* name, const QString& text, double width, double height, const char* drawn,
                              const char* note = "") {
            QTest::newRow(name) << text << false << QString(note) << width << height << QString(drawn);
        };
        const auto screen = [](const char* name, const QString& text, double width, double height, const char* drawn) {
            QTest::newRow(name) << text << true << QString() << width << height << QString(drawn);
        };
        paper("two boys", "2BV   4B>", 4000, 20000,
              "h 690, 12 pt; C 1700,582.5 r37.5 #000000; L 1850,245-1850,545; L 1850,545-1550,545; L "
              "1550,545-1550,245; L 1550,245-1850,245; P 1677.5,302.5 2; C 2687.5,395 r37.5 #000000; L "
              "2350,245-2650,245; L 2650,245-2650,545; L 2650,545-2350,545; L 2350,545-2350,245; P 2477.5,302.5 4");
        paper("two", kTwoGirls, 4000, 20000,
              "h 690, 12 pt; C 1700,207.5 r37.5 #000000; C 1700,395 r150 #ffffff; P 1677.5,302.5 1; C 2312.5,395 r37.5 "
              "#000000; C 2500,395 r150 #ffffff; P 2477.5,302.5 2");
        paper("two, narrow box", kTwoGirls, 745, 20000,
              "h 421.8, 4.848 pt; C 310.9,185.15 r15.15 #000000; C 310.9,260.9 r60.6 #ffffff; P 288.4,168.4 1; C "
              "558.35,260.9 r15.15 #000000; C 634.1,260.9 r60.6 #ffffff; P 611.6,168.4 2");
        paper("two, low box", kTwoGirls, 4000, 345,
              "h 277.8, 1.008 pt; C 2066.4,173.15 r3.15 #000000; C 2066.4,188.9 r12.6 #ffffff; P 2043.9,96.4 1; C "
              "2117.85,188.9 r3.15 #000000; C 2133.6,188.9 r12.6 #ffffff; P 2111.1,96.4 2");
        paper("two, turned ccw", kTwoGirls, 4000, 20000,
              "h 1255.69, 12 pt; C 1684.57,828.1 r37.5 #000000; C 1817.16,960.69 r150 #ffffff; P 1794.66,868.19 1; C "
              "2250.26,527.58 r37.5 #000000; C 2382.84,395 r150 #ffffff; P 2360.34,302.5 2",
              "(actual setup is 45 deg ccw from above)");
        paper("two, turned clockwise", kTwoGirls, 4000, 20000,
              "h 1255.69, 12 pt; C 1949.74,262.42 r37.5 #000000; C 1817.16,395 r150 #ffffff; P 1794.66,302.5 1; C "
              "2250.26,828.1 r37.5 #000000; C 2382.84,960.69 r150 #ffffff; P 2360.34,868.19 2",
              "(Actual setup is 45 deg clockwise from above)");
        screen("two, wide box", kTwoGirls, 7050, 3150,
               "h 3150, 27.216 pt; C 2717.8,1199.75 r85.05 #000000; C 2717.8,1625 r340.2 #ff0000; P 2695.3,1532.5 1; C "
               "4106.95,1625 r85.05 #000000; C 4532.2,1625 r340.2 #00ff00; P 4509.7,1532.5 2");
        screen("column, wide box", "1B^\r\n\r\n1G^", 7050, 3150,
               "h 3150, 27.216 pt; C 3625,292.55 r85.05 #000000; G #ff0000 3284.8,1058 3284.8,377.6 3965.2,377.6 "
               "3965.2,1058 3284.8,1058; P 3602.5,625.3 1; C 3625,2106.95 r85.05 #000000; C 3625,2532.2 r340.2 "
               "#ff0000; P 3602.5,2439.7 1");
    }
    void drawn() {
        QFETCH(QString, text);
        QFETCH(bool, colorMode);
        QFETCH(QString, note);
        QFETCH(double, width);
        QFETCH(double, height);
        RecordingSurface s(20000, 20000);
        double w = width;
        double h = height;
        DrawFigure(s, text, colorMode, 100, 50, w, h, false, false, {}, note, kTpp);
        QTEST(QStringLiteral("h %1, %2 pt; ").arg(h).arg(s.fontSize) + s.calls.join(QStringLiteral("; ")), "drawn");
    }

    // The squared set on paper: centred across the box, hung below the room at the top, its rows a
    // diagram line apart (two where blank lines come between).
    void printModeSquaredSet() {
        const double justHighEnough = 3 * kUnit + 2 * kReach + 2 * kMargin;
        // Text lines from one row of dancers to the next, and the box's height.
        for (const auto& [text, rowStep, boxHeight] :
             {std::tuple{kFourLines, 1, 20000.0}, {squaredSetText(), 2, 20000.0}, {kFourLines, 1, justHighEnough}}) {
            RecordingSurface s(20000, 20000, 100, 50);
            double w = 4000;
            double h = boxHeight;
            DrawFigure(s, text, false, 500, 700, w, h, false, false, {}, {}, kTpp);
            QCOMPARE(h, 3 * rowStep * kUnit + 2 * kReach + 2 * kMargin);
            // Each number centred on its dancer (half a pixel right and down): cell starts 7 and 13, 1
            // and 19 around the middle 10, on the middle (2,000 twips) of the box.
            QStringList numbers;
            const int cells[8][3] = {{3, 7, 0}, {3, 13, 0}, {4, 1, 1}, {2, 19, 1},
                                     {4, 1, 2}, {2, 19, 2}, {1, 7, 3}, {1, 13, 3}};
            for (const auto& [number, cell, row] : cells) {
                numbers.append(QStringLiteral("P %1,%2 %3")
                                   .arg(100 + 500 + 2000 + kUnit * (cell - 10) / 3.0 - 30 + 7.5)
                                   .arg(50 + 700 + kMargin + kReach + kUnit * rowStep * row - 100 + 7.5)
                                   .arg(number));
            }
            QCOMPARE(s.calls.filter(QRegularExpression(QStringLiteral("^P "))), numbers);
            QCOMPARE(s.calls.size(), 8 * 3 + 4 * 3);
        }
    }

    // The second half of the squared set (4G, 2B, 1B, 1G) three times, couples raised by 2 a pass.
    // Odd couples add item 0 (boys) or 1 (girls), even couples item 2 or 3; fewer than four
    // offsets, offsets wrapped once only, negative offsets.
    void hexagonNumbers() {
        for (const auto& [hexInfo, numbers] : {std::pair{"1,2,3", "4 2 1 1 6 4 3 3 2 6 5 5"},
                                               {"1,2,3,4", "2 5 2 3 4 1 4 5 6 3 6 1"},
                                               {"9,0,0,0", "4 2 4 1 6 4 6 3 2 6 8 5"},
                                               {"-5,0,0,0", "4 2 2 1 6 4 4 3 2 6 6 5"}}) {
            RecordingSurface s(4400, 4400);
            double w = 0;
            double h = 0;
            DrawFigure(s, squaredSetText(), true, 0, 0, w, h, false, true, hexInfo, {}, kTpp);
            QCOMPARE(s.calls.filter(QRegularExpression(QStringLiteral("^P ")))
                         .replaceInStrings(QRegularExpression(QStringLiteral("^P \\S+ ")), QString())
                         .join(QLatin1Char(' ')),
                     QString(numbers));
        }
    }
};

QTEST_GUILESS_MAIN(TestDrawFigure)
#include "TestDrawFigure.moc"
