#include "RecordingPaintDevice.h"
#include "Twips.h"
#include "modGraphics.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtTest>

using namespace modGraphics;

namespace {

const QColor kBaseColor(10, 20, 30);
const QFont kFont(QStringLiteral("Arial"), 10);
constexpr qreal kLeft = 300;
constexpr qreal kTop = 600;
constexpr qreal kMargin = 3 * 15.0; // three pixels of 15 twips

// A twips painter on a recording device, holding the base font and pen as a grid cell's painter would.
struct Canvas {
    RecordingPaintDevice device;
    QPainter painter{&device};
    Canvas() {
        Twips::setTwipsTransform(painter);
        painter.setPen(kBaseColor);
        painter.setFont(baseLevelFont(painter, kFont));
    }
    qreal lineHeight() const { return QFontMetricsF(painter.font(), &device).height(); }
    const QList<RecordingPaintDevice::Item>& items() const { return device.items(); }
};

// Runs as "text:styles", styles b i u s and a colour when it differs from the entry pen's; '|'
// before a run right of the last on its baseline (bold and plain baselines may differ by less than
// a pixel), '/' before one at the left edge one line of the entry font down, '?' before any other.
QString describe(const Canvas& canvas) {
    QString runs;
    QPointF last(-1, -1);
    for (const auto& item : canvas.items()) {
        const QPointF at = item.position;
        const bool lineStart =
            at.x() == kLeft + kMargin && (last.x() < 0 || qAbs(at.y() - last.y() - canvas.lineHeight()) < 15);
        runs += last.x() < 0                                        ? (lineStart ? "" : "?")
                : qAbs(at.y() - last.y()) < 15 && at.x() > last.x() ? "|"
                : lineStart                                         ? "/"
                                                                    : "?";
        runs += item.text + QLatin1Char(':') + (item.font.bold() ? "b" : "") + (item.font.italic() ? "i" : "") +
                (item.font.underline() ? "u" : "") + (item.font.strikeOut() ? "s" : "") +
                (item.color != kBaseColor ? item.color.name() : QString());
        last = at;
    }
    return runs;
}

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What RemoveMarkup leaves and the runs TextOut draws in a box of the given width ("*": too many
    // to list). Every character of the text runs (and any unmatched "}") reaches the surface inside
    // the box, whatever its width: a run after a wrapped one goes on
    // where that one ended (it was once drawn in a box of no width). MeasureTextOut draws nothing
    // and gives the height TextOut returns.
    void markup_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<qreal>("width");
        const auto row = [](const char* name, const QString& text, const char* plain, const char* runs,
                            qreal width = 20000) {
            QTest::newRow(name) << text << QString(plain) << QString(runs) << width;
        };
        row("bold then base", "{b x}y", "xy", "x:b|y:");
        row("no tag before the blank", "{b{i x}}", "{b{i x", "{b{i :|x:|}:|}:");
        row("lone brace", "{ x}", "{ x", "{ :|x:|}:");
        row("capital letter", "{B x}", "{B x", "{B :|x:|}:");
        row("unmatched close", "a}b", "ab", "a:|}:|b:");
        row("red at the end", "x {red", "x {red", "x :|{red:");
        row("levels nest", "{red {b x}y}z", "xyz", "x:b#ff0000|y:#ff0000|z:");
        row("styles", "{u {s {i a}}}", "a", "a:ius");
        const char* colours = "a:#000000|b:#ffffff|c:#ff0000|d:#ffff00|e:#0000ff|f:#00ff00|g:#ff00ff|h:#00ffff";
        row("short colours", "{bk a}{wh b}{rd c}{yl d}{bl e}{gr f}{mg g}{cy h}", "abcdefgh", colours);
        row("line feed to the left edge", "{b x}y\ncd", "xycd", "x:b|y:/cd:");
        row("line feed keeps the level", "{rd a\nb}c", "abc", "a:#ff0000/b:#ff0000|c:");
        const QString comment = QStringLiteral("HEADS { this is an inserted comment } lead right");
        const QString styled = QStringLiteral("{b Heads} square thru four, {red touch a quarter} and {i scoot back}");
        for (const qreal width : {600.0, 2500.0}) {
            QTest::addRow("comment in %d twips", int(width))
                << comment << "HEADS { this is an inserted comment  lead right"
                << "*" << width;
            QTest::addRow("styled runs in %d twips", int(width))
                << styled << "Heads square thru four, touch a quarter and scoot back"
                << "*" << width;
        }
        const QString japanese = QStringLiteral("ヘッズ・スクエア・スルー・フォー・タッチ・ア・クォーター");
        QTest::newRow("Japanese without blanks") << japanese << japanese << "*" << 900.0;
    }
    void markup() {
        QFETCH(QString, text);
        QFETCH(QString, runs);
        QFETCH(qreal, width);
        QTEST(RemoveMarkup(text), "plain");
        Canvas canvas;
        const QFont entry = canvas.painter.font();
        const qreal measured = MeasureTextOut(canvas.painter, text, kLeft, kTop, kLeft + width, kTop + 20000, kFont);
        QVERIFY(canvas.items().isEmpty());
        QCOMPARE(TextOut(canvas.painter, text, kLeft, kTop, kLeft + width, kTop + 20000, kFont), measured);
        QCOMPARE(canvas.painter.font(), entry);
        QCOMPARE(canvas.items().front().font.pixelSize(), 200); // 10 points of 20 twips
        QString drawn;
        for (const auto& item : canvas.items()) {
            drawn += item.text;
            const qreal advance = QFontMetricsF(item.font, &canvas.device).horizontalAdvance(item.text.trimmed());
            QVERIFY2(item.position.x() >= kLeft && item.position.x() + advance <= kLeft + width + 15,
                     qPrintable(QStringLiteral("\"%1\" at %2").arg(item.text).arg(item.position.x())));
        }
        // Stray closing braces are drawn, though the plain text leaves them out.
        const auto squeezed = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("[\\s}]"))); };
        QCOMPARE(squeezed(drawn), squeezed(RemoveMarkup(text)));
        QCOMPARE(runs == QLatin1String("*") ? runs : describe(canvas), runs);
        // A row margin of 4 pixels lowers the text by half of it.
        const qsizetype count = canvas.items().size();
        TextOut(canvas.painter, text, kLeft, kTop, kLeft + width, kTop + 20000, kFont, 4);
        QCOMPARE(canvas.items()[count].position.y() - canvas.items()[0].position.y(), 2 * 15.0);
    }
};

QTEST_MAIN(TestMarkup)
#include "TestMarkup.moc"
