#include "Database.h"
#include "Fixtures.h"
#include "LibraryReader.h"
#include "RecordingErrorBox.h"
#include "SequenceTextWriter.h"
#include "TestHome.h"

#include <QtTest>

namespace {

// A bound value; "<null>" stands for a Null field.
QVariant field(const QString& text) {
    return text == QLatin1String("<null>") ? QVariant() : QVariant(text);
}

// Stores a sequence dated 2012/09/08 17:09:54 at level Plus. history holds "isoDate|party",
// calls "number|call|note|figure" (stored in the order given).
qint64 addSequence(Database& db, const QString& version, const QString& note, const QVariant& property,
                   const QStringList& history, const QStringList& calls) {
    Fixtures::value(db,
                    QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Version, Note, Property) "
                                   "VALUES ('Plus', '2012/09/08', '17:09:54', ?, ?, ?)"),
                    {field(version), field(note), property});
    const qint64 key = db.lastInsertRowId();
    for (const QString& row : history) {
        Fixtures::value(db, QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"),
                        {key, row.section(QLatin1Char('|'), 0, 0), row.section(QLatin1Char('|'), 1)});
    }
    for (const QString& row : calls) {
        const QStringList parts = row.split(QLatin1Char('|'));
        Fixtures::value(
            db, QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call, Note, Figure) VALUES (?, ?, ?, ?, ?)"),
            {key, parts[0].toLongLong(), parts[1], field(parts[2]), field(parts[3])});
    }
    return key;
}

} // namespace

class TestSequenceTextWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Header names are English whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void init() { m_lib.emplace(); }
    void cleanup() { m_lib.reset(); }

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
            << "\r\nSat Sep 08 17:09:54 2012     3.5     Plus\r\n             Teach first\r\nafter a break\r\n"
               "             History:2012/01/28,Spring Dance\r\n             History:2011/12/03,Sam's \"Hall\"\r\n"
               "             Property:3\r\n\r\n\r\n"
               "HEADS square thru 4\r\n  Warning:  Take right hands.\r\n\r\n\r\n"
               "swing thru\r\n\r\n 1B^   2G<\r\n\r\n 3GV   4B>\r\n\r\n\r\n";
        QTest::newRow("null fields") << "<null>"
                                     << "<null>" << QVariant() << QStringList()
                                     << QStringList{"1|circulate|<null>|<null>"}
                                     << "\r\nSat Sep 08 17:09:54 2012          Plus\r\n\r\n\r\ncirculate\r\n\r\n\r\n";
        QTest::newRow("first state")
            << "v"
            << "" << QVariant(1) << QStringList() << QStringList{"1|trade||"}
            << "\r\nSat Sep 08 17:09:54 2012     v     Plus\r\n             Property:1\r\n\r\n\r\n"
               "trade\r\n\r\n\r\n";
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
        LibraryReader reader(m_lib->db, LibraryReader::History::Read);
        modSeqText::WriteSequenceClipboard(reader, text,
                                           addSequence(m_lib->db, version, note, property, history, calls));
        QTEST(text, "expected");
        QVERIFY(m_lib->box.prompts.isEmpty());
    }

private:
    std::optional<LibraryFixture> m_lib;
};

QTEST_GUILESS_MAIN(TestSequenceTextWriter)
#include "TestSequenceTextWriter.moc"
