#include "StateIcons.h"

#include <QPainter>
#include <QtTest>
#include <cstdlib>

namespace {

QImage render(int property, int size) {
    return StateIcons::icon(property).pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The icon as a caller without colour vision sees it: its brightness over the list background.
QImage greyOver(int property, const QColor& background) {
    QImage canvas(16, 16, QImage::Format_ARGB32);
    canvas.fill(background);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, render(property, 16));
    painter.end();
    return canvas;
}

// Pixels whose grey levels differ by more than a faint anti-aliasing shade.
int visiblyDifferentPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 32) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace

class TestStateIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void iconOfEachState_data();
    void iconOfEachState();
    void imageNumbers_data();
    void imageNumbers();
    void sharpAtDoubleResolution_data();
    void sharpAtDoubleResolution();
    void statesLookDifferent_data();
    void statesLookDifferent();
};

void TestStateIcons::iconOfEachState_data() {
    QTest::addColumn<int>("property");
    for (int p = 0; p < StateIcons::StateCount; ++p) {
        QTest::addRow("state %d", p) << p;
    }
}

void TestStateIcons::iconOfEachState() {
    QFETCH(int, property);
    const QIcon first = StateIcons::icon(property);
    QVERIFY(!first.isNull());
    QCOMPARE(StateIcons::icon(property).cacheKey(), first.cacheKey());

    const QImage image = render(property, 16);
    QCOMPARE(image.size(), QSize(16, 16));
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    // A sixteenth of the square at least: a mark that can be seen in the list.
    QVERIFY2(inked >= 16, qPrintable(QStringLiteral("only %1 visible pixels").arg(inked)));
}

void TestStateIcons::imageNumbers_data() {
    QTest::addColumn<int>("imageNumber");
    for (const int n : {-1, 0, 1, 2, 3, 4, 5, 10, 17, 18, 19, 100}) {
        QTest::addRow("image %d", n) << n;
    }
}

void TestStateIcons::imageNumbers() {
    QFETCH(int, imageNumber);
    const int property = imageNumber - 4;
    const QIcon image = StateIcons::image(imageNumber);
    if (property < 0 || property >= StateIcons::StateCount) {
        QVERIFY(image.isNull());
        QVERIFY(StateIcons::icon(property).isNull());
    } else {
        QVERIFY(!image.isNull());
        QCOMPARE(image.cacheKey(), StateIcons::icon(property).cacheKey());
    }
}

void TestStateIcons::sharpAtDoubleResolution_data() {
    QTest::addColumn<int>("size");
    for (const int size : {16, 20, 24, 32, 48}) {
        QTest::addRow("%d px", size) << size;
    }
}

void TestStateIcons::sharpAtDoubleResolution() {
    QFETCH(int, size);
    for (int p = 0; p < StateIcons::StateCount; ++p) {
        QCOMPARE(StateIcons::icon(p).pixmap(size, size).size(), QSize(size, size));
        const QPixmap hiDpi = StateIcons::icon(p).pixmap(QSize(size, size), 2.0);
        QCOMPARE(hiDpi.size(), QSize(2 * size, 2 * size));
    }
}

void TestStateIcons::statesLookDifferent_data() {
    QTest::addColumn<QColor>("background");
    QTest::newRow("light list") << QColor(Qt::white);
    QTest::newRow("dark list") << QColor(0x2b, 0x2b, 0x2b);
}

void TestStateIcons::statesLookDifferent() {
    QFETCH(QColor, background);
    for (int a = 0; a < StateIcons::StateCount; ++a) {
        for (int b = a + 1; b < StateIcons::StateCount; ++b) {
            QVERIFY2(render(a, 16) != render(b, 16), qPrintable(QStringLiteral("states %1 and %2").arg(a).arg(b)));
            // Told apart by shape alone: close to a tenth of the 256 pixels differ in brightness.
            const int differing = visiblyDifferentPixels(greyOver(a, background), greyOver(b, background));
            QVERIFY2(differing >= 24,
                     qPrintable(QStringLiteral("states %1 and %2 differ in %3 pixels").arg(a).arg(b).arg(differing)));
        }
    }
}

QTEST_MAIN(TestStateIcons)
#include "TestStateIcons.moc"
