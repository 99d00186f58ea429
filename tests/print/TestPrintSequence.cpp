#include "Fixtures.h"
#include "IPreviewForm.h"
#include "PrintFixture.h"
#include "PrintSequence.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "clsPrinter.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr double kLeft = 10 * 1440 / 25.4;

QString header(const QString& time) {
    return QStringLiteral("Level : Plus    Create : 2026/01/02 ") + time;
}

QList<TestCall> plainCalls(int count, const QString& prefix = QStringLiteral("call")) {
    QList<TestCall> calls;
    for (int i = 1; i <= count; ++i) {
        calls.append({QStringLiteral("%1 %2").arg(prefix).arg(i), {}, {}});
    }
    return calls;
}

// The preview window's place: counts the documents it is given.
class CountingForm final : public IPreviewForm {
public:
    void showPages(const QList<QPicture>& pages, const QSizeF&) override { shown.append(pages.size()); }
    QList<qsizetype> shown;
};

qsizetype pdfPages(const QByteArray& pdf) {
    return QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")));
}

} // namespace

// The print layout composed in preview mode and played back onto a recording device.
class TestPrintSequence : public QObject {
    Q_OBJECT

private:
    QList<RecordedPage> print(const QList<qint64>& keys, const modPrint::PrintOptions& options = {}) {
        clsPrinter printer;
        printer.setPreview(true);
        m_missing = modPrint::PrintSequence(LibrarySource(m_library->db), keys, options, printer);
        m_bottom = printer.ScaleHeight();
        m_pitch = printer.ColumnWidth + 2 * printer.ColumnSpace;
        return recordPages(printer.pages(), kLeft, m_pitch);
    }

    std::optional<LibraryFixture> m_library;
    QList<qint64> m_missing;
    double m_bottom = 0;
    double m_pitch = 0;

private Q_SLOTS:
    void init() { m_library.emplace(); }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
    }

    void twoSequencesAPageInTheGivenOrder() {
        Database& db = m_library->db;
        const qint64 a = addSequence(db, QStringLiteral("10:00:01"), plainCalls(3, QStringLiteral("first")));
        const qint64 b = addSequence(db, QStringLiteral("10:00:02"), plainCalls(3, QStringLiteral("second")));
        const qint64 c = addSequence(db, QStringLiteral("10:00:03"), plainCalls(3, QStringLiteral("third")));
        const QList<RecordedPage> pages = print({c, a, b});
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].find(header(QStringLiteral("10:00:03"))).column, 0);
        QCOMPARE(pages[0].find(QStringLiteral("third 3")).column, 0);
        QCOMPARE(pages[0].find(header(QStringLiteral("10:00:01"))).column, 1);
        QCOMPARE(pages[1].find(header(QStringLiteral("10:00:02"))).column, 0);
        QVERIFY(pages[0].find(QStringLiteral("first 1")).position.y() <
                pages[0].find(QStringLiteral("first 2")).position.y());
        // The first page's rules: the left edge and the right edge of both columns.
        for (const double x : {kLeft, kLeft + m_pitch, kLeft + 2 * m_pitch}) {
            QVERIFY(pages[0].lines.contains(QLineF(x, kLeft, x, m_bottom)));
        }
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
            keys.append(addSequence(m_library->db, QStringLiteral("10:00:0%1").arg(s), plainCalls(40)));
        }
        CountingForm form;
        QBuffer pdf;
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        QPdfWriter writer(&pdf);
        clsPrinter printer;
        printer.setPreview(preview);
        printer.setForm(&form);
        printer.setDeferred(!preview);
        printer.setPrinter(&writer);
        StoppingProgress progress(stopAt);
        modPrint::PrintSequence(LibrarySource(m_library->db), keys, {}, printer, &progress);
        QCOMPARE(progress.steps(), stopAt);
        QVERIFY(progress.cancelled());
        QVERIFY(form.shown.isEmpty());
        QVERIFY(pdf.data().isEmpty());
        QVERIFY(printer.pages().isEmpty());
        QVERIFY(!printer.isDocumentOpen());
    }

    // Held back until the layout is complete, the pages then go to the printer whole: a stop asked
    // for while they are sent is not taken, and the progress follows them page by page.
    void heldBackPagesAreSentWhole() {
        modGeneral::SetLanguage(QStringLiteral("English"));
        QList<qint64> keys;
        for (int s = 0; s < 3; ++s) {
            keys.append(addSequence(m_library->db, QStringLiteral("10:00:0%1").arg(s), plainCalls(40)));
        }
        QBuffer pdf;
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        QPdfWriter writer(&pdf);
        clsPrinter printer;
        printer.setDeferred(true);
        printer.setPrinter(&writer);
        // Four steps lay the sequences out (one before each, one at the end); the fifth is the first
        // page sent.
        StoppingProgress progress(5);
        modPrint::PrintSequence(LibrarySource(m_library->db), keys, {}, printer, &progress);
        QVERIFY(!progress.cancelled());
        QVERIFY(!progress.cancellable);
        const qsizetype pages = printer.pages().size();
        QVERIFY(pages >= 2);
        QCOMPARE(pdfPages(pdf.data()), pages);
        QCOMPARE(progress.steps(), 4 + pages + 1);
        QCOMPARE(progress.positions.back(), (QPair<qint64, qint64>(pages, pages)));
        QCOMPARE(progress.labels.back(), QStringLiteral("Sending page %1 of %1 to the printer...").arg(pages));
    }

    // Two sequences of one level, date and time (Change Level can make them) each print their own
    // calls.
    void sequencesOfOneDateAndTimeKeepTheirCalls() {
        Database& db = m_library->db;
        const qint64 a = addSequence(db, QStringLiteral("10:00:01"), plainCalls(2, QStringLiteral("first")));
        const qint64 b = addSequence(db, QStringLiteral("10:00:01"), plainCalls(3, QStringLiteral("second")));
        const QString pageA = print({a}).front().all();
        const QString pageB = print({b}).front().all();
        QVERIFY(pageA.contains(QStringLiteral("first 2")) && !pageA.contains(QStringLiteral("second")));
        QVERIFY(pageB.contains(QStringLiteral("second 3")) && !pageB.contains(QStringLiteral("first")));
    }

    void missingSequencesAreLeftOut() {
        const qint64 a = addSequence(m_library->db, QStringLiteral("10:00:01"), plainCalls(1));
        const QList<RecordedPage> pages = print({4242, a});
        QCOMPARE(m_missing, QList<qint64>{4242});
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].find(header(QStringLiteral("10:00:01"))).column, 0);
    }

    void nothingSelectedGivesOneEmptyPage() {
        const QList<RecordedPage> pages = print({});
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages[0].texts.isEmpty());
    }

    void notesAndAuthor_data() {
        QTest::addColumn<int>("notePrint");
        QTest::newRow("notes printed") << 1;
        QTest::newRow("no notes") << 0;
    }
    void notesAndAuthor() {
        QFETCH(int, notePrint);
        const qint64 key = addSequence(m_library->db, QStringLiteral("10:00:01"),
                                       {{QStringLiteral("swing thru"), {}, QStringLiteral("call note")}},
                                       QStringLiteral("Ann Author"), QStringLiteral("sequence note"));
        modPrint::PrintOptions options;
        options.NotePrint = notePrint;
        const QString page = print({key}, options).front().all();
        QVERIFY(page.contains(QStringLiteral("Author : Ann Author")));
        QCOMPARE(page.contains(QStringLiteral("Note : sequence note")), notePrint == 1);
        QCOMPARE(page.contains(QStringLiteral("call note")), notePrint == 1);
    }

    void markupNeverReachesThePage() {
        const qint64 key =
            addSequence(m_library->db, QStringLiteral("10:00:01"), {{QStringLiteral("{b Swing} {red thru}"), {}, {}}});
        const QString page = print({key}).front().all();
        QVERIFY(page.contains(QStringLiteral("Swing thru")));
        QVERIFY(!page.contains(QLatin1Char('{')) && !page.contains(QLatin1Char('}')));
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
        const qint64 key = addSequence(
            m_library->db, QStringLiteral("10:00:01"),
            {{QStringLiteral("one"), figure, {}}, {QStringLiteral("two"), {}, {}}, {QStringLiteral("three"), {}, {}}});
        modPrint::PrintOptions options;
        options.FormationPrint = formationPrint;
        const RecordedPage page = print({key}, options).front();
        const double first = page.find(QStringLiteral("one")).position.y();
        const double second = page.find(QStringLiteral("two")).position.y();
        const double third = page.find(QStringLiteral("three")).position.y();
        QCOMPARE(page.ellipses.size() > 0, drawn);
        QCOMPARE(second - first > third - second + 100, drawn);
        if (drawn) {
            // The figure lies between its call and the next one.
            for (const QRectF& dancer : page.ellipses) {
                QVERIFY(dancer.top() > first && dancer.bottom() < second);
            }
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
            const qint64 key = addSequence(m_library->db, QStringLiteral("11:00:%1").arg(fillers), calls);
            const RecordedPage page = print({key}, options).front();
            const auto call = page.find(QStringLiteral("with figure"));
            QVERIFY(call.column >= 0);
            QCOMPARE(page.find(QStringLiteral("a note of the call")).column, notePrint == 1 ? call.column : -1);
            const double callX = call.position.x();
            for (const QRectF& dancer : page.ellipses) {
                QVERIFY(dancer.left() > callX && dancer.right() < callX + m_pitch);
                QVERIFY(dancer.top() > call.position.y() && dancer.bottom() < m_bottom);
            }
            const auto last = page.find(QStringLiteral("filler %1").arg(fillers));
            if (call.column == 1 && last.column == 0 && last.position.y() + 2 * 400 < m_bottom) {
                ++movedTogether;
            }
        }
        QVERIFY(movedTogether > 0);
    }
};

QTEST_MAIN(TestPrintSequence)
#include "TestPrintSequence.moc"
