#include "Fixtures.h"
#include "LibraryHistory.h"
#include "SequenceListQuery.h"

#include <QtTest>
#include <optional>

// What each club has heard: the sequence list less what a party heard since a date, and the
// history across the library, on one small library.
class TestLibraryHistory : public QObject {
    Q_OBJECT

    std::optional<LibraryFixture> m_lib;

    // Four sequences (Plus 1, 2, 4; A1 3; 3 the earliest of the day) and history rows, among them one without a
    // sequence and one of a deleted sequence.
    void fill() {
        Database& db = m_lib->db;
        db.exec(QStringLiteral(
            "INSERT INTO tblSequence (Sequence, Level, Date, Time, Title, Property, OrderNo) VALUES "
            "(1, 'Plus', '2026/01/01', '10:00:00', 'one', 5, 3), (2, 'Plus', '2026/01/02', '10:00:00', 'two', 3, 1), "
            "(3, 'A1', '2026/01/03', '09:00:00', 'three', 0, 1), (4, 'Plus', '2026/01/04', '10:00:00', 'four', 0, 2)"));
        db.exec(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES "
                               "(1, '2026-11-20', 'Club A'), (1, '2025-01-01', 'Club B'), (1, '2026-11-22', 'Club A'), "
                               "(2, '2026-12-01', 'Club B'), (3, '2026-11-30', 'Club A'), "
                               "(NULL, '2026-12-01', 'Club A'), (99, '2026-12-02', 'Club C')"));
    }

private Q_SLOTS:
    void init() {
        m_lib.emplace();
        fill();
    }
    void cleanup() { m_lib.reset(); }

    void notCalledFor_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("sort");
        QTest::addColumn<QString>("party"); // "*": any party, "": no filter
        QTest::addColumn<QString>("since");
        QTest::addColumn<QString>("listed");
        const auto row = [](const char* name, const char* level, int sort, const char* party, const char* since,
                            const char* listed) {
            QTest::newRow(name) << QString(level) << sort << QString(party) << QString(since) << QString(listed);
        };
        row("no filter", "AllLevel", 0, "", "", "1,2,3,4");
        row("by stored order, then date", "AllLevel", 1, "", "", "2,3,4,1");
        row("one party, every level", "AllLevel", 0, "Club A", "2026-11-01", "2,4");
        row("heard before the period", "Plus", 0, "Club A", "2026-11-25", "1,2,4");
        row("the first day counts", "Plus", 0, "Club A", "2026-11-22", "2,4");
        row("any party", "AllLevel", 0, "*", "2026-11-25", "1,4");
        row("party with no history", "Plus", 2, "Nobody", "2000-01-01", "4,2,1");
        row("quote in the party", "Plus", 0, "Club' OR '1'='1", "2000-01-01", "1,2,4");
    }
    void notCalledFor() {
        QFETCH(QString, level);
        QFETCH(int, sort);
        QFETCH(QString, party);
        QFETCH(QString, since);
        std::optional<SequenceListQuery::NotCalledFor> filter;
        if (!party.isEmpty()) {
            filter = SequenceListQuery::NotCalledFor{
                party == QLatin1String("*") ? std::nullopt : std::optional<QString>(party), since};
        }
        Statement list = SequenceListQuery::prepare(m_lib->db, level, sort, filter);
        QStringList keys;
        while (list.step()) {
            keys.append(list.text(5));
        }
        QTEST(keys.join(QLatin1Char(',')), "listed");
    }

    void entries_data() {
        QTest::addColumn<QString>("party"); // "*": every party
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* name, const char* party, const char* from, const char* to,
                            const QStringList& lines) {
            QTest::newRow(name) << QString(party) << QString(from) << QString(to) << lines;
        };
        row("one party, both ends included", "Club A", "2026-11-22", "2026-11-30",
            {"2026/11/22|Club A|1|Plus|one", "2026/11/30|Club A|3|A1|three"});
        row("every party, a deleted sequence kept", "*", "2026-12-01", "",
            {"2026/12/01|Club A|0||", "2026/12/01|Club B|2|Plus|two", "2026/12/02|Club C|99||"});
    }
    void entries() {
        QFETCH(QString, party);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QStringList lines;
        const std::optional<QString> who = party == QLatin1String("*") ? std::nullopt : std::optional<QString>(party);
        for (const HistoryLine& line : LibraryHistory(m_lib->db).entries(who, from, to)) {
            lines.append(
                QStringList{line.callDate, line.partyName, QString::number(line.sequence), line.level, line.title}.join(
                    QLatin1Char('|')));
        }
        QTEST(lines, "lines");
    }

    void heardSequences() {
        const LibraryHistory history(m_lib->db);
        QCOMPARE(history.parties(), (QStringList{"Club A", "Club B", "Club C"}));
        QStringList rows;
        for (const HeardSequence& heard : history.heardSequences()) {
            rows.append(QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(heard.partyName, heard.level, heard.title)
                            .arg(heard.times)
                            .arg(heard.lastCalled));
        }
        QCOMPARE(rows, (QStringList{"Club A|Plus|one|2|2026/11/22", "Club A|A1|three|1|2026/11/30",
                                    "Club B|Plus|one|1|2025/01/01", "Club B|Plus|two|1|2026/12/01"}));
    }
};

QTEST_GUILESS_MAIN(TestLibraryHistory)
#include "TestLibraryHistory.moc"
