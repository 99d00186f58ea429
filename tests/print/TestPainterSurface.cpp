#include "PainterSurface.h"
#include "Twips.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

class TestPainterSurface : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsInTwips() {
        QImage image(300, 200, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780); // 96 dots per inch: 15 twips per pixel
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        Twips::setTwipsTransform(painter);
        PainterSurface surface(painter);
        QCOMPARE(surface.ScaleWidth(), 300 * 15.0);
        QCOMPARE(surface.ScaleHeight(), 200 * 15.0);

        surface.setFillStyle(IDrawSurface::FillSolid);
        surface.setFillColor(QColor(255, 0, 0));
        surface.Circle(1500, 1500, 300); // pixel (100, 100), radius 20 pixels
        surface.setFillColor(QColor(0, 0, 255));
        surface.Polygon({{200, 20}, {240, 20}, {240, 60}, {200, 60}, {200, 20}});
        surface.setCurrentX(0);
        surface.setCurrentY(2700);
        surface.Line(4500, 2700); // pixel row 180
        surface.setFontSize(9);
        const double width = surface.TextWidth(QStringLiteral("12"));
        painter.end();

        QCOMPARE(image.pixelColor(100, 100), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(100, 125), QColor(Qt::white));
        QCOMPARE(image.pixelColor(220, 40), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(150, 180), QColor(Qt::black));
        QCOMPARE(image.pixelColor(150, 178), QColor(Qt::white));
        // A 9-point font is 180 twips high; two digits are some hundreds of twips wide.
        QVERIFY(width > 90 && width < 360);
    }
};

QTEST_MAIN(TestPainterSurface)
#include "TestPainterSurface.moc"
