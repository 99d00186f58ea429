#include "MarkupDelegate.h"

#include <QtTest>
#include <QtWidgets>

// Cells drawn through the markup have the size every other text of the window has, also on a
// screen scaled to 150 %: a plain cell beside a marked-up one (wrapped, or on one line with the
// note under it).
class TestMarkupScale : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void markupScalesWithTheScreen_data() {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrapped call") << true;
        QTest::newRow("call on one line") << false;
    }
    void markupScalesWithTheScreen() {
        QFETCH(bool, wrap);
        QCOMPARE(qApp->devicePixelRatio(), 1.5);
        QStandardItemModel model(1, 2);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("Heads pass thru")));
        model.setItem(0, 1, new QStandardItem(QStringLiteral("Heads {b pass} thru")));
        QTableView view;
        view.setModel(&model);
        MarkupDelegate markup;
        markup.setWrap(wrap);
        if (!wrap) {
            markup.setNoteSource([](int) { return QString(); });
        }
        view.setItemDelegateForColumn(1, &markup);
        view.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        view.resize(500, 120);
        view.setColumnWidth(0, 200);
        view.setColumnWidth(1, 200);
        view.resizeRowsToContents();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.viewport()->grab().toImage();
        // The rows of the cell holding dark ink, top to bottom, in device pixels.
        const auto inkHeight = [&](int column) {
            const QRect cell = view.visualRect(model.index(0, column));
            const qreal ratio = image.devicePixelRatio();
            const QRect part = QRect(cell.topLeft() * ratio, cell.size() * ratio).adjusted(1, 1, -2, -2);
            int first = -1, last = -1;
            for (int y = part.top(); y <= part.bottom(); ++y) {
                for (int x = part.left(); x <= part.right(); ++x) {
                    if (qGray(image.pixel(x, y)) < 128) {
                        first = first < 0 ? y : first;
                        last = y;
                        break;
                    }
                }
            }
            return first < 0 ? 0 : last - first + 1;
        };
        const int plain = inkHeight(0), drawn = inkHeight(1);
        QVERIFY2(plain > 15 * 1.5 && qAbs(drawn - plain) <= plain / 8,
                 qPrintable(QStringLiteral("markup %1 px, plain %2 px").arg(drawn).arg(plain)));
    }
};

int main(int argc, char** argv) {
    // The screen as a caller with a high-density display has it.
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    TestMarkupScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMarkupScale.moc"
