#include "Fixtures.h"
#include "PdfText.h"
#include "PrintFixture.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "modExcel.h"

#include <QDir>
#include <QtTest>

namespace {

QString unzipped(const QString& workbook, const char* member) {
    return pdfTool(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, QLatin1String(member)});
}

// The cells of the workbook's sheet, row by row, as "A1=text" (shared strings resolved) joined by
// '|'; a cell in the first cell's style (a header's) is marked "*".
QString readSheet(const QString& workbook) {
    static const QRegularExpression text(QStringLiteral("<t[^>]*>([^<]*)</t>"));
    static const QRegularExpression cell(QStringLiteral("<c r=\"(\\w+)\"(?: s=\"(\\d+)\")?[^>]*><v>(\\d+)</v>"));
    QStringList shared;
    for (const auto& match : text.globalMatch(unzipped(workbook, "xl/sharedStrings.xml"))) {
        shared.append(match.captured(1));
    }
    QStringList cells;
    QString header;
    for (const auto& match : cell.globalMatch(unzipped(workbook, "xl/worksheets/sheet1.xml"))) {
        header = cells.isEmpty() ? match.captured(2) : header;
        cells.append((match.captured(2) == header ? "*" : "") + match.captured(1) + '=' +
                     shared.value(match.captured(3).toInt()));
    }
    return cells.join(QLatin1Char('|'));
}

} // namespace

// The spreadsheet layout, read back from the workbook's XML.
class TestModExcel : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_library;

    QString folder() const { return m_library->home.file(QStringLiteral("out")); }
    QStringList listing() const {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private Q_SLOTS:
    void init() {
        m_library.emplace();
        QVERIFY(QDir().mkpath(folder() + QStringLiteral("/in the way.xlsx")));
        modGeneral::SetLanguage(QStringLiteral("English"));
    }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
    }

    // The cells of the sequences named by letter ('?' a missing one), each in a column of its own
    // in the given order: the header rows bold (the note's only when asked for), one call a row,
    // its note in the next row when asked for; markup and figures left out. The workbook is
    // written whole or not at all: a path that cannot take it is refused, a stop on the progress
    // writes nothing; either way nothing is left behind and a workbook at the path keeps its bytes.
    void cells_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("notePrint");
        QTest::addColumn<QString>("target"); // '+' before a workbook already there
        QTest::addColumn<int>("stopAt");
        QTest::addColumn<QString>("cells");
        const auto row = [](const char* name, const char* keys, int notePrint, const char* target, int stopAt,
                            const char* cells) {
            QTest::newRow(name) << QString(keys) << notePrint << QString(target) << stopAt
                                << QString(cells).replace('@', QStringLiteral("Level : Plus    Create : 2026/01/02 "));
        };
        row("notes", "a", 1, "out.xlsx", 0,
            "*A1=@10:00:01|*A2=Author : Ann|*A3=Note : sequence note|A4=Swing thru|A5=    mind it|A6=boys run");
        // Two sequences of one level, date and time (Change Level can make them) each get their calls.
        row("given order, one missing", "c?ab", 0, "out.xlsx", 0,
            "*A1=@10:00:03|*B1=@10:00:01|*C1=@10:00:01|*B2=Author : Ann|A4=third|B4=Swing thru|C4=second|B5=boys "
            "run|missing 4242");
        row("over a workbook", "b", 0, "+out.xlsx", 0, "*A1=@10:00:01|A4=second");
        row("a folder in the way", "a", 0, "in the way.xlsx", 0, "refused");
        row("stopped at the first", "abc", 0, "out.xlsx", 1, "Writing sequence 1 of 3 to the spreadsheet...");
        row("stopped over a workbook", "abc", 0, "+out.xlsx", 2, "Writing sequence 2 of 3 to the spreadsheet...");
    }
    void cells() {
        QFETCH(QString, keys);
        QFETCH(int, notePrint);
        QFETCH(QString, target);
        QFETCH(int, stopAt);
        QMap<QChar, qint64> samples;
        samples['a'] = addSequence(
            m_library->db, QStringLiteral("10:00:01"),
            {{QStringLiteral("{b Swing} thru"), kSquaredSet, QStringLiteral("mind it")}, {QStringLiteral("boys run")}},
            QStringLiteral("Ann"), QStringLiteral("sequence note"));
        samples['b'] = addSequence(m_library->db, QStringLiteral("10:00:01"), {{QStringLiteral("second")}});
        samples['c'] = addSequence(m_library->db, QStringLiteral("10:00:03"), {{QStringLiteral("third")}});
        QList<qint64> selected;
        for (const QChar name : keys) {
            selected.append(samples.value(name, 4242));
        }
        const QString path = folder() + QLatin1Char('/') + QString(target).remove('+');
        QVERIFY(!target.startsWith('+') || Fixtures::writeFile(path, "an older workbook"));
        const QStringList before = listing();
        const QByteArray bytes = Fixtures::readFile(path);
        StoppingProgress progress(stopAt);
        const modExcel::ExcelResult result =
            modExcel::ExcelOutSequence(LibrarySource(m_library->db), selected, notePrint, path, &progress);
        QVERIFY(result.written != (result.cancelled || !result.error.isEmpty()) && result.leftOut == 0);
        if (!result.written) {
            QTEST(result.cancelled ? progress.labels.back() : QStringLiteral("refused"), "cells");
            QCOMPARE(listing(), before);
            QCOMPARE(Fixtures::readFile(path), bytes);
            return;
        }
        QCOMPARE(progress.positions.back(), (QPair<qint64, qint64>(selected.size(), selected.size())));
        const QString missing =
            result.missing.isEmpty() ? QString() : QStringLiteral("|missing %1").arg(result.missing[0]);
        QTEST(readSheet(path) + missing, "cells");
    }

    // Sequences beyond the last column (XFD) are counted, not written.
    void sequencesBeyondTheLastColumnAreCounted() {
        m_library->db
            .prepare(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i <= ?) "
                                    "INSERT INTO tblSequence (Level, Date, Time) SELECT 'A1', '2026/02/03', "
                                    "printf('%06d', i) FROM n"))
            .bind(1, modExcel::MaxColumns)
            .run();
        QList<qint64> keys;
        for (const QString& key : Fixtures::rows(m_library->db, QStringLiteral("SELECT Sequence FROM tblSequence"))) {
            keys.append(key.toLongLong());
        }
        const QString path = folder() + QStringLiteral("/out.xlsx");
        QCOMPARE(modExcel::ExcelOutSequence(LibrarySource(m_library->db), keys, 0, path).leftOut, 2);
        QVERIFY(readSheet(path).endsWith(QStringLiteral("|*XFD1=Level : A1    Create : 2026/02/03 016383")));
    }
};

QTEST_MAIN(TestModExcel)
#include "TestModExcel.moc"
