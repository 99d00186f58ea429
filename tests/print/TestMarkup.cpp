#include "RecordingPaintDevice.h"
#include "Twips.h"
#include "modGraphics.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtTest>

using namespace modGraphics;

namespace {

const QColor kBaseColor(10, 20, 30);
constexpr qreal kLeft = 300;
constexpr qreal kTop = 600;
constexpr qreal kMargin = 3 * 15.0; // three pixels of 15 twips

// Runs as "text:styles", styles b i u s and a colour when it differs from the entry pen's.
QString describe(const QList<RecordingPaintDevice::Item>& items) {
    QStringList runs;
    for (const auto& item : items) {
        QString style = QString(item.font.bold() ? "b" : "") + (item.font.italic() ? "i" : "") +
                        (item.font.underline() ? "u" : "") + (item.font.strikeOut() ? "s" : "");
        if (item.color != kBaseColor) {
            style += item.color.name();
        }
        runs.append(item.text + QLatin1Char(':') + style);
    }
    return runs.join(QLatin1Char('|'));
}

// A twips painter holding the base font and pen, as a grid cell's painter would.
void prepare(QPainter& painter, const QFont& font) {
    Twips::setTwipsTransform(painter);
    painter.setPen(kBaseColor);
    painter.setFont(baseLevelFont(painter, font));
}

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void removeMarkup_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("bold then base") << "{b x}y"
                                        << "xy";
        QTest::newRow("no tag before the blank") << "{b{i x}}"
                                                 << "{b{i x";
        QTest::newRow("unmatched close") << "a}b"
                                         << "ab";
        QTest::newRow("red at the end") << "x {red"
                                        << "x {red";
        QTest::newRow("capital letter") << "{B x}"
                                        << "{B x";
        QTest::newRow("plain") << "plain text"
                               << "plain text";
        QTest::newRow("nested long names") << "{bold {italic two} words}"
                                           << "two words";
        QTest::newRow("line feed") << "{rd a\nb}c"
                                   << "abc";
        QTest::newRow("lone brace") << "{ x}"
                                    << "{ x";
    }
    void removeMarkup() {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QCOMPARE(RemoveMarkup(text), plain);
    }

    void textOutRuns_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("runs");
        QTest::newRow("bold then base") << "{b x}y"
                                        << "x:b|y:";
        QTest::newRow("no tag before the blank") << "{b{i x}}"
                                                 << "{b{i :|x:|}:|}:";
        QTest::newRow("unmatched close") << "a}b"
                                         << "a:|}:|b:";
        QTest::newRow("red at the end") << "x {red"
                                        << "x :|{red:";
        QTest::newRow("capital letter") << "{B x}"
                                        << "{B :|x:|}:";
        QTest::newRow("plain") << "plain text"
                               << "plain text:";
        QTest::newRow("levels nest") << "{red {b x}y}z"
                                     << "x:b#ff0000|y:#ff0000|z:";
        QTest::newRow("styles") << "{u {s {i a}}}"
                                << "a:ius";
        QTest::newRow("long style names") << "{bold {italic {underline {strikeout a}}}}"
                                          << "a:bius";
        QTest::newRow("short colours") << "{bk a}{wh b}{rd c}{yl d}{bl e}{gr f}{mg g}{cy h}"
                                       << "a:#000000|b:#ffffff|c:#ff0000|d:#ffff00|e:#0000ff|f:#00ff00|g:#ff00ff|"
                                          "h:#00ffff";
        QTest::newRow("long colours") << "{black a}{white b}{red c}{yellow d}{blue e}{green f}{magenta g}{cyan h}"
                                      << "a:#000000|b:#ffffff|c:#ff0000|d:#ffff00|e:#0000ff|f:#00ff00|g:#ff00ff|"
                                         "h:#00ffff";
        QTest::newRow("line feed keeps the level") << "{b a\nb}"
                                                   << "a:b|b:b";
    }
    void textOutRuns() {
        QFETCH(QString, text);
        QFETCH(QString, runs);
        RecordingPaintDevice device;
        QPainter painter(&device);
        prepare(painter, QFont(QStringLiteral("Arial"), 10));
        TextOut(painter, text, kLeft, kTop, 20000, 5000, QFont(QStringLiteral("Arial"), 10));
        QCOMPARE(describe(device.items()), runs);
    }

    void placesRuns() {
        RecordingPaintDevice device;
        QPainter painter(&device);
        prepare(painter, QFont(QStringLiteral("Arial"), 10));
        const QFont entry = painter.font();
        const qreal lineHeight = QFontMetricsF(entry, &device).height();
        TextOut(painter, QStringLiteral("{b x}y\ncd"), kLeft, kTop, 20000, 5000, QFont(QStringLiteral("Arial"), 10));
        QCOMPARE(painter.font(), entry);
        const auto& items = device.items();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[2].font.pixelSize(), 200); // 10 points of 20 twips
        QCOMPARE(items[0].position.x(), kLeft + kMargin);
        QVERIFY(items[1].position.x() > items[0].position.x());
        // Same line: the baselines of a bold and a plain run may differ by less than a pixel.
        QVERIFY(qAbs(items[1].position.y() - items[0].position.y()) < 15);
        // The line feed goes back to the left edge, one line of the entry font down.
        QCOMPARE(items[2].position.x(), kLeft + kMargin);
        QVERIFY(qAbs(items[2].position.y() - (items[1].position.y() + lineHeight)) < 15);
    }

    void rowMarginLowersTheText() {
        RecordingPaintDevice device;
        QPainter painter(&device);
        prepare(painter, QFont(QStringLiteral("Arial"), 10));
        TextOut(painter, QStringLiteral("x"), kLeft, kTop, 20000, 5000, QFont(QStringLiteral("Arial"), 10), 0);
        TextOut(painter, QStringLiteral("x"), kLeft, kTop, 20000, 5000, QFont(QStringLiteral("Arial"), 10), 4);
        QCOMPARE(device.items().size(), 2);
        QCOMPARE(device.items()[1].position.y() - device.items()[0].position.y(), 2 * 15.0); // half of 4 pixels
    }

    void wrapsAndMeasures() {
        RecordingPaintDevice device;
        QPainter painter(&device);
        prepare(painter, QFont(QStringLiteral("Arial"), 10));
        const QString text = QStringLiteral("one two three four five six seven eight nine ten");
        const QFont font(QStringLiteral("Arial"), 10);
        const qreal lineHeight = QFontMetricsF(painter.font(), &device).height();
        const qreal measured = MeasureTextOut(painter, text, kLeft, kTop, kLeft + 1500, 5000, font);
        QVERIFY(device.items().isEmpty());
        QCOMPARE(TextOut(painter, text, kLeft, kTop, kLeft + 1500, 5000, font), measured);
        const auto& lines = device.items();
        QVERIFY(lines.size() >= 3);
        // Text layout places lines on a 1/64 grid, so the sum of the lines may differ by a fraction.
        QVERIFY(std::abs(measured - lineHeight * lines.size()) < 1.0);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QCOMPARE(lines[i].position.x(), kLeft + kMargin);
            QVERIFY(std::abs(lines[i].position.y() - lines[i - 1].position.y() - lineHeight) < 0.5);
        }
    }

    void drawTextRectBoundsTheText() {
        RecordingPaintDevice device;
        QPainter painter(&device);
        prepare(painter, QFont(QStringLiteral("Arial"), 10));
        QRectF rect(kLeft, kTop, 20000, 5000);
        QCOMPARE(DrawTextRect(painter, QStringLiteral("abc"), rect), 3);
        QCOMPARE(rect.top(), kTop);
        QCOMPARE(rect.height(), QFontMetricsF(painter.font(), &device).height());
        QVERIFY(rect.right() > kLeft && rect.right() < kLeft + 20000);
        QCOMPARE(device.items().size(), 1);
    }
};

QTEST_MAIN(TestMarkup)
#include "TestMarkup.moc"
