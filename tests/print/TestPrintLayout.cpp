#include "Fixtures.h"
#include "IPreviewForm.h"
#include "PdfText.h"
#include "PrintFixture.h"
#include "PrintSequence.h"
#include "RecordingPaintDevice.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "clsPrinter.h"

#include <QPdfWriter>
#include <QtTest>
#include <cmath>

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;

bool coupleNumber(const QString& line) {
    return line.contains(QRegularExpression(QStringLiteral("^[0-9]+$")));
}

// Text as compared between the PDF and the composed pages: compatibility forms folded (the PDF's
// text map names some CJK ideographs by their radical forms), without white space (the text
// extraction guesses the spacing of lines).
QString unspaced(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).remove(QRegularExpression(QStringLiteral("\\s")));
}

// The preview window's place: counts the documents it is given.
class CountingForm final : public IPreviewForm {
public:
    void showPages(const QList<QPicture>& pages, const QSizeF&) override { shown.append(pages.size()); }
    QList<qsizetype> shown;
};

} // namespace

// The print layout (two columns) composed in preview mode and played back onto a recording device,
// and the same layout written to a PDF.
class TestPrintLayout : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_library;
    QList<qint64> m_missing;
    QStringList m_outline;

    Database& db() { return m_library->db; }
    // The sequences printed in preview mode with margins of millimetres; with a path, also to that
    // PDF file, the pages held back as pictures and sent at the end or sent one by one. Returns the
    // text lines of each composed page, in twips: the items on one baseline of one column (a run in
    // another font may sit a little off it) joined from left to right.
    //
    // m_outline gets the pages in reading order: "page.column" where a column starts, the text
    // lines (a header by its time in brackets) and "[fig]" for a run of dancers and couple numbers.
    // "!" marks what lies where it must not (below the bottom margin, off its column's text edge,
    // outside its column), "!rule" a column without its rules on either side.
    QList<QStringList> print(const QList<qint64>& keys, const modPrint::PrintOptions& options = {}, int paperSize = 9,
                             int orientation = 1, double millimetres = 10, const QString& pdf = {},
                             bool heldBack = false) {
        const double margin = millimetres * kTwipsPerMm;
        const double bottom = clsPrinter::pageSizeTwips(paperSize, orientation).height() - margin;
        std::optional<QPdfWriter> writer;
        clsPrinter printer;
        clsPrinter paper;
        for (clsPrinter* target : {&printer, &paper}) {
            PageSetup& setup = target->pageSetup;
            setup.MarginLeft = setup.MarginTop = setup.MarginRight = setup.MarginBottom = millimetres;
            setup.PaperSize = paperSize;
            setup.Orientation = orientation;
        }
        printer.setPreview(true);
        m_missing = modPrint::PrintSequence(LibrarySource(db()), keys, options, printer);
        if (!pdf.isEmpty()) {
            writer.emplace(pdf);
            writer->setResolution(1200);
            paper.setPrinter(&*writer);
            paper.setDeferred(heldBack);
            modPrint::PrintSequence(LibrarySource(db()), keys, options, paper);
        }
        const double pitch = printer.ColumnWidth + 2 * printer.ColumnSpace; // from one column to the next
        const auto column = [&](double x) { return static_cast<int>(std::floor((x - margin) / pitch)); };
        const auto rule = [&](int c) { return QLineF(margin + c * pitch, margin, margin + c * pitch, bottom); };
        static const QRegularExpression header(QStringLiteral("^Level : Plus    Create : 2026/01/02 (\\S+)$"));
        QList<QStringList> pages;
        m_outline.clear();
        for (const QPicture& picture : printer.pages()) {
            RecordingPaintDevice device;
            QPainter(&device).drawPicture(0, 0, picture);
            QList<RecordingPaintDevice::Item> items = device.items();
            std::sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
                return std::pair(column(a.position.x()), a.position.y()) <
                       std::pair(column(b.position.x()), b.position.y());
            });
            QList<QMap<double, QString>> lines; // by left end
            QList<QPointF> starts;
            for (const auto& item : items) {
                if (lines.isEmpty() || column(item.position.x()) != column(starts.back().x()) ||
                    item.position.y() - starts.back().y() > 20) {
                    lines.append(QMap<double, QString>());
                    starts.append(item.position);
                }
                lines.back().insert(item.position.x(), item.text);
                starts.back().rx() = qMin(starts.back().x(), item.position.x());
            }
            QList<std::tuple<int, double, QString>> marks; // column, height, token
            pages.append(QStringList());
            for (qsizetype i = 0; i < lines.size(); ++i) {
                pages.back().append(lines[i].values().join(QString()));
                const QString& text = pages.back().back();
                const int at = column(starts[i].x());
                const bool off = starts[i].y() > bottom ||
                                 (!coupleNumber(text) && qAbs(starts[i].x() - margin - at * pitch - 100) > 1);
                marks.append({at, starts[i].y(),
                              (off ? "!" : "") + (coupleNumber(text) ? QStringLiteral("[fig]")
                                                                     : QString(text).replace(header, "[\\1]"))});
            }
            for (const QRectF& dancer : device.ellipses()) {
                const int at = column(dancer.center().x());
                const double left = margin + at * pitch;
                const bool off = dancer.bottom() > bottom || dancer.left() < left || dancer.right() > left + pitch;
                marks.append({at, dancer.center().y(), off ? QStringLiteral("![fig]") : QStringLiteral("[fig]")});
            }
            std::sort(marks.begin(), marks.end());
            int current = -1;
            for (const auto& [at, y, text] : marks) {
                if (at != current) {
                    const bool ruled = device.lines().contains(rule(at)) && device.lines().contains(rule(at + 1));
                    m_outline.append(QStringLiteral("%1.%2").arg(pages.size()).arg(at) + (ruled ? "" : "!rule"));
                    current = at;
                }
                if (!text.endsWith(QLatin1String("[fig]")) || m_outline.back() != text) {
                    m_outline.append(text);
                }
            }
        }
        return pages;
    }

private Q_SLOTS:
    void init() { m_library.emplace(); }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
    }

    // The pages of the sequences named by letter ('?' a missing one): a column for each sequence in
    // the given order, two a page; the author always, notes when asked for, markup never; the
    // figure, when printed, between its call and the next.
    void pages_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("notePrint");
        QTest::addColumn<int>("formationPrint");
        QTest::addColumn<QString>("outline");
        const auto row = [](const char* name, const char* keys, int notes, int figures, const char* outline) {
            QTest::newRow(name) << QString(keys) << notes << figures << QString(outline);
        };
        // Two sequences of one level, date and time (Change Level can make them) each get their calls.
        row("given order, one missing", "c?abs", 0, 1,
            "2 pages|1.0|[10:00:03]|c1|c2|c3|1.1|[10:00:01]|a1|a2|a3|2.0|[10:00:02]|b1|b2|b3|2.1|[10:00:01]|s1|missing "
            "4242");
        row("nothing selected", "", 0, 1, "1 pages");
        row("notes", "n", 1, 1,
            "1 pages|1.0|[10:00:04]|Author : Ann Author|Note : sequence note|Swing thru|    call note|two");
        row("no notes", "n", 0, 1, "1 pages|1.0|[10:00:04]|Author : Ann Author|Swing thru|two");
        row("figures", "f", 0, 1, "1 pages|1.0|[10:00:05]|one|[fig]|two|three");
        row("figures off", "f", 0, 0, "1 pages|1.0|[10:00:05]|one|two|three");
    }
    void pages() {
        QFETCH(QString, keys);
        modPrint::PrintOptions options;
        QFETCH(int, notePrint);
        QFETCH(int, formationPrint);
        options.NotePrint = notePrint;
        options.FormationPrint = formationPrint;
        const QMap<QChar, qint64> samples{
            {'a', addSequence(db(), "10:00:01", {{"a1"}, {"a2"}, {"a3"}})},
            {'b', addSequence(db(), "10:00:02", {{"b1"}, {"b2"}, {"b3"}})},
            {'c', addSequence(db(), "10:00:03", {{"c1"}, {"c2"}, {"c3"}})},
            {'s', addSequence(db(), "10:00:01", {{"s1"}})},
            {'n', addSequence(db(), "10:00:04", {{"{b Swing} {red thru}", {}, "call note"}, {"two"}}, "Ann Author",
                              "sequence note")},
            {'f', addSequence(db(), "10:00:05", {{"one", kSquaredSet}, {"two"}, {"three", "   \r\n  "}})}};
        QList<qint64> selected;
        for (const QChar name : keys) {
            selected.append(samples.value(name, 4242));
        }
        QStringList tokens = QStringList{QStringLiteral("%1 pages").arg(print(selected, options).size())} + m_outline;
        tokens += m_missing.isEmpty() ? QStringList() : QStringList{QStringLiteral("missing %1").arg(m_missing[0])};
        QTEST(tokens.join(QLatin1Char('|')), "outline");
    }

    // Filler calls push a call with a figure further down the first column until the call, its
    // note and its figure no longer fit; they then move to the next column together.
    void callAndFigureStayInOneColumn() {
        for (const int notePrint : {0, 1}) {
            modPrint::PrintOptions options;
            options.NotePrint = notePrint;
            const QStringList together = notePrint == 1
                                             ? QStringList{"with figure", "    a note", "over", "lines", "[fig]"}
                                             : QStringList{"with figure", "[fig]"};
            const QList<TestCall> fillers(34, {"filler"});
            int moved = 0;
            for (int count = 20; count <= 34; ++count) {
                const QList<TestCall> sequence =
                    fillers.mid(0, count) + QList<TestCall>{{"with figure", kSquaredSet, "a note\nover\nlines"}};
                print({addSequence(db(), QStringLiteral("11:00:%1").arg(count), sequence)}, options);
                const QStringList& tokens = m_outline;
                QVERIFY2(!tokens.join(QString()).contains(QLatin1Char('!')), qPrintable(tokens.join(QLatin1Char('|'))));
                const qsizetype at = tokens.indexOf(QStringLiteral("with figure"));
                QCOMPARE(tokens.mid(at, together.size()), together);
                moved += tokens.value(at - 1) == QLatin1String("1.1") ? 1 : 0;
            }
            QVERIFY(moved > 0);
        }
    }

    // A call taller than the rest of its column, or than a whole page, goes on in the next column
    // and on the next page: every word reaches the page (Japanese, without blanks, broken between
    // characters), nothing lies below the bottom margin, and its figure and the next call follow
    // its last line. Every composed line reaches the PDF as text on the page the preview showed it
    // on, on the paper chosen, in an embedded CJK font; also when the pages are held back as
    // pictures and sent at the end.
    void longWords() {
        QStringList words;
        for (int w = 0; w < 3000; ++w) {
            words.append(QStringLiteral("w%1").arg(w, 4, 10, QLatin1Char('0')));
        }
        longCall(words.join(' '), 1, 2, false, 0.0); // Letter landscape, no margins
    }
    void longJapanese() {
        longCall(QStringLiteral("右手で引いて通り抜けてから左手でアルマンド").repeated(80), 9, 1, true, 12.5);
    }

private:
    void longCall(const QString& text, int paper, int orientation, bool heldBack, double millimetres) {
        const qint64 key = addSequence(db(), QStringLiteral("09:00:00"),
                                       {{"{b before}"}, {text, kSquaredSet, "the note"}, {"after"}}, "山田");
        modPrint::PrintOptions options;
        options.NotePrint = 1;
        const QString pdf = m_library->home.file(QStringLiteral("out.pdf"));
        const QList<QStringList> pages = print({key}, options, paper, orientation, millimetres, pdf, heldBack);
        const QStringList shown = m_outline.filter(QRegularExpression(QStringLiteral("^(?!\\d+\\.\\d+$)")));
        QCOMPARE(unspaced(shown.join(QString())),
                 unspaced(QStringList{"[09:00:00]", "Author : 山田", "before", text, "the note", "[fig]", "after"}.join(
                     QString())));
        QCOMPARE(pdfPages(pdf), pages.size());
        const QSizeF size = clsPrinter::pageSizeTwips(paper, orientation) / 20;
        QVERIFY(pdfInfo(pdf, QStringLiteral("Page size"))
                    .startsWith(QStringLiteral("%1 x %2 pts").arg(qRound(size.width())).arg(qRound(size.height()))));
        for (int n = 0; n < pages.size(); ++n) {
            const QString onPage = unspaced(pdfText(pdf, n + 1));
            for (const QString& line : pages[n]) {
                QVERIFY2(coupleNumber(line) || onPage.contains(unspaced(line)),
                         qPrintable(line + QStringLiteral(" on page %1").arg(n + 1)));
            }
        }
        QVERIFY(pdfTool(QStringLiteral("pdffonts"), {pdf})
                    .contains(QRegularExpression(QStringLiteral("CJK\\S*\\s.*\\syes\\s+\\S+\\s+yes"))));
    }

private Q_SLOTS:
    // Stopped on its progress before a sequence (four steps lay three out, one before each and one
    // at the end), the document is given up: the preview shows nothing, and the pages held back
    // for the printer never reach it. Once laid out, they go to the printer whole: a stop asked
    // for while they are sent is not taken, and the progress follows them page by page.
    void stoppedInPreview() { stopped(true, 1); }
    void stoppedBeforeTheLastSequence() { stopped(false, 3); }
    void notStoppedWhileSending() { stopped(false, 5); }

private:
    void stopped(bool preview, int stopAt) {
        modGeneral::SetLanguage(QStringLiteral("English"));
        const QList<TestCall> calls(40, {"a call"});
        const QList<qint64> keys{addSequence(db(), "10:00:01", calls), addSequence(db(), "10:00:02", calls),
                                 addSequence(db(), "10:00:03", calls)};
        const QString pdf = m_library->home.file(QStringLiteral("stopped.pdf"));
        CountingForm form;
        StoppingProgress progress(stopAt);
        qsizetype pages = 0;
        {
            QPdfWriter writer(pdf);
            clsPrinter printer;
            printer.setPreview(preview);
            printer.setForm(&form);
            printer.setDeferred(!preview);
            printer.setPrinter(&writer);
            modPrint::PrintSequence(LibrarySource(db()), keys, {}, printer, &progress);
            pages = printer.pages().size();
        }
        QVERIFY(form.shown.isEmpty());
        if (stopAt <= 4) {
            QVERIFY(progress.steps() == stopAt && progress.cancelled() && pages == 0);
            QCOMPARE(QFileInfo(pdf).size(), 0);
            return;
        }
        QVERIFY(!progress.cancelled() && !progress.cancellable && pages >= 2);
        QCOMPARE(pdfPages(pdf), pages);
        QCOMPARE(progress.labels.back(), QStringLiteral("Sending page %1 of %1 to the printer...").arg(pages));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "TestPrintLayout.moc"
