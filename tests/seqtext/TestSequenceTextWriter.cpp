#include "Database.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "SequenceTextWriter.h"
#include "TestHome.h"
#include "modSeqText.h"

#include <QtTest>

namespace {

const QString kProc = QStringLiteral("modSeqText.WriteSequenceClipboard");

// Every row of a statement, its columns joined by '|'.
QStringList rows(Database& db, const QString& sql, const QVariantList& values = {}) {
    Statement statement = db.prepare(sql);
    for (qsizetype i = 0; i < values.size(); ++i) {
        statement.bind(static_cast<int>(i + 1), values[i]);
    }
    QStringList result;
    while (statement.step()) {
        QStringList columns;
        for (int c = 0; c < statement.columnCount(); ++c) {
            columns.append(statement.text(c));
        }
        result.append(columns.join(QLatin1Char('|')));
    }
    return result;
}

// A bound value; "<null>" stands for a Null field.
QVariant field(const QString& text) {
    return text == QLatin1String("<null>") ? QVariant() : QVariant(text);
}

// Stores a sequence dated 2012/09/08 17:09:54 at level Plus. history holds "isoDate|party",
// calls "number|call|note|figure" (stored in the order given).
qint64 addSequence(Database& db, const QString& version, const QString& note, const QVariant& property,
                   const QStringList& history, const QStringList& calls) {
    db.prepare(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Version, Note, Property) "
                              "VALUES ('Plus', '2012/09/08', '17:09:54', ?, ?, ?)"))
        .bind(1, field(version))
        .bind(2, field(note))
        .bind(3, property)
        .run();
    const qint64 key = db.lastInsertRowId();
    for (const QString& row : history) {
        db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"))
            .bind(1, key)
            .bind(2, row.section(QLatin1Char('|'), 0, 0))
            .bind(3, row.section(QLatin1Char('|'), 1))
            .run();
    }
    for (const QString& row : calls) {
        const QStringList parts = row.split(QLatin1Char('|'));
        db.prepare(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call, Note, Figure) VALUES (?, ?, ?, ?, ?)"))
            .bind(1, key)
            .bind(2, parts[0].toLongLong())
            .bind(3, parts[1])
            .bind(4, field(parts[2]))
            .bind(5, field(parts[3]))
            .run();
    }
    return key;
}

// Every sequence with its history and calls, in date, time and level order, keys left out so
// that two libraries compare.
QStringList snapshot(Database& db) {
    QStringList result;
    for (const QString& sequence : rows(db, QStringLiteral("SELECT Sequence, Level, Date, Time, Version, Note, "
                                                           "Property FROM tblSequence ORDER BY Date, Time, Level"))) {
        const QVariantList key{sequence.section(QLatin1Char('|'), 0, 0)};
        result << sequence.section(QLatin1Char('|'), 1)
               << rows(db,
                       QStringLiteral("SELECT 'history', CallDate, PartyName FROM tblHistory WHERE Sequence = ? "
                                      "ORDER BY History"),
                       key)
               << rows(db,
                       QStringLiteral("SELECT 'call', Number, Call, Note, Figure FROM tblCall WHERE Sequence = ? "
                                      "ORDER BY Number"),
                       key);
    }
    return result;
}

QList<qint64> allSequences(Database& db) {
    QList<qint64> keys;
    for (const QString& key : rows(db, QStringLiteral("SELECT Sequence FROM tblSequence ORDER BY Sequence"))) {
        keys.append(key.toLongLong());
    }
    return keys;
}

int count(Database& db, const QString& table) {
    return Fixtures::value(db, QStringLiteral("SELECT count(*) FROM ") + table).toInt();
}

} // namespace

class TestSequenceTextWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Header names are English whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        m_db = std::make_unique<Database>();
        Fixtures::createLibrary(*m_db, m_home->path());
    }
    void cleanup() {
        m_db.reset();
        m_box.reset();
        m_home.reset();
    }

    void layout_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QVariant>("property");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("expected");

        QTest::newRow("note, history, state, warning, figure")
            << "3.5"
            << "Teach first\r\nafter a break" << QVariant(3)
            << QStringList{"2012-01-28|Spring Dance", "2011-12-03|Sam's \"Hall\""}
            << QStringList{"2|swing thru||1B^   2G<\r\n\r\n3GV   4B>",
                           "1|HEADS square thru 4|Warning:  Take right hands.|"}
            << "\r\n"
               "Sat Sep 08 17:09:54 2012     3.5     Plus\r\n"
               "             Teach first\r\nafter a break\r\n"
               "             History:2012/01/28,Spring Dance\r\n"
               "             History:2011/12/03,Sam's \"Hall\"\r\n"
               "             Property:3\r\n"
               "\r\n\r\n"
               "HEADS square thru 4\r\n"
               "  Warning:  Take right hands.\r\n"
               "\r\n\r\n"
               "swing thru\r\n"
               "\r\n"
               " 1B^   2G<\r\n"
               "\r\n"
               " 3GV   4B>\r\n"
               "\r\n\r\n";
        QTest::newRow("null fields") << "<null>"
                                     << "<null>" << QVariant() << QStringList()
                                     << QStringList{"1|circulate|<null>|<null>"}
                                     << "\r\nSat Sep 08 17:09:54 2012          Plus\r\n\r\n\r\ncirculate\r\n\r\n\r\n";
        QTest::newRow("figure ending with a line break")
            << "v"
            << "" << QVariant(0) << QStringList() << QStringList{"1|trade||a\r\n"}
            << "\r\nSat Sep 08 17:09:54 2012     v     Plus\r\n\r\n\r\ntrade\r\n\r\n a\r\n\r\n\r\n";
    }
    void layout() {
        QFETCH(QString, version);
        QFETCH(QString, note);
        QFETCH(QVariant, property);
        QFETCH(QStringList, history);
        QFETCH(QStringList, calls);
        QString text;
        modSeqText::WriteSequenceClipboard(*m_db, text, addSequence(*m_db, version, note, property, history, calls));
        QTEST(text, "expected");
        QVERIFY(m_box->prompts.isEmpty());
    }

    void separators_data() {
        QTest::addColumn<QList<qint64>>("keys");
        QTest::addColumn<QString>("pattern");
        // In the pattern A and B stand for the texts of the two sequences, | for the form-feed line.
        QTest::newRow("selection order") << QList<qint64>{2, 1} << "B|A";
        QTest::newRow("missing first") << QList<qint64>{99, 2} << "B";
        QTest::newRow("missing last") << QList<qint64>{1, 99} << "A|";
        QTest::newRow("missing between") << QList<qint64>{1, 99, 2} << "A||B";
    }
    void separators() {
        QFETCH(QList<qint64>, keys);
        QFETCH(QString, pattern);
        const QString a =
            modSeqText::SequencesText(*m_db, {addSequence(*m_db, "1.0", "first", 0, {}, {"1|circulate||"})});
        const QString b = modSeqText::SequencesText(*m_db, {addSequence(*m_db, "2.0", "second", 5, {}, {"1|trade||"})});
        QVERIFY(a.startsWith(QStringLiteral("\r\n")) && a != b);
        QString expected;
        for (const QChar part : pattern) {
            expected += part == QLatin1Char('A') ? a : part == QLatin1Char('B') ? b : QStringLiteral("\f\r\n");
        }
        QCOMPARE(modSeqText::SequencesText(*m_db, keys), expected);
        QVERIFY(m_box->prompts.isEmpty());
    }

    // Written out and read into another library, the sequences come back as they were.
    void roundTrip_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("linux.Plus") << "linux.Plus" << QString();
        QTest::newRow("linux.C1") << "linux.C1" << QString();
        QTest::newRow("generated with history") << QString() << Fixtures::generatorText(3, 4, QStringLiteral("A2"));
        QTest::newRow("title block and notes") << QString()
                                               << "Sat Sep  8 17:09:54 2012     3.5     Plus\r\n"
                                                  "       first line\r\n"
                                                  "       Sam's \"Hall\" tip\r\n"
                                                  "       History: 2012/01/28,Spring Dance\r\n"
                                                  "       Property: 3\r\n\r\n\r\n"
                                                  "HEADS square thru 4\r\n"
                                                  "  Warning:  Take right hands.\r\n"
                                                  "  Note:  second line\r\n\r\n"
                                                  " 1B^   2G<\r\n\r\n"
                                                  "  3GV 4B>\r\n\r\n\r\n"
                                                  "swing thru\r\n\r\n";
    }
    void roundTrip() {
        QFETCH(QString, file);
        QFETCH(QString, text);
        FakeSeqTextHost host;
        host.clipboard = text;
        const int read = modSeqText::ReadSequenceText(*m_db, file.isEmpty() ? QString() : Fixtures::dataFile(file),
                                                      file.isEmpty(), -1, host);
        QVERIFY(read > 0);
        const QStringList before = snapshot(*m_db);

        host.clipboard = modSeqText::SequencesText(*m_db, allSequences(*m_db));
        Database other;
        Fixtures::createLibrary(other, m_home->path(), QStringLiteral("other.mdb"));
        QCOMPARE(modSeqText::ReadSequenceText(other, QString(), true, -1, host), read);
        QCOMPARE(snapshot(other), before);

        // Pasted back into its own library the text adds nothing.
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, host), 0);
        QCOMPARE(count(*m_db, QStringLiteral("tblSequence")), read);
        QVERIFY(m_box->prompts.isEmpty());
    }

    void failedStepIsLoggedAndWritingGoesOn() {
        const qint64 key = addSequence(*m_db, "3.5", "note", 2, {"2012-01-28|Club"}, {"1|circulate||a"});
        QString full;
        modSeqText::WriteSequenceClipboard(*m_db, full, key);
        QVERIFY(full.contains(QStringLiteral("History:")));
        m_db->exec(QStringLiteral("DROP TABLE tblHistory"));

        QString text;
        modSeqText::WriteSequenceClipboard(*m_db, text, key);
        QVERIFY(m_box->reported(kProc));
        QCOMPARE(text, full.remove(QStringLiteral("             History:2012/01/28,Club\r\n")));
    }

    void deleteSequences_data() {
        QTest::addColumn<QList<qint64>>("keys");
        QTest::newRow("two of four") << QList<qint64>{2, 4};
        QTest::newRow("none") << QList<qint64>{};
        QTest::newRow("missing and present") << QList<qint64>{99, 3};
    }
    void deleteSequences() {
        QFETCH(QList<qint64>, keys);
        FakeSeqTextHost host;
        host.clipboard = Fixtures::generatorText(4, 3);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, host), 4);
        QStringList expected;
        for (const qint64 key : allSequences(*m_db)) {
            if (!keys.contains(key)) {
                expected.append(modSeqText::SequencesText(*m_db, {key}));
            }
        }

        QVERIFY(modSeqText::DeleteSequences(*m_db, keys));
        QCOMPARE(modSeqText::SequencesText(*m_db, allSequences(*m_db)), expected.join(QStringLiteral("\f\r\n")));
        // Calls and history go with their sequence.
        QCOMPARE(count(*m_db, QStringLiteral("tblCall")), 3 * int(expected.size()));
        QCOMPARE(count(*m_db, QStringLiteral("tblHistory")), int(expected.size()));
        QVERIFY(m_box->prompts.isEmpty());
    }

    void failedDeleteDeletesNothing() {
        FakeSeqTextHost host;
        host.clipboard = Fixtures::generatorText(3, 3);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, host), 3);
        m_db->exec(QStringLiteral("UPDATE tblCall SET Call = 'boom' WHERE Sequence = 3 AND Number = 2"));
        m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON tblCall WHEN OLD.Call = 'boom' "
                                  "BEGIN SELECT RAISE(ABORT, 'no'); END"));
        const QStringList before = snapshot(*m_db);

        QVERIFY(!modSeqText::DeleteSequences(*m_db, {1, 3}));
        QVERIFY(m_box->reported(kProc));
        QCOMPARE(snapshot(*m_db), before);
        QVERIFY(!m_db->inTransaction());
    }

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(TestSequenceTextWriter)
#include "TestSequenceTextWriter.moc"
