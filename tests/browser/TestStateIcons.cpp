#include "StateIcons.h"

#include <QPainter>
#include <QtTest>
#include <cstdlib>
#include <functional>

namespace {

QImage render(int property, int size = 16) {
    return StateIcons::icon(property).pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The icon as a caller without colour vision sees it: its brightness over the list background.
QImage greyOver(int property, const QColor& background) {
    QImage canvas(16, 16, QImage::Format_ARGB32);
    canvas.fill(background);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, render(property));
    painter.end();
    return canvas;
}

// Pixels passing the test at the same place in a and b.
int countPixels(const QImage& a, const QImage& b, const std::function<bool(QRgb, QRgb)>& test) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += test(a.pixel(x, y), b.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class TestStateIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each state's icon is built once, is sharp at every list size and double resolution, and inks
    // a sixteenth of its square at least: a mark that can be seen in the list.
    void iconOfEachState_data() {
        QTest::addColumn<int>("property");
        for (int p = 0; p < StateIcons::StateCount; ++p) {
            QTest::addRow("state %d", p) << p;
        }
    }
    void iconOfEachState() {
        QFETCH(int, property);
        const QIcon first = StateIcons::icon(property);
        QVERIFY(!first.isNull());
        QCOMPARE(StateIcons::icon(property).cacheKey(), first.cacheKey());
        // Image n of the list is the icon of state n - 4; the numbers around the states have none.
        QCOMPARE(StateIcons::image(property + StateIcons::FirstStateImage).cacheKey(), first.cacheKey());
        QVERIFY(StateIcons::image(StateIcons::FirstStateImage - 1).isNull());
        QVERIFY(StateIcons::image(StateIcons::FirstStateImage + StateIcons::StateCount).isNull());
        for (const int size : {16, 20, 24, 32, 48}) {
            QCOMPARE(first.pixmap(size, size).size(), QSize(size, size));
            QCOMPARE(first.pixmap(QSize(size, size), 2.0).size(), QSize(2 * size, 2 * size));
        }
        const QImage image = render(property);
        const int inked = countPixels(image, image, [](QRgb pixel, QRgb) { return qAlpha(pixel) > 128; });
        QVERIFY2(inked >= 16, qPrintable(QStringLiteral("only %1 visible pixels").arg(inked)));
    }

    void statesLookDifferent_data() {
        QTest::addColumn<QColor>("background");
        QTest::newRow("light list") << QColor(Qt::white);
        QTest::newRow("dark list") << QColor(0x2b, 0x2b, 0x2b);
    }
    void statesLookDifferent() {
        QFETCH(QColor, background);
        // Told apart by shape alone: close to a tenth of the 256 pixels differ visibly in brightness.
        const auto differ = [](QRgb a, QRgb b) { return std::abs(qGray(a) - qGray(b)) > 32; };
        for (int a = 0; a < StateIcons::StateCount; ++a) {
            for (int b = a + 1; b < StateIcons::StateCount; ++b) {
                const int differing = countPixels(greyOver(a, background), greyOver(b, background), differ);
                QVERIFY2(
                    render(a) != render(b) && differing >= 24,
                    qPrintable(QStringLiteral("states %1 and %2 differ in %3 pixels").arg(a).arg(b).arg(differing)));
            }
        }
    }
};

QTEST_MAIN(TestStateIcons)
#include "TestStateIcons.moc"
