#include "IDrawSurface.h"
#include "PrintFixture.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "clsPrinter.h"

#include <QtTest>

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kLeft = 10 * kTwipsPerMm;

} // namespace

// The page device in preview mode on A4 with 10 mm margins and two columns.
class TestClsPrinter : public QObject {
    Q_OBJECT

private:
    void startTwoColumns() {
        m_printer = std::make_unique<clsPrinter>();
        m_printer->setPreview(true);
        m_printer->ColumnSpace = 100;
        m_printer->StartDoc();
        m_printer->ColumnWidth = (m_printer->ScaleWidth() - m_printer->CurrentX()) / 2 - 400;
    }
    double pitch() const { return m_printer->ColumnWidth + 2 * m_printer->ColumnSpace; }
    QList<RecordedPage> finish() {
        m_printer->EndDoc();
        return recordPages(m_printer->pages(), kLeft, pitch());
    }
    double lineHeight() { return m_printer->measureText(QStringLiteral("x")); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<clsPrinter> m_printer;

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        startTwoColumns();
    }
    void cleanup() {
        m_printer.reset();
        QVERIFY2(m_box->prompts.isEmpty(), qPrintable(m_box->prompts.join(QLatin1Char('\n'))));
        m_box.reset();
        m_home.reset();
    }

    void emptyTextPrintsOneBlankLine() {
        const double top = m_printer->CurrentY();
        m_printer->TextOut(QString());
        QVERIFY(m_printer->LastTextHeight > 0);
        QCOMPARE(m_printer->LastTextHeight, lineHeight());
        QCOMPARE(m_printer->CurrentY(), top + lineHeight());
        QVERIFY(qAbs(m_printer->measureText(QStringLiteral("a\r\nb\nc")) - 3 * lineHeight()) < 1);
    }

    // Words wrap at blanks; Japanese, which has none, between characters; every line starts at
    // the column's text edge.
    void longTextWrapsWithinTheColumn_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << QStringLiteral("swing thru boys run ferris wheel centers pass thru ").repeated(6);
        QTest::newRow("Japanese") << QStringLiteral("右手で引いて通り抜けてから左手でアルマンド").repeated(8);
    }
    void longTextWrapsWithinTheColumn() {
        QFETCH(QString, text);
        m_printer->TextOut(text);
        QVERIFY(m_printer->LastTextHeight > 3 * lineHeight());
        const RecordedPage page = finish().front();
        QVERIFY(page.texts.size() > 3);
        QString joined;
        for (const auto& line : page.texts) {
            QCOMPARE(line.column, 0);
            QVERIFY(qAbs(line.position.x() - (kLeft + 100)) < 1);
            joined += line.text;
        }
        QCOMPARE(joined.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    }

    void blockThatDoesNotFitMovesToTheNextColumn() {
        m_printer->setCurrentY(m_printer->ScaleHeight() - lineHeight() / 2);
        m_printer->TextOut(QStringLiteral("late call"));
        QCOMPARE(m_printer->CurrentX(), kLeft + pitch());
        QCOMPARE(m_printer->CurrentY(), kLeft + lineHeight());
        const RecordedPage page = finish().front();
        const auto line = page.find(QStringLiteral("late call"));
        QCOMPARE(line.column, 1);
        QVERIFY(line.position.y() < kLeft + lineHeight());
        // The new column's right rule.
        QVERIFY(page.lines.contains(QLineF(kLeft + 2 * pitch(), kLeft, kLeft + 2 * pitch(), m_printer->ScaleHeight())));
    }

    // A block taller than a whole column starts where it is and goes on at the top of the next
    // columns, onto a new page; nothing lies below the bottom margin, and the next block follows
    // its last line.
    void blockTallerThanAColumnGoesOnInTheNextColumns() {
        QStringList lines{QStringLiteral("first")};
        // Two and a half columns of lines, whatever the font's line height.
        const int perColumn = static_cast<int>((m_printer->ScaleHeight() - kLeft) / lineHeight());
        const int count = perColumn * 5 / 2;
        QStringList many;
        for (int i = 0; i < count; ++i) {
            many.append(QStringLiteral("line %1").arg(i));
        }
        m_printer->TextOut(lines.front());
        m_printer->TextOut(many.join(QLatin1Char('\n')));
        QVERIFY(m_printer->CurrentY() <= m_printer->ScaleHeight());
        m_printer->TextOut(QStringLiteral("after"));
        lines += many;
        lines.append(QStringLiteral("after"));
        const QList<RecordedPage> pages = finish();
        QCOMPARE(pages.size(), 2);
        QStringList printed;
        for (const RecordedPage& page : pages) {
            for (const auto& line : page.texts) {
                QVERIFY2(line.position.y() <= m_printer->ScaleHeight(), qPrintable(line.text));
                printed.append(line.text);
            }
        }
        QCOMPARE(printed, lines);
        QCOMPARE(pages[0].find(QStringLiteral("line 0")).column, 0);
        QCOMPARE(pages[1].find(QStringLiteral("line %1").arg(count - 1)).column, 0);
        // The second column and the second page go on at their top.
        const auto topOf = [](const RecordedPage& page, int column) {
            double top = 1e9;
            for (const auto& line : page.texts) {
                top = line.column == column ? std::min(top, line.position.y()) : top;
            }
            return top;
        };
        QVERIFY(topOf(pages[0], 1) < kLeft + lineHeight());
        QVERIFY(topOf(pages[1], 0) < kLeft + lineHeight());
    }

    void newColumnPastTheRightEdgeStartsANewPage() {
        m_printer->NewCol();
        QCOMPARE(m_printer->pageCounter(), 0);
        m_printer->NewCol();
        QCOMPARE(m_printer->pageCounter(), 1);
        QCOMPARE(m_printer->CurrentX(), kLeft);
        QCOMPARE(m_printer->CurrentY(), kLeft);
        const QList<RecordedPage> pages = finish();
        QCOMPARE(pages.size(), 2);
        const double bottom = m_printer->ScaleHeight();
        QVERIFY(pages[1].lines.contains(QLineF(kLeft, kLeft, kLeft, bottom)));
        QVERIFY(pages[1].lines.contains(QLineF(kLeft + pitch(), kLeft, kLeft + pitch(), bottom)));
    }

    void drawingOnTheSurfaceKeepsTheCurrentPoint() {
        m_printer->setCurrentY(2000);
        IDrawSurface& surface = m_printer->Object();
        surface.setCurrentX(100);
        surface.setCurrentY(100);
        surface.Line(900, 900);
        surface.Circle(500, 500, 90);
        QCOMPARE(m_printer->CurrentX(), kLeft);
        QCOMPARE(m_printer->CurrentY(), 2000.0);
        const RecordedPage page = finish().front();
        QVERIFY(page.lines.contains(QLineF(100, 100, 900, 900)));
        QCOMPARE(page.ellipses.size(), 1);
    }

    void marginsRoundTrip_data() {
        QTest::addColumn<double>("millimetres");
        QTest::newRow("10 mm") << 10.0;
        QTest::newRow("none") << 0.0;
        QTest::newRow("an inch") << 25.4;
        QTest::newRow("12.5 mm") << 12.5;
    }
    void marginsRoundTrip() {
        QFETCH(double, millimetres);
        clsPrinter printer;
        printer.pageSetup.MarginLeft = millimetres;
        printer.pageSetup.MarginTop = millimetres;
        printer.pageSetup.MarginRight = millimetres;
        printer.pageSetup.MarginBottom = millimetres + 1;
        QVERIFY(qAbs(printer.ScaleWidth() - (210 - millimetres) * kTwipsPerMm) < 1e-6);
        QVERIFY(qAbs(printer.ScaleHeight() - (297 - millimetres - 1) * kTwipsPerMm) < 1e-6);
        QVERIFY(qAbs(printer.columnHeight() - (297 - 2 * millimetres - 1) * kTwipsPerMm) < 1e-6);
    }

    void paperAndOrientation() {
        QCOMPARE(clsPrinter::pageSizeTwips(1, 1).toSize(), QSize(12240, 15840));    // Letter
        QCOMPARE(clsPrinter::pageSizeTwips(9, 2).toSize(), QSize(16838, 11906));    // A4 landscape
        QCOMPARE(clsPrinter::pageSizeTwips(4242, 1).toSize(), QSize(11906, 16838)); // unknown: A4
    }
};

QTEST_MAIN(TestClsPrinter)
#include "TestClsPrinter.moc"
