#include "Fixtures.h"
#include "PrintFixture.h"
#include "PrintSequence.h"
#include "clsPrinter.h"

#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr double kLeft = 10 * 1440 / 25.4;

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Text as compared between the PDF and the composed pages: compatibility forms folded (the PDF's
// text map names some CJK ideographs by their radical forms) and white space collapsed.
QString comparable(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).simplified();
}

// Without any white space: the text extraction guesses the spacing of lines.
QString unspaced(const QString& text) {
    return comparable(text).remove(QLatin1Char(' '));
}

} // namespace

// The same layout on a PDF writer: every composed line reaches the PDF as text, on the page the
// preview showed it on.
class TestPrintPdf : public QObject {
    Q_OBJECT

private:
    std::optional<LibraryFixture> m_library;

private Q_SLOTS:
    void init() { m_library.emplace(); }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
    }

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
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "poppler-utils missing");
        Database& db = m_library->db;
        QList<qint64> keys;
        for (int s = 0; s < 5; ++s) {
            QList<TestCall> calls;
            for (int c = 1; c <= 14; ++c) {
                calls.append({QStringLiteral("{b call} %1 of sequence %2 swing thru and boys run").arg(c).arg(s),
                              c % 3 == 0 ? kSquaredSet : QString(),
                              c % 4 == 0 ? QStringLiteral("note %1").arg(c) : QString()});
            }
            calls.append({QStringLiteral("日本語のコール 右手で引いて通り抜け %1").arg(s)});
            keys.append(addSequence(db, QStringLiteral("09:00:0%1").arg(s), calls, QStringLiteral("山田"),
                                    QStringLiteral("日本語のメモ %1").arg(s)));
        }
        modPrint::PrintOptions options;
        options.NotePrint = 1;

        clsPrinter preview;
        preview.setPreview(true);
        preview.pageSetup.PaperSize = paper;
        preview.pageSetup.Orientation = orientation;
        modPrint::PrintSequence(LibrarySource(db), keys, options, preview);
        const QList<RecordedPage> pages =
            recordPages(preview.pages(), kLeft, preview.ColumnWidth + 2 * preview.ColumnSpace);
        QVERIFY(pages.size() >= 3);

        const QString pdf = m_library->home.file(QStringLiteral("out.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(1200);
            clsPrinter printer;
            printer.pageSetup.PaperSize = paper;
            printer.pageSetup.Orientation = orientation;
            printer.setPrinter(&writer);
            printer.setDeferred(heldBack);
            modPrint::PrintSequence(LibrarySource(db), keys, options, printer);
        }
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages.size()))),
                 qPrintable(info));
        const QSizeF size = clsPrinter::pageSizeTwips(paper, orientation) / 20;
        QVERIFY2(info.contains(QStringLiteral("%1 x %2 pts").arg(qRound(size.width())).arg(qRound(size.height()))),
                 qPrintable(info));
        for (qsizetype n = 0; n < pages.size(); ++n) {
            const QString number = QString::number(n + 1);
            const QString text =
                unspaced(run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-f"), number, QStringLiteral("-l"), number, QStringLiteral("-enc"),
                              QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
            for (const auto& line : pages[n].texts) {
                // A figure's couple numbers, which the extraction spreads over its text blocks.
                if (line.text.contains(QRegularExpression(QStringLiteral("^[0-9]+$")))) {
                    continue;
                }
                QVERIFY2(text.contains(unspaced(line.text)),
                         qPrintable(line.text + QStringLiteral(" on page ") + number));
            }
        }
        // Markup stays out of the printed text.
        QVERIFY(!run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QLatin1Char('{')));
        // Japanese glyphs come from an embedded CJK font.
        const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.contains(QRegularExpression(QStringLiteral("CJK\\S*\\s.*\\syes\\s+\\S+\\s+yes"))),
                 qPrintable(fonts));
    }

    // A call taller than the rest of its column, or than a whole page, goes on in the next column
    // and on the next page: every word reaches the PDF in order, no line lies below the bottom
    // margin, and the call after it starts below its last line.
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
        const QList<TestCall> calls{{QStringLiteral("before")},
                                    {text.join(QLatin1Char(' ')), kSquaredSet, QStringLiteral("the note")},
                                    {QStringLiteral("after")}};
        const qint64 key = addSequence(m_library->db, QStringLiteral("09:00:00"), calls);
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;

        clsPrinter preview;
        preview.setPreview(true);
        modPrint::PrintSequence(LibrarySource(m_library->db), {key}, options, preview);
        const QList<RecordedPage> pages =
            recordPages(preview.pages(), kLeft, preview.ColumnWidth + 2 * preview.ColumnSpace);
        QStringList shown;
        for (const RecordedPage& page : pages) {
            for (const auto& line : page.texts) {
                QVERIFY2(line.position.y() <= preview.ScaleHeight(), qPrintable(line.text));
                // The figure's couple numbers aside.
                if (!line.text.contains(QRegularExpression(QStringLiteral("^[0-9]+$")))) {
                    shown += line.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                }
            }
            for (const QRectF& dancer : page.ellipses) {
                QVERIFY(dancer.bottom() <= preview.ScaleHeight());
            }
        }
        const QStringList expected =
            QStringList{QStringLiteral("Level"),    QStringLiteral(":"),     QStringLiteral("Plus"),
                        QStringLiteral("Create"),   QStringLiteral(":"),     QStringLiteral("2026/01/02"),
                        QStringLiteral("09:00:00"), QStringLiteral("before")} +
            text + (notePrint == 1 ? QStringList{QStringLiteral("the"), QStringLiteral("note")} : QStringList()) +
            QStringList{QStringLiteral("after")};
        QCOMPARE(shown, expected);

        const QString pdf = m_library->home.file(QStringLiteral("long.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(1200);
            clsPrinter printer;
            printer.setPrinter(&writer);
            modPrint::PrintSequence(LibrarySource(m_library->db), {key}, options, printer);
        }
        const QStringList printed = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                                        .split(QRegularExpression(QStringLiteral("\\s+")));
        QCOMPARE(printed.filter(QRegularExpression(QStringLiteral("^w\\d{4}$"))), text);
    }
};

QTEST_MAIN(TestPrintPdf)
#include "TestPrintPdf.moc"
