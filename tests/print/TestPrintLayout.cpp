#include "Fixtures.h"
#include "IDrawSurface.h"
#include "IPreviewForm.h"
#include "PdfText.h"
#include "PrintFixture.h"
#include "PrintSequence.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "clsPrinter.h"

#include <QPdfWriter>
#include <QtTest>

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kLeft = 10 * kTwipsPerMm;

QString header(const QString& time) {
    return QStringLiteral("Level : Plus    Create : 2026/01/02 ") + time;
}

QList<TestCall> plainCalls(int count, const QString& prefix = QStringLiteral("call")) {
    QList<TestCall> calls;
    for (int i = 1; i <= count; ++i) {
        calls.append({QStringLiteral("%1 %2").arg(prefix).arg(i)});
    }
    return calls;
}

// Text as compared between the PDF and the composed pages: compatibility forms folded (the PDF's
// text map names some CJK ideographs by their radical forms), without white space (the text
// extraction guesses the spacing of lines).
QString unspaced(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).remove(QRegularExpression(QStringLiteral("\\s")));
}

bool coupleNumber(const QString& line) {
    return line.contains(QRegularExpression(QStringLiteral("^[0-9]+$")));
}

// The preview window's place: counts the documents it is given.
class CountingForm final : public IPreviewForm {
public:
    void showPages(const QList<QPicture>& pages, const QSizeF&) override { shown.append(pages.size()); }
    QList<qsizetype> shown;
};

} // namespace

// The page device (A4, 10 mm margins, two columns) and the print layout, composed in preview mode
// and played back onto a recording device, and the same layout written to a PDF.
class TestPrintLayout : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_library;
    std::unique_ptr<clsPrinter> m_printer;
    QList<qint64> m_missing;
    double m_bottom = 0;
    double m_pitch = 0;

    Database& db() { return m_library->db; }
    // A device of two columns started by hand.
    void startTwoColumns() {
        m_printer = std::make_unique<clsPrinter>();
        m_printer->setPreview(true);
        m_printer->ColumnSpace = 100;
        m_printer->StartDoc();
        m_printer->ColumnWidth = (m_printer->ScaleWidth() - m_printer->CurrentX()) / 2 - 400;
        m_pitch = m_printer->ColumnWidth + 2 * m_printer->ColumnSpace;
        m_bottom = m_printer->ScaleHeight();
    }
    QList<RecordedPage> finish() {
        m_printer->EndDoc();
        return recordPages(m_printer->pages(), kLeft, m_pitch);
    }
    double lineHeight() { return m_printer->measureText(QStringLiteral("x")); }
    // The sequences printed in preview mode.
    QList<RecordedPage> print(const QList<qint64>& keys, const modPrint::PrintOptions& options = {}, int paper = 9,
                              int orientation = 1) {
        clsPrinter printer;
        printer.setPreview(true);
        printer.pageSetup.PaperSize = paper;
        printer.pageSetup.Orientation = orientation;
        m_missing = modPrint::PrintSequence(LibrarySource(db()), keys, options, printer);
        m_bottom = printer.ScaleHeight();
        m_pitch = printer.ColumnWidth + 2 * printer.ColumnSpace;
        return recordPages(printer.pages(), kLeft, m_pitch);
    }
    // The sequences printed to a PDF file.
    QString printPdf(const QList<qint64>& keys, const modPrint::PrintOptions& options, int paper = 9,
                     int orientation = 1, bool heldBack = false) {
        const QString path = m_library->home.file(QStringLiteral("out.pdf"));
        QPdfWriter writer(path);
        writer.setResolution(1200);
        clsPrinter printer;
        printer.pageSetup.PaperSize = paper;
        printer.pageSetup.Orientation = orientation;
        printer.setPrinter(&writer);
        printer.setDeferred(heldBack);
        modPrint::PrintSequence(LibrarySource(db()), keys, options, printer);
        return path;
    }

private Q_SLOTS:
    void init() {
        m_library.emplace();
        startTwoColumns();
    }
    void cleanup() {
        m_printer.reset();
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
    }

    void emptyTextPrintsOneBlankLine() {
        const double top = m_printer->CurrentY();
        m_printer->TextOut(QString());
        QCOMPARE(m_printer->LastTextHeight, lineHeight());
        QVERIFY(lineHeight() > 0);
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
            QVERIFY(line.column == 0 && qAbs(line.position.x() - (kLeft + 100)) < 1);
            joined += line.text;
        }
        QCOMPARE(joined.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    }

    // A block that does not fit moves to the next column, which gets its right rule.
    void blockThatDoesNotFitMovesToTheNextColumn() {
        m_printer->setCurrentY(m_bottom - lineHeight() / 2);
        m_printer->TextOut(QStringLiteral("late call"));
        QCOMPARE(m_printer->CurrentX(), kLeft + m_pitch);
        QCOMPARE(m_printer->CurrentY(), kLeft + lineHeight());
        const RecordedPage page = finish().front();
        const auto line = page.find(QStringLiteral("late call"));
        QVERIFY(line.column == 1 && line.position.y() < kLeft + lineHeight());
        QVERIFY(page.lines.contains(QLineF(kLeft + 2 * m_pitch, kLeft, kLeft + 2 * m_pitch, m_bottom)));
    }

    // A block taller than a whole column starts where it is and goes on at the top of the next
    // columns, onto a new page; nothing lies below the bottom margin, and the next block follows
    // its last line.
    void blockTallerThanAColumnGoesOnInTheNextColumns() {
        const int count = static_cast<int>((m_bottom - kLeft) / lineHeight()) * 5 / 2;
        QStringList lines{QStringLiteral("first")};
        for (int i = 0; i < count; ++i) {
            lines.append(QStringLiteral("line %1").arg(i));
        }
        m_printer->TextOut(lines.front());
        m_printer->TextOut(lines.mid(1).join(QLatin1Char('\n')));
        QVERIFY(m_printer->CurrentY() <= m_bottom);
        m_printer->TextOut(QStringLiteral("after"));
        lines.append(QStringLiteral("after"));
        const QList<RecordedPage> pages = finish();
        QCOMPARE(pages.size(), 2);
        QStringList printed;
        const auto topOf = [](const RecordedPage& page, int column) {
            double top = 1e9;
            for (const auto& line : page.texts) {
                top = line.column == column ? std::min(top, line.position.y()) : top;
            }
            return top;
        };
        for (const RecordedPage& page : pages) {
            for (const auto& line : page.texts) {
                QVERIFY2(line.position.y() <= m_bottom, qPrintable(line.text));
                printed.append(line.text);
            }
        }
        QCOMPARE(printed, lines);
        QVERIFY(topOf(pages[0], 1) < kLeft + lineHeight() && topOf(pages[1], 0) < kLeft + lineHeight());
        QCOMPARE(pages[0].find(QStringLiteral("line 0")).column, 0);
        QCOMPARE(pages[1].find(QStringLiteral("line %1").arg(count - 1)).column, 0);
    }

    void newColumnPastTheRightEdgeStartsANewPage() {
        m_printer->NewCol();
        QCOMPARE(m_printer->pageCounter(), 0);
        m_printer->NewCol();
        QCOMPARE(m_printer->pageCounter(), 1);
        QCOMPARE(QPointF(m_printer->CurrentX(), m_printer->CurrentY()), QPointF(kLeft, kLeft));
        const QList<RecordedPage> pages = finish();
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[1].lines.contains(QLineF(kLeft, kLeft, kLeft, m_bottom)));
        QVERIFY(pages[1].lines.contains(QLineF(kLeft + m_pitch, kLeft, kLeft + m_pitch, m_bottom)));
    }

    void drawingOnTheSurfaceKeepsTheCurrentPoint() {
        m_printer->setCurrentY(2000);
        IDrawSurface& surface = m_printer->Object();
        surface.setCurrentX(100);
        surface.setCurrentY(100);
        surface.Line(900, 900);
        surface.Circle(500, 500, 90);
        QCOMPARE(QPointF(m_printer->CurrentX(), m_printer->CurrentY()), QPointF(kLeft, 2000));
        const RecordedPage page = finish().front();
        QVERIFY(page.lines.contains(QLineF(100, 100, 900, 900)));
        QCOMPARE(page.ellipses.size(), 1);
    }

    void marginsAndPaper_data() {
        QTest::addColumn<double>("millimetres");
        QTest::newRow("10 mm") << 10.0;
        QTest::newRow("none") << 0.0;
        QTest::newRow("an inch") << 25.4;
        QTest::newRow("12.5 mm") << 12.5;
    }
    void marginsAndPaper() {
        QFETCH(double, millimetres);
        clsPrinter printer;
        printer.pageSetup.MarginLeft = millimetres;
        printer.pageSetup.MarginTop = millimetres;
        printer.pageSetup.MarginRight = millimetres;
        printer.pageSetup.MarginBottom = millimetres + 1;
        QVERIFY(qAbs(printer.ScaleHeight() - (297 - millimetres - 1) * kTwipsPerMm) < 1e-6);
        QVERIFY(qAbs(printer.columnHeight() - (297 - 2 * millimetres - 1) * kTwipsPerMm) < 1e-6);
        QVERIFY(qAbs(printer.ScaleWidth() - (210 - millimetres) * kTwipsPerMm) < 1e-6);
        QCOMPARE(clsPrinter::pageSizeTwips(1, 1).toSize(), QSize(12240, 15840));    // Letter
        QCOMPARE(clsPrinter::pageSizeTwips(9, 2).toSize(), QSize(16838, 11906));    // A4 landscape
        QCOMPARE(clsPrinter::pageSizeTwips(4242, 1).toSize(), QSize(11906, 16838)); // unknown: A4
    }

    // Two sequences a page in the given order, with the rules of both columns; a missing
    // sequence is left out; nothing selected gives one empty page.
    void sequencesInTheGivenOrder() {
        const qint64 a = addSequence(db(), QStringLiteral("10:00:01"), plainCalls(3, QStringLiteral("first")));
        const qint64 b = addSequence(db(), QStringLiteral("10:00:02"), plainCalls(3, QStringLiteral("second")));
        const qint64 c = addSequence(db(), QStringLiteral("10:00:03"), plainCalls(3, QStringLiteral("third")));
        const QList<RecordedPage> pages = print({c, 4242, a, b});
        QCOMPARE(m_missing, QList<qint64>{4242});
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].find(header(QStringLiteral("10:00:03"))).column, 0);
        QCOMPARE(pages[0].find(QStringLiteral("third 3")).column, 0);
        QCOMPARE(pages[0].find(header(QStringLiteral("10:00:01"))).column, 1);
        QCOMPARE(pages[1].find(header(QStringLiteral("10:00:02"))).column, 0);
        QVERIFY(pages[0].find(QStringLiteral("first 1")).position.y() <
                pages[0].find(QStringLiteral("first 2")).position.y());
        for (const double x : {kLeft, kLeft + m_pitch, kLeft + 2 * m_pitch}) {
            QVERIFY(pages[0].lines.contains(QLineF(x, kLeft, x, m_bottom)));
        }
        const QList<RecordedPage> none = print({});
        QVERIFY(none.size() == 1 && none[0].texts.isEmpty());
    }

    // Author always, notes only when asked for, markup never; two sequences of one level, date and
    // time (Change Level can make them) each print their own calls.
    void whatAPageShows_data() {
        QTest::addColumn<int>("notePrint");
        QTest::newRow("notes printed") << 1;
        QTest::newRow("no notes") << 0;
    }
    void whatAPageShows() {
        QFETCH(int, notePrint);
        const qint64 a = addSequence(db(), QStringLiteral("10:00:01"),
                                     {{QStringLiteral("{b Swing} {red thru}"), {}, QStringLiteral("call note")}},
                                     QStringLiteral("Ann Author"), QStringLiteral("sequence note"));
        const qint64 b = addSequence(db(), QStringLiteral("10:00:01"), plainCalls(3, QStringLiteral("second")));
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;
        const QString page = print({a}, options).front().all();
        QVERIFY(page.contains(QStringLiteral("Author : Ann Author")) && page.contains(QStringLiteral("Swing thru")));
        QVERIFY(!page.contains(QLatin1Char('{')) && !page.contains(QLatin1Char('}')) && !page.contains("second"));
        QCOMPARE(page.contains(QStringLiteral("Note : sequence note")), notePrint == 1);
        QCOMPARE(page.contains(QStringLiteral("call note")), notePrint == 1);
        const QString other = print({b}, options).front().all();
        QVERIFY(other.contains(QStringLiteral("second 3")) && !other.contains(QStringLiteral("Swing")));
    }

    void figureSpace_data() {
        QTest::addColumn<int>("formationPrint");
        QTest::addColumn<QString>("figure");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("figure printed") << 1 << kSquaredSet << true;
        QTest::newRow("figures off") << 0 << kSquaredSet << false;
        QTest::newRow("empty figure") << 1 << QString() << false;
        QTest::newRow("no dancers") << 1 << QStringLiteral("   \r\n  ") << false;
    }
    void figureSpace() {
        QFETCH(int, formationPrint);
        QFETCH(QString, figure);
        QFETCH(bool, drawn);
        const qint64 key =
            addSequence(db(), QStringLiteral("10:00:01"),
                        {{QStringLiteral("one"), figure}, {QStringLiteral("two")}, {QStringLiteral("three")}});
        modPrint::PrintOptions options;
        options.FormationPrint = formationPrint;
        const RecordedPage page = print({key}, options).front();
        const double first = page.find(QStringLiteral("one")).position.y();
        const double second = page.find(QStringLiteral("two")).position.y();
        const double third = page.find(QStringLiteral("three")).position.y();
        QCOMPARE(page.ellipses.size() > 0, drawn);
        QCOMPARE(second - first > third - second + 100, drawn);
        // The figure lies between its call and the next one.
        for (const QRectF& dancer : page.ellipses) {
            QVERIFY(dancer.top() > first && dancer.bottom() < second);
        }
    }

    // Filler calls push a call with a figure further down the first column until the call, its
    // note and its figure no longer fit; they then move to the next column together, even where
    // the call text alone would still have fitted.
    void callAndFigureStayInOneColumn_data() {
        QTest::addColumn<int>("notePrint");
        QTest::newRow("call and figure") << 0;
        QTest::newRow("call, note and figure") << 1;
    }
    void callAndFigureStayInOneColumn() {
        QFETCH(int, notePrint);
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;
        int movedTogether = 0;
        for (int fillers = 20; fillers <= 34; ++fillers) {
            QList<TestCall> calls = plainCalls(fillers, QStringLiteral("filler"));
            calls.append(
                {QStringLiteral("with figure"), kSquaredSet, QStringLiteral("a note of the call\nover\nthree lines")});
            const RecordedPage page =
                print({addSequence(db(), QStringLiteral("11:00:%1").arg(fillers), calls)}, options).front();
            const auto call = page.find(QStringLiteral("with figure"));
            QVERIFY(call.column >= 0);
            QCOMPARE(page.find(QStringLiteral("a note of the call")).column, notePrint == 1 ? call.column : -1);
            for (const QRectF& dancer : page.ellipses) {
                QVERIFY(dancer.left() > call.position.x() && dancer.right() < call.position.x() + m_pitch);
                QVERIFY(dancer.top() > call.position.y() && dancer.bottom() < m_bottom);
            }
            const auto last = page.find(QStringLiteral("filler %1").arg(fillers));
            movedTogether += call.column == 1 && last.column == 0 && last.position.y() + 2 * 400 < m_bottom ? 1 : 0;
        }
        QVERIFY(movedTogether > 0);
    }

    // Stopped on its progress before a sequence, the document is given up: the preview shows
    // nothing, and the pages held back for the printer never reach it.
    void stoppedDocumentShowsAndSendsNothing_data() {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("preview, first sequence") << true << 1;
        QTest::newRow("preview, last sequence") << true << 3;
        QTest::newRow("printer, first sequence") << false << 1;
        QTest::newRow("printer, last sequence") << false << 3;
    }
    void stoppedDocumentShowsAndSendsNothing() {
        QFETCH(bool, preview);
        QFETCH(int, stopAt);
        QList<qint64> keys;
        for (int s = 0; s < 3; ++s) {
            keys.append(addSequence(db(), QStringLiteral("10:00:0%1").arg(s), plainCalls(40)));
        }
        const QString pdf = m_library->home.file(QStringLiteral("stopped.pdf"));
        CountingForm form;
        {
            QPdfWriter writer(pdf);
            clsPrinter printer;
            printer.setPreview(preview);
            printer.setForm(&form);
            printer.setDeferred(!preview);
            printer.setPrinter(&writer);
            StoppingProgress progress(stopAt);
            modPrint::PrintSequence(LibrarySource(db()), keys, {}, printer, &progress);
            QVERIFY(progress.steps() == stopAt && progress.cancelled());
            QVERIFY(printer.pages().isEmpty() && !printer.isDocumentOpen());
        }
        QVERIFY(form.shown.isEmpty());
        QCOMPARE(QFileInfo(pdf).size(), 0);
    }

    // Held back until the layout is complete, the pages then go to the printer whole: a stop asked
    // for while they are sent is not taken, and the progress follows them page by page.
    void heldBackPagesAreSentWhole() {
        modGeneral::SetLanguage(QStringLiteral("English"));
        QList<qint64> keys;
        for (int s = 0; s < 3; ++s) {
            keys.append(addSequence(db(), QStringLiteral("10:00:0%1").arg(s), plainCalls(40)));
        }
        const QString pdf = m_library->home.file(QStringLiteral("held.pdf"));
        // Four steps lay the sequences out (one before each, one at the end); the fifth is the first
        // page sent.
        StoppingProgress progress(5);
        qsizetype pages = 0;
        {
            QPdfWriter writer(pdf);
            clsPrinter printer;
            printer.setDeferred(true);
            printer.setPrinter(&writer);
            modPrint::PrintSequence(LibrarySource(db()), keys, {}, printer, &progress);
            pages = printer.pages().size();
        }
        QVERIFY(!progress.cancelled() && !progress.cancellable && pages >= 2);
        QCOMPARE(pdfPages(pdf), pages);
        QCOMPARE(progress.steps(), 4 + pages + 1);
        QCOMPARE(progress.positions.back(), (QPair<qint64, qint64>(pages, pages)));
        QCOMPARE(progress.labels.back(), QStringLiteral("Sending page %1 of %1 to the printer...").arg(pages));
    }

    // Every composed line reaches the PDF as text on the page the preview showed it on, on the
    // paper chosen, in an embedded CJK font for Japanese, and without markup.
    void pdfHoldsThePreviewsPages_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("heldBack"); // laid out as pictures first, sent at the end
        QTest::newRow("A4 portrait") << 9 << 1 << false;
        QTest::newRow("Letter landscape") << 1 << 2 << false;
        QTest::newRow("A4 portrait, held back") << 9 << 1 << true;
        QTest::newRow("Letter landscape, held back") << 1 << 2 << true;
    }
    void pdfHoldsThePreviewsPages() {
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(bool, heldBack);
        QList<qint64> keys;
        for (int s = 0; s < 5; ++s) {
            QList<TestCall> calls;
            for (int c = 1; c <= 14; ++c) {
                calls.append({QStringLiteral("{b call} %1 of sequence %2 swing thru and boys run").arg(c).arg(s),
                              c % 3 == 0 ? kSquaredSet : QString(),
                              c % 4 == 0 ? QStringLiteral("note %1").arg(c) : QString()});
            }
            calls.append({QStringLiteral("日本語のコール 右手で引いて通り抜け %1").arg(s)});
            keys.append(addSequence(db(), QStringLiteral("09:00:0%1").arg(s), calls, QStringLiteral("山田"),
                                    QStringLiteral("日本語のメモ %1").arg(s)));
        }
        modPrint::PrintOptions options;
        options.NotePrint = 1;
        const QList<RecordedPage> pages = print(keys, options, paper, orientation);
        QVERIFY(pages.size() >= 3);
        const QString pdf = printPdf(keys, options, paper, orientation, heldBack);
        QCOMPARE(pdfPages(pdf), pages.size());
        const QSizeF size = clsPrinter::pageSizeTwips(paper, orientation) / 20;
        QVERIFY(pdfInfo(pdf, QStringLiteral("Page size"))
                    .startsWith(QStringLiteral("%1 x %2 pts").arg(qRound(size.width())).arg(qRound(size.height()))));
        for (int n = 0; n < pages.size(); ++n) {
            const QString text = unspaced(pdfText(pdf, n + 1));
            for (const auto& line : pages[n].texts) {
                QVERIFY2(coupleNumber(line.text) || text.contains(unspaced(line.text)),
                         qPrintable(line.text + QStringLiteral(" on page %1").arg(n + 1)));
            }
        }
        QVERIFY(!pdfText(pdf).contains(QLatin1Char('{')));
        const QString fonts = pdfTool(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.contains(QRegularExpression(QStringLiteral("CJK\\S*\\s.*\\syes\\s+\\S+\\s+yes"))),
                 qPrintable(fonts));
    }

    // A call taller than the rest of its column, or than a whole page, goes on in the next column
    // and on the next page: every word reaches the page and the PDF in order, no line lies below
    // the bottom margin, and the call after it starts below its last line.
    void longCallKeepsEveryWord_data() {
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("notePrint");
        QTest::newRow("400 words") << 400 << 0;
        QTest::newRow("400 words with its note") << 400 << 1;
        QTest::newRow("3,000 words") << 3000 << 0;
    }
    void longCallKeepsEveryWord() {
        QFETCH(int, words);
        QFETCH(int, notePrint);
        QStringList text;
        for (int w = 0; w < words; ++w) {
            text.append(QStringLiteral("w%1").arg(w, 4, 10, QLatin1Char('0')));
        }
        const qint64 key = addSequence(db(), QStringLiteral("09:00:00"),
                                       {{QStringLiteral("before")},
                                        {text.join(QLatin1Char(' ')), kSquaredSet, QStringLiteral("the note")},
                                        {QStringLiteral("after")}});
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;
        QStringList shown;
        for (const RecordedPage& page : print({key}, options)) {
            for (const auto& line : page.texts) {
                QVERIFY2(line.position.y() <= m_bottom, qPrintable(line.text));
                shown += coupleNumber(line.text) ? QStringList() : line.text.split(' ', Qt::SkipEmptyParts);
            }
            for (const QRectF& dancer : page.ellipses) {
                QVERIFY(dancer.bottom() <= m_bottom);
            }
        }
        QCOMPARE(shown, header(QStringLiteral("09:00:00")).split(' ', Qt::SkipEmptyParts) + QStringList{"before"} +
                            text + (notePrint == 1 ? QStringList{"the", "note"} : QStringList()) +
                            QStringList{"after"});
        const QStringList printed = pdfText(printPdf({key}, options)).split(QRegularExpression(QStringLiteral("\\s+")));
        QCOMPARE(printed.filter(QRegularExpression(QStringLiteral("^w\\d{4}$"))), text);
    }
};

QTEST_MAIN(TestPrintLayout)
#include "TestPrintLayout.moc"
