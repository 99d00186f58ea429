#include "MarkupDelegate.h"
#include "StateIcons.h"

#include <QPainter>
#include <QtTest>
#include <QtWidgets>
#include <cstdlib>
#include <functional>

namespace {

QImage render(int property) {
    return StateIcons::icon(property).pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of the part of a passing the test against the same place in b.
int countPixels(const QImage& a, const QImage& b, const QRect& part, const std::function<bool(QRgb, QRgb)>& test) {
    int count = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            count += test(a.pixel(x, y), b.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// The height of the ink in the part of image, in device pixels.
int inkHeight(const QImage& image, const QRect& part) {
    QList<int> rows;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        if (countPixels(image, image, QRect(part.left(), y, part.width(), 1),
                        [](QRgb pixel, QRgb) { return qGray(pixel) < 128; }) > 0) {
            rows.append(y);
        }
    }
    return rows.isEmpty() ? 0 : rows.last() - rows.first() + 1;
}

} // namespace

// How the list paints its rows: the state icons, and cells drawn through the markup, whose text has
// the size every other text of the window has, also on a screen scaled to 150 %.
class TestListPainting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each state's icon is built once, is sharp at every list size and double resolution, and inks
    // a sixteenth of its square at least: a mark that can be seen in the list. Image n of the list
    // is the icon of state n - 4; the numbers around the states have none.
    void iconOfEachState() {
        QVERIFY(StateIcons::image(StateIcons::FirstStateImage - 1).isNull());
        QVERIFY(StateIcons::image(StateIcons::FirstStateImage + StateIcons::StateCount).isNull());
        for (int property = 0; property < StateIcons::StateCount; ++property) {
            const QIcon first = StateIcons::icon(property);
            QCOMPARE(StateIcons::icon(property).cacheKey(), first.cacheKey());
            QCOMPARE(StateIcons::image(property + StateIcons::FirstStateImage).cacheKey(), first.cacheKey());
            for (const int size : {16, 20, 24, 32, 48}) {
                QCOMPARE(first.pixmap(QSize(size, size), 1.0).size(), QSize(size, size));
                QCOMPARE(first.pixmap(QSize(size, size), 2.0).size(), QSize(2 * size, 2 * size));
            }
            const QImage image = render(property);
            QVERIFY(countPixels(image, image, image.rect(), [](QRgb pixel, QRgb) { return qAlpha(pixel) > 128; }) >=
                    16);
        }
    }

    // Told apart by shape alone, over a light and a dark list: close to a tenth of the 256 pixels
    // differ visibly in brightness.
    void statesLookDifferent() {
        const auto differ = [](QRgb a, QRgb b) { return std::abs(qGray(a) - qGray(b)) > 32; };
        for (const QColor& background : {QColor(Qt::white), QColor(0x2b, 0x2b, 0x2b)}) {
            QList<QImage> grey;
            for (int state = 0; state < StateIcons::StateCount; ++state) {
                QImage canvas(16, 16, QImage::Format_ARGB32);
                canvas.fill(background);
                QPainter(&canvas).drawImage(0, 0, render(state));
                grey.append(canvas);
            }
            for (int a = 0; a < StateIcons::StateCount; ++a) {
                for (int b = a + 1; b < StateIcons::StateCount; ++b) {
                    const int differing = countPixels(grey[a], grey[b], grey[a].rect(), differ);
                    QVERIFY2(render(a) != render(b) && differing >= 24,
                             qPrintable(QStringLiteral("states %1 and %2: %3 pixels").arg(a).arg(b).arg(differing)));
                }
            }
        }
    }

    // A call beside a plain cell (wrapped, or on one line with the note under it), a title in the
    // list: the marked-up text is as large as the plain text.
    void markupScalesWithTheScreen_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("wrapped call") << 0;
        QTest::newRow("call on one line") << 1;
        QTest::newRow("title") << 2;
    }
    void markupScalesWithTheScreen() {
        QFETCH(int, kind);
        QCOMPARE(qApp->devicePixelRatio(), 1.5);
        QStandardItemModel model(1, 2);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("Heads pass thru")));
        model.setItem(0, 1, new QStandardItem(QStringLiteral("Heads {b pass} thru")));
        QTableView view;
        view.setModel(&model);
        MarkupDelegate markup;
        markup.setWrap(kind == 0);
        if (kind == 1) {
            markup.setNoteSource([](int) { return QString(); });
        }
        view.setItemDelegateForColumn(1, &markup);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(14);
        view.setFont(font);
        view.resize(500, 120);
        view.setColumnWidth(0, 200);
        view.setColumnWidth(1, 200);
        view.resizeRowsToContents();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.viewport()->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const auto cell = [&](int column) {
            const QRect rect = view.visualRect(model.index(0, column));
            return QRect(rect.topLeft() * ratio, rect.size() * ratio).adjusted(1, 1, -2, -2);
        };
        const int plain = inkHeight(image, cell(0));
        const int drawn = inkHeight(image, cell(1));
        QVERIFY2(plain > 15 * ratio && qAbs(drawn - plain) <= plain / 8,
                 qPrintable(QStringLiteral("markup %1 px, plain %2 px").arg(drawn).arg(plain)));
    }
};

int main(int argc, char** argv) {
    // The screen as a caller with a high-density display has it.
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    TestListPainting test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestListPainting.moc"
