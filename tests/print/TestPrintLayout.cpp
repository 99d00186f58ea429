#include "Fixtures.h"
#include "IPreviewForm.h"
#include "PdfText.h"
#include "PrintFixture.h"
#include "PrintSequence.h"
#include "RecordingPaintDevice.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "clsPrinter.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
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

// A composed page played back, in twips: its text lines (the items on one baseline of one column
// joined from left to right, column by column from the top), ellipses and lines.
struct Page {
    struct Line {
        QString text;
        QPointF position; // left end of the baseline
        int column;
    };
    QList<Line> texts;
    QList<QRectF> ellipses;
    QList<QLineF> lines;
};

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
    double m_margin = 0; // on every side
    double m_bottom = 0;
    double m_pitch = 0; // from one column to the next

    Database& db() { return m_library->db; }
    int column(double x) const { return static_cast<int>(std::floor((x - m_margin) / m_pitch)); }
    // The sequences printed in preview mode with margins of millimetres; with a path, also to that
    // PDF file, the pages held back as pictures and sent at the end or sent one by one.
    QList<Page> print(const QList<qint64>& keys, const modPrint::PrintOptions& options = {}, int paperSize = 9,
                      int orientation = 1, double millimetres = 10, const QString& pdf = {}, bool heldBack = false) {
        m_margin = millimetres * kTwipsPerMm;
        m_bottom = clsPrinter::pageSizeTwips(paperSize, orientation).height() - m_margin;
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
        m_pitch = printer.ColumnWidth + 2 * printer.ColumnSpace;
        QList<Page> pages;
        for (const QPicture& picture : printer.pages()) {
            RecordingPaintDevice device;
            QPainter(&device).drawPicture(0, 0, picture);
            // Items on one baseline of one column (a run in another font may sit a little off it)
            // form one line, read from left to right.
            QList<RecordingPaintDevice::Item> items = device.items();
            const auto place = [this](const auto& item) {
                return std::pair(column(item.position.x()), item.position.y());
            };
            std::sort(items.begin(), items.end(), [&](const auto& a, const auto& b) { return place(a) < place(b); });
            QList<QList<RecordingPaintDevice::Item>> lines;
            for (const auto& item : items) {
                if (lines.isEmpty() || place(item).first != place(lines.back().front()).first ||
                    place(item).second - place(lines.back().front()).second > 20) {
                    lines.append(QList<RecordingPaintDevice::Item>());
                }
                lines.back().append(item);
            }
            Page page{{}, device.ellipses(), device.lines()};
            for (auto& line : lines) {
                std::sort(line.begin(), line.end(),
                          [](const auto& a, const auto& b) { return a.position.x() < b.position.x(); });
                QString text;
                for (const auto& item : line) {
                    text += item.text;
                }
                page.texts.append({text, line.front().position, place(line.front()).first});
            }
            pages.append(page);
        }
        return pages;
    }
    // The pages in reading order: "page.column" where a column starts, the text lines (a header by
    // its time in brackets) and "[fig]" for a run of dancers and couple numbers. "!" marks what lies
    // where it must not (below the bottom margin, off its column's text edge, outside its column),
    // "!rule" a column without its rules on either side.
    QStringList outline(const QList<Page>& pages) const {
        static const QRegularExpression header(QStringLiteral("^Level : Plus    Create : 2026/01/02 (\\S+)$"));
        QStringList tokens;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QList<std::tuple<int, double, QString>> items;
            for (const auto& line : pages[p].texts) {
                const double edge = m_margin + line.column * m_pitch + 100;
                const bool off =
                    line.position.y() > m_bottom || (!coupleNumber(line.text) && qAbs(line.position.x() - edge) > 1);
                items.append(
                    {line.column, line.position.y(),
                     (off ? QStringLiteral("!") : QString()) +
                         (coupleNumber(line.text) ? QStringLiteral("[fig]")
                                                  : QString(line.text).replace(header, QStringLiteral("[\\1]")))});
            }
            for (const QRectF& dancer : pages[p].ellipses) {
                const int at = column(dancer.center().x());
                const double left = m_margin + at * m_pitch;
                const bool off = dancer.bottom() > m_bottom || dancer.left() < left || dancer.right() > left + m_pitch;
                items.append({at, dancer.center().y(), off ? QStringLiteral("![fig]") : QStringLiteral("[fig]")});
            }
            std::sort(items.begin(), items.end());
            int current = -1;
            for (const auto& [at, y, text] : items) {
                if (at != current) {
                    bool ruled = true;
                    for (const double x : {m_margin + at * m_pitch, m_margin + (at + 1) * m_pitch}) {
                        ruled = ruled && pages[p].lines.contains(QLineF(x, m_margin, x, m_bottom));
                    }
                    tokens.append(QStringLiteral("%1.%2").arg(p + 1).arg(at) + (ruled ? "" : "!rule"));
                    current = at;
                }
                if (!text.endsWith(QLatin1String("[fig]")) || tokens.back() != text) {
                    tokens.append(text);
                }
            }
        }
        return tokens;
    }

private Q_SLOTS:
    void init() { m_library.emplace(); }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
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
        row("given order, one missing", "c?ab", 0, 1,
            "2 pages|1.0|[10:00:03]|c1|c2|c3|1.1|[10:00:01]|a1|a2|a3|2.0|[10:00:02]|b1|b2|b3|missing 4242");
        row("nothing selected", "", 0, 1, "1 pages");
        row("one level, date and time twice", "as", 0, 1, "1 pages|1.0|[10:00:01]|a1|a2|a3|1.1|[10:00:01]|s1");
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
        QMap<QChar, qint64> samples;
        for (const char name : {'a', 'b', 'c', 's'}) {
            const int count = name == 's' ? 1 : 3;
            QList<TestCall> calls;
            for (int i = 1; i <= count; ++i) {
                calls.append({QStringLiteral("%1%2").arg(QLatin1Char(name)).arg(i)});
            }
            samples[name] = addSequence(db(), QStringLiteral("10:00:0%1").arg(count == 1 ? 1 : name - 'a' + 1), calls);
        }
        samples['n'] = addSequence(db(), QStringLiteral("10:00:04"),
                                   {{"{b Swing} {red thru}", {}, "call note"}, {"two"}}, "Ann Author", "sequence note");
        samples['f'] =
            addSequence(db(), QStringLiteral("10:00:05"), {{"one", kSquaredSet}, {"two"}, {"three", "   \r\n  "}});
        QList<qint64> selected;
        for (const QChar name : keys) {
            selected.append(samples.value(name, 4242));
        }
        const QList<Page> pages = print(selected, options);
        QStringList tokens = QStringList{QStringLiteral("%1 pages").arg(pages.size())} + outline(pages);
        tokens += m_missing.isEmpty() ? QStringList() : QStringList{QStringLiteral("missing %1").arg(m_missing[0])};
        QTEST(tokens.join(QLatin1Char('|')), "outline");
    }

    // Filler calls push a call with a figure further down the first column until the call, its
    // note and its figure no longer fit; they then move to the next column together.
    void callAndFigureStayInOneColumn_data() {
        QTest::addColumn<int>("notePrint");
        QTest::newRow("call and figure") << 0;
        QTest::newRow("call, note and figure") << 1;
    }
    void callAndFigureStayInOneColumn() {
        QFETCH(int, notePrint);
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;
        const QStringList together = notePrint == 1 ? QStringList{"with figure", "    a note", "over", "lines", "[fig]"}
                                                    : QStringList{"with figure", "[fig]"};
        QList<TestCall> fillers;
        for (int i = 1; i <= 34; ++i) {
            fillers.append({QStringLiteral("filler %1").arg(i)});
        }
        int moved = 0;
        for (int count = 20; count <= 34; ++count) {
            const QList<TestCall> sequence =
                fillers.mid(0, count) + QList<TestCall>{{"with figure", kSquaredSet, "a note\nover\nlines"}};
            const QStringList tokens =
                outline(print({addSequence(db(), QStringLiteral("11:00:%1").arg(count), sequence)}, options));
            QVERIFY2(!tokens.join(QString()).contains(QLatin1Char('!')), qPrintable(tokens.join(QLatin1Char('|'))));
            const qsizetype at = tokens.indexOf(QStringLiteral("with figure"));
            QCOMPARE(tokens.mid(at, together.size()), together);
            moved += tokens.value(at - 1) == QLatin1String("1.1") ? 1 : 0;
        }
        QVERIFY(moved > 0);
    }

    // A call taller than the rest of its column, or than a whole page, goes on in the next column
    // and on the next page: every word reaches the page (Japanese, without blanks, broken between
    // characters), nothing lies below the bottom margin, and its figure and the next call follow
    // its last line. Every composed line reaches the PDF as text on the page the preview showed it
    // on, on the paper chosen, in an embedded CJK font; also when the pages are held back as
    // pictures and sent at the end.
    void longCall_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("heldBack");
        QTest::addColumn<double>("millimetres"); // margins
        QStringList words;
        for (int w = 0; w < 3000; ++w) {
            words.append(QStringLiteral("w%1").arg(w, 4, 10, QLatin1Char('0')));
        }
        QTest::newRow("3,000 words, Letter landscape, no margins") << words.join(' ') << 1 << 2 << false << 0.0;
        QTest::newRow("Japanese, A4, held back, 12.5 mm margins")
            << QStringLiteral("右手で引いて通り抜けてから左手でアルマンド").repeated(80) << 9 << 1 << true << 12.5;
    }
    void longCall() {
        QFETCH(QString, text);
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(bool, heldBack);
        QFETCH(double, millimetres);
        const qint64 key = addSequence(db(), QStringLiteral("09:00:00"),
                                       {{"{b before}"}, {text, kSquaredSet, "the note"}, {"after"}}, "山田");
        modPrint::PrintOptions options;
        options.NotePrint = 1;
        const QString pdf = m_library->home.file(QStringLiteral("out.pdf"));
        const QList<Page> pages = print({key}, options, paper, orientation, millimetres, pdf, heldBack);
        const QStringList shown = outline(pages).filter(QRegularExpression(QStringLiteral("^(?!\\d+\\.\\d+$)")));
        QCOMPARE(unspaced(shown.join(QString())),
                 unspaced(QStringList{"[09:00:00]", "Author : 山田", "before", text, "the note", "[fig]", "after"}.join(
                     QString())));
        QCOMPARE(pdfPages(pdf), pages.size());
        const QSizeF size = clsPrinter::pageSizeTwips(paper, orientation) / 20;
        QVERIFY(pdfInfo(pdf, QStringLiteral("Page size"))
                    .startsWith(QStringLiteral("%1 x %2 pts").arg(qRound(size.width())).arg(qRound(size.height()))));
        for (int n = 0; n < pages.size(); ++n) {
            const QString onPage = unspaced(pdfText(pdf, n + 1));
            for (const auto& line : pages[n].texts) {
                QVERIFY2(coupleNumber(line.text) || onPage.contains(unspaced(line.text)),
                         qPrintable(line.text + QStringLiteral(" on page %1").arg(n + 1)));
            }
        }
        QVERIFY(pdfTool(QStringLiteral("pdffonts"), {pdf})
                    .contains(QRegularExpression(QStringLiteral("CJK\\S*\\s.*\\syes\\s+\\S+\\s+yes"))));
    }

    // Stopped on its progress before a sequence (four steps lay three out, one before each and one
    // at the end), the document is given up: the preview shows nothing, and the pages held back
    // for the printer never reach it. Once laid out, they go to the printer whole: a stop asked
    // for while they are sent is not taken, and the progress follows them page by page.
    void stoppedOrSentWhole_data() {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("preview, first sequence") << true << 1;
        QTest::newRow("printer, last sequence") << false << 3;
        QTest::newRow("printer, while sending") << false << 5;
    }
    void stoppedOrSentWhole() {
        QFETCH(bool, preview);
        QFETCH(int, stopAt);
        modGeneral::SetLanguage(QStringLiteral("English"));
        QList<TestCall> calls;
        for (int c = 1; c <= 40; ++c) {
            calls.append({QStringLiteral("call %1").arg(c)});
        }
        QList<qint64> keys;
        for (const char* time : {"10:00:01", "10:00:02", "10:00:03"}) {
            keys.append(addSequence(db(), time, calls));
        }
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
            QVERIFY(!printer.isDocumentOpen());
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
        QCOMPARE(progress.steps(), 4 + pages + 1);
        QCOMPARE(progress.labels.back(), QStringLiteral("Sending page %1 of %1 to the printer...").arg(pages));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "TestPrintLayout.moc"
