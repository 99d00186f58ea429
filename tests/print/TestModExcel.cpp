#include "Fixtures.h"
#include "PrintFixture.h"
#include "StoppingProgress.h"
#include "Translation.h"
#include "modExcel.h"

#include <QDir>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QByteArray unzipped(const QString& workbook, const QString& member) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, member});
    if (!unzip.waitForFinished() || unzip.exitCode() != 0) {
        return {};
    }
    return unzip.readAllStandardOutput();
}

// The cells of the workbook's sheet by reference ("A1", "KN2", ...), shared strings resolved.
QMap<QString, QString> readCells(const QString& workbook) {
    QStringList shared;
    QXmlStreamReader strings(unzipped(workbook, QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == QLatin1String("t")) {
            shared.append(strings.readElementText());
        }
    }
    QMap<QString, QString> cells;
    QXmlStreamReader sheet(unzipped(workbook, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString reference;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (sheet.name() == QLatin1String("c")) {
            reference = sheet.attributes().value(QLatin1String("r")).toString();
            cells[reference + QStringLiteral(":style")] = sheet.attributes().value(QLatin1String("s")).toString();
        } else if (sheet.name() == QLatin1String("v")) {
            cells[reference] = shared.value(sheet.readElementText().toInt());
        }
    }
    return cells;
}

} // namespace

// The spreadsheet layout, read back from the workbook's XML.
class TestModExcel : public QObject {
    Q_OBJECT

private:
    QMap<QString, QString> write(const QList<qint64>& keys, int notePrint) {
        const QString path = m_library->home.file(QStringLiteral("out.xlsx"));
        m_result = modExcel::ExcelOutSequence(LibrarySource(m_library->db), keys, notePrint, path);
        return m_result.written ? readCells(path) : QMap<QString, QString>();
    }

    std::optional<LibraryFixture> m_library;
    modExcel::ExcelResult m_result;

private Q_SLOTS:
    void init() { m_library.emplace(); }
    void cleanup() {
        QVERIFY2(m_library->box.prompts.isEmpty(), qPrintable(m_library->box.prompts.join(QLatin1Char('\n'))));
        m_library.reset();
    }

    void columnLayout_data() {
        QTest::addColumn<int>("notePrint");
        QTest::addColumn<QStringList>("columnA");
        const QString head = QStringLiteral("Level : Plus    Create : 2026/01/02 10:00:01");
        QTest::newRow("notes") << 1 << QStringList{head,         "Author : Ann", "Note : sequence note",
                                                   "Swing thru", "    mind it",  "boys run"};
        QTest::newRow("no notes") << 0 << QStringList{head, "Author : Ann", "", "Swing thru", "boys run", ""};
    }
    void columnLayout() {
        QFETCH(int, notePrint);
        QFETCH(QStringList, columnA);
        const qint64 key = addSequence(
            m_library->db, QStringLiteral("10:00:01"),
            {{QStringLiteral("{b Swing} thru"), kSquaredSet, QStringLiteral("mind it")}, {QStringLiteral("boys run")}},
            QStringLiteral("Ann"), QStringLiteral("sequence note"));
        const QMap<QString, QString> cells = write({key}, notePrint);
        QVERIFY(m_result.written);
        for (qsizetype row = 0; row < columnA.size(); ++row) {
            QCOMPARE(cells.value(QStringLiteral("A%1").arg(row + 1)), columnA[row]);
        }
        QVERIFY(!cells.contains(QStringLiteral("B1")));
        // Header rows bold, calls plain.
        QVERIFY(cells.value(QStringLiteral("A1:style")) != cells.value(QStringLiteral("A4:style")));
        QVERIFY(unzipped(m_library->home.file(QStringLiteral("out.xlsx")), QStringLiteral("xl/styles.xml"))
                    .contains("<b/>"));
    }

    void everySequenceHasAColumnInTheGivenOrder() {
        QList<qint64> keys;
        Transaction transaction(m_library->db);
        for (int i = 0; i < 300; ++i) {
            keys.prepend(addSequence(m_library->db, QStringLiteral("12:%1").arg(i, 3, 10, QLatin1Char('0')),
                                     {{QStringLiteral("call of %1").arg(i)}}));
        }
        transaction.commit();
        keys.insert(10, 4242);
        const QMap<QString, QString> cells = write(keys, 0);
        QCOMPARE(m_result.missing, QList<qint64>{4242});
        QCOMPARE(m_result.leftOut, 0);
        QCOMPARE(cells.value(QStringLiteral("A4")), QStringLiteral("call of 299"));
        QCOMPARE(cells.value(QStringLiteral("KN4")), QStringLiteral("call of 0"));
        QVERIFY(!cells.contains(QStringLiteral("KO1")));
        // Two sequences of one level, date and time (Change Level can make them) each get their own
        // calls.
        const qint64 a = addSequence(m_library->db, QStringLiteral("10:00:01"), {{QStringLiteral("first")}});
        const qint64 b = addSequence(m_library->db, QStringLiteral("10:00:01"), {{QStringLiteral("second")}});
        const QMap<QString, QString> two = write({a, b}, 0);
        QCOMPARE((QStringList{two.value("A4"), two.value("A5"), two.value("B4"), two.value("B5")}),
                 (QStringList{"first", "", "second", ""}));
    }

    void sequencesBeyondTheLastColumnAreCounted() {
        Transaction transaction(m_library->db);
        Statement add = m_library->db.prepare(QStringLiteral(
            "INSERT INTO tblSequence (Level, Date, Time) VALUES ('A1', '2026/02/03', printf('%06d', ?))"));
        for (int i = 0; i < modExcel::MaxColumns + 2; ++i) {
            add.reset();
            add.bind(1, i);
            add.run();
        }
        transaction.commit();
        QList<qint64> keys;
        for (qint64 key = 1; key <= modExcel::MaxColumns + 2; ++key) {
            keys.append(key);
        }
        const QMap<QString, QString> cells = write(keys, 0);
        QCOMPARE(m_result.leftOut, 2);
        // XFD is the last column.
        QCOMPARE(cells.value(QStringLiteral("XFD1")), QStringLiteral("Level : A1    Create : 2026/02/03 016383"));
    }

    void aFailedWriteLeavesNoFile_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << QStringLiteral("missing/out.xlsx");
        QTest::newRow("a folder in the way") << QStringLiteral("out.xlsx");
    }
    void aFailedWriteLeavesNoFile() {
        QFETCH(QString, target);
        const qint64 key = addSequence(m_library->db, QStringLiteral("10:00:01"), {{QStringLiteral("x")}});
        const QString folder = m_library->home.file(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/out.xlsx")));
        m_result =
            modExcel::ExcelOutSequence(LibrarySource(m_library->db), {key}, 0, folder + QLatin1Char('/') + target);
        QVERIFY(!m_result.written);
        QVERIFY(!m_result.error.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("out.xlsx")});
        QVERIFY(QFileInfo(folder + QStringLiteral("/out.xlsx")).isDir());
    }

    // Stopped on its progress, the output writes nothing: no workbook, no partial file, and a
    // workbook already at the path keeps its bytes. Not stopped, the progress goes through every
    // sequence and the workbook is written.
    void cancelledOutputWritesNothing_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("new file, first sequence") << false << 1;
        QTest::newRow("new file, last sequence") << false << 4;
        QTest::newRow("existing file, second sequence") << true << 2;
        QTest::newRow("not stopped") << false << 0;
    }
    void cancelledOutputWritesNothing() {
        QFETCH(bool, existing);
        QFETCH(int, stopAt);
        QList<qint64> keys;
        for (int s = 0; s < 4; ++s) {
            keys.append(addSequence(m_library->db, QStringLiteral("10:00:0%1").arg(s), {{QStringLiteral("x")}}));
        }
        const QString folder = m_library->home.file(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/out.xlsx");
        const QByteArray before("an older workbook");
        if (existing) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        modGeneral::SetLanguage(QStringLiteral("English"));
        StoppingProgress progress(stopAt);
        m_result = modExcel::ExcelOutSequence(LibrarySource(m_library->db), keys, 0, path, &progress);
        if (stopAt == 0) {
            QVERIFY(m_result.written && !m_result.cancelled);
            QCOMPARE(progress.positions, (QList<QPair<qint64, qint64>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}));
            QCOMPARE(readCells(path).value(QStringLiteral("D4")), QStringLiteral("x"));
            return;
        }
        QVERIFY(m_result.cancelled && !m_result.written);
        QCOMPARE(progress.steps(), stopAt);
        QCOMPARE(progress.labels.back(), QStringLiteral("Writing sequence %1 of 4 to the spreadsheet...").arg(stopAt));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 existing ? QStringList{QStringLiteral("out.xlsx")} : QStringList());
        QCOMPARE(Fixtures::readFile(path), existing ? before : QByteArray());
    }

    // Killed at any moment while it works, the output leaves no file behind but a complete
    // workbook.
    void killedOutputLeavesNothing() {
        QList<qint64> keys;
        {
            Transaction transaction(m_library->db);
            const QList<TestCall> calls(40, TestCall{QStringLiteral("a call with a longer text to write")});
            for (int i = 0; i < 400; ++i) {
                keys.append(addSequence(m_library->db, QStringLiteral("11:%1").arg(i, 3, 10, QLatin1Char('0')), calls));
            }
            transaction.commit();
        }
        const QString folder = m_library->home.file(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/out.xlsx");
        const QString library = m_library->db.path();
        const qint64 micros = Fixtures::runMicros([&] { write(keys, 0); });
        QVERIFY(QFile::remove(m_library->home.file(QStringLiteral("out.xlsx"))));
        QRandomGenerator random(11);
        for (int round = 0; round < 8; ++round) {
            QVERIFY(Fixtures::killMidway(random, micros, [&](const std::function<void()>& ready) {
                Database db(library, Database::Mode::ReadOnly);
                ready();
                modExcel::ExcelOutSequence(LibrarySource(db), keys, 0, path);
            }));
            const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QVERIFY2(left.isEmpty() || left == QStringList{QStringLiteral("out.xlsx")}, qPrintable(left.join(' ')));
            QVERIFY(left.isEmpty() || readCells(path).value(QStringLiteral("A1")).startsWith(QLatin1String("Level")));
            QFile::remove(path);
        }
    }
};

QTEST_MAIN(TestModExcel)
#include "TestModExcel.moc"
