#include "MarkupDelegate.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The height of the ink in the part of image, in device pixels.
int inkHeight(const QImage& image, const QRect& part) {
    int top = image.height();
    int bottom = -1;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    return bottom - top + 1;
}

} // namespace

// The list cells drawn through the markup: their text has the size every other text of the
// window has, also on a screen scaled to 150 %.
class TestMarkupDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A call beside a plain cell (wrapped, or on one line with the note under it), a title in the
    // list: the marked-up text is as large as the plain text.
    void scalesWithTheScreen_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("wrapped call") << 0;
        QTest::newRow("call on one line") << 1;
        QTest::newRow("title") << 2;
    }
    void scalesWithTheScreen() {
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
    TestMarkupDelegate test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMarkupDelegate.moc"
