#include "Database.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modSeqText.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QString kProc = QStringLiteral("modSeqText.ReadSequenceText");

// Calls of one sequence as "call#note#figure" lines, CR LF shown as "/".
QStringList callsOf(Database& db, qint64 sequence) {
    Statement calls =
        db.prepare(QStringLiteral("SELECT Number, Call, Note, Figure FROM tblCall WHERE Sequence = ? ORDER BY Number"));
    calls.bind(1, sequence);
    QStringList result;
    qint64 expected = 1;
    while (calls.step()) {
        if (calls.int64(0) != expected++) {
            result.append(QStringLiteral("gap at %1").arg(calls.int64(0)));
        }
        QString call = calls.text(1) + QLatin1Char('#') + calls.text(2) + QLatin1Char('#') + calls.text(3);
        result.append(call.replace(QStringLiteral("\r\n"), QStringLiteral("/")));
    }
    return result;
}

QStringList historyOf(Database& db, qint64 sequence) {
    Statement rows =
        db.prepare(QStringLiteral("SELECT CallDate, PartyName FROM tblHistory WHERE Sequence = ? ORDER BY History"));
    rows.bind(1, sequence);
    QStringList result;
    while (rows.step()) {
        result.append(rows.text(0) + QLatin1Char('|') + rows.text(1));
    }
    return result;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestReadSequenceText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        m_db = std::make_unique<Database>();
        Fixtures::createLibrary(*m_db, m_home->path());
        m_host = FakeSeqTextHost();
    }
    void cleanup() {
        m_db.reset();
        m_box.reset();
        m_home.reset();
    }

    void sampleFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("callCount");
        QTest::addColumn<int>("callNumber");
        QTest::addColumn<QString>("call");

        // Two sequences of linux.Plus share one time: the second is taken for the first and skipped.
        QTest::newRow("linux Plus, diagram after a note line")
            << "linux.Plus" << 19 << "Plus"
            << "08:55:20"
            << "NOT RESOLVED" << 9 << 2
            << "circulate#Warning:  Take right hands.#4B>   1B>//1G<   2G<//4G>   3G>//3B<   2B<";
        QTest::newRow("linux Plus, note after a diagram")
            << "linux.Plus" << 19 << "Plus"
            << "08:55:20"
            << "NOT RESOLVED" << 9 << 9
            << "no one roll#Note:  Actual setup is 45 degrees clockwise from diagram above.#        1B^/        "
               "2GV/4B< 1G>     3G< 2B>/        4G^/        3BV";
        QTest::newRow("linux C1, title comment and markup")
            << "linux.C1" << 1 << "C1"
            << "08:52:34"
            << "a title comment" << 6 << 5 << "{ this is an inserted comment } partner tag##";
        QTest::newRow("windows Plus, CR LF line ends")
            << "windows.Plus" << 6 << "Plus"
            << "09:21:39"
            << "NOT RESOLVED" << 4 << 4 << "pass the ocean##3G>/2B</3B>/2G</4G>/1B</4B>/1G<";
    }
    void sampleFiles() {
        QFETCH(QString, file);
        QFETCH(int, added);
        const QString path = Fixtures::dataFile(file);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), added);
        QCOMPARE(m_host.reports, QStringList{QLatin1Char('"') + path + QStringLiteral("\"|") + QString::number(added)});
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), added);

        QFETCH(QString, level);
        QFETCH(QString, time);
        Statement row = m_db->prepare(QStringLiteral(
            "SELECT Sequence, Title, Version, Date, OrderNo FROM tblSequence WHERE Level = ? AND Time = ?"));
        row.bind(1, level).bind(2, time);
        QVERIFY(row.step());
        QTEST(row.text(1), "title");
        QCOMPARE(row.text(2), QStringLiteral("Sd39.56:db39.56"));
        QCOMPARE(row.text(3), QStringLiteral("2026/12/06"));
        QCOMPARE(row.int64(4), qint64(1));
        const QStringList calls = callsOf(*m_db, row.int64(0));
        QFETCH(int, callNumber);
        QTEST(int(calls.size()), "callCount");
        QTEST(calls.at(callNumber - 1), "call");

        // A second read finds every sequence stored already.
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), 0);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblSequence")).toInt(), added);
        QVERIFY(m_box->prompts.isEmpty());
    }

    void edgeCases_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("property");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QStringList>("calls");

        const QString head = QStringLiteral("Mon Jan  2 10:11:12 2012  v1  Plus\n");
        QTest::newRow("empty comment gives date and time") << head + "\nA\n"
                                                           << "2012/01/02 10:11:12"
                                                           << "" << 0 << QStringList() << QStringList{"A##"};
        QTest::newRow("singing call progression")
            << head + " first\n Singing call progression\n\nA\n"
            << "2012/01/02 10:11:12"
            << "first\r\nSinging call progression" << 0 << QStringList() << QStringList{"A##"};
        QTest::newRow("three comment lines") << head + " one\n two\n three\n\nA\n"
                                             << "three"
                                             << "one\r\ntwo\r\nthree" << 0 << QStringList() << QStringList{"A##"};
        QTest::newRow("history lines")
            << head + "History: 2012/01/28,Spring Dance\nHistory:2012/01/28\nHistory:2012/01/28,\n\nA\n"
            << "2012/01/02 10:11:12"
            << "" << 0 << QStringList{"2012-01-28|Spring Dance"} << QStringList{"A##"};
        QTest::newRow("property") << head + "Property: 3\n\nA\n"
                                  << "2012/01/02 10:11:12"
                                  << "" << 3 << QStringList() << QStringList{"A##"};
        QTest::newRow("warning and continuation under a call")
            << head + "\nA\n  Warning:  careful\n\nB\n  more words\n"
            << "2012/01/02 10:11:12"
            << "" << 0 << QStringList() << QStringList{"A#Warning:  careful#", "B more words##"};
        QTest::newRow("diagram layout") << head + "\nA\n\n a\n b\n\n c\n\n\n d\nB\n"
                                        << "2012/01/02 10:11:12"
                                        << "" << 0 << QStringList() << QStringList{"A##a/b//c/d", "B##"};
        QTest::newRow("notes in any case and their continuation")
            << head + "\nA\n\n (actual setup\n   continues\n\n x\n"
            << "2012/01/02 10:11:12"
            << "" << 0 << QStringList() << QStringList{"A#(actual setup continues#x"};
        QTest::newRow("trailing blanks of a call are kept") << head + "\nA  \n"
                                                            << "2012/01/02 10:11:12"
                                                            << "" << 0 << QStringList() << QStringList{"A  ##"};
        QTest::newRow("month 13 and day 0 are normalised")
            << QStringLiteral("x 13 0 10:11:12 2011 v Plus\n\nA\n") << "2011/12/31 10:11:12"
            << "" << 0 << QStringList() << QStringList{"A##"};
    }
    void edgeCases() {
        QFETCH(QString, text);
        m_host.clipboard = text;
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 1);
        QCOMPARE(m_host.reports, QStringList{QStringLiteral("Clipboard|1")});
        Statement row = m_db->prepare(QStringLiteral("SELECT Sequence, Title, Note, Property FROM tblSequence"));
        QVERIFY(row.step());
        QTEST(row.text(1), "title");
        QTEST(row.text(2), "note");
        QTEST(row.integer(3), "property");
        QTEST(historyOf(*m_db, row.int64(0)), "history");
        QTEST(callsOf(*m_db, row.int64(0)), "calls");
        QVERIFY(m_box->prompts.isEmpty());
    }

    // State, level and the form-feed rules across the sequences of one text.
    void severalSequencesInOneText() {
        m_host.clipboard = QStringLiteral("Mon Jan  2 10:11:12 2012  v1  Plus\nProperty: 4\n\nA\n"
                                          "\fignored text\nMon Jan  2 10:11:13 2012  v2\n\nB\n"
                                          "\f\nMon Jan  2 10:11:14 2012  v3  A1\n\nC\n");
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 3);
        Statement rows =
            m_db->prepare(QStringLiteral("SELECT Level, Version, Property, OrderNo FROM tblSequence ORDER BY Time"));
        QStringList seen;
        while (rows.step()) {
            seen.append(QStringLiteral("%1 %2 %3 %4").arg(rows.text(0), rows.text(1), rows.text(2), rows.text(3)));
        }
        // A header of six tokens keeps the level before it; the state never carries over.
        QCOMPARE(seen, (QStringList{"Plus v1 4 1", "Plus v2 0 1", "A1 v3 0 1"}));
    }

    void lineEndsReadAlike_data() {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void lineEndsReadAlike() {
        QFETCH(QByteArray, eol);
        QFile sample(Fixtures::dataFile(QStringLiteral("linux.Plus")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll().replace("\n", eol);
        const QString path = m_home->file(QStringLiteral("s.Plus"));
        writeFile(path, bytes);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), 19);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblCall")).toInt(), 216);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblCall WHERE Figure <> ''")).toInt(), 13);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblCall WHERE Call LIKE '%' || char(13) "
                                                       "|| '%' OR Figure LIKE '%' || char(13) || char(13) || '%'"))
                     .toInt(),
                 0);
    }

    void pasteAtPositionShiftsEveryLevel() {
        m_host.clipboard = Fixtures::generatorText(3, 2, QStringLiteral("Plus"));
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 3);
        m_host.clipboard = Fixtures::generatorText(2, 2, QStringLiteral("A1"), 100);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 2);
        m_db->exec(QStringLiteral("UPDATE tblSequence SET OrderNo = Sequence"));

        m_host.clipboard = Fixtures::generatorText(2, 2, QStringLiteral("C1"), 200);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, 3, m_host), 2);
        Statement rows = m_db->prepare(QStringLiteral("SELECT Level, OrderNo FROM tblSequence ORDER BY Sequence"));
        QStringList order;
        while (rows.step()) {
            order.append(rows.text(0) + QLatin1Char(' ') + rows.text(1));
        }
        QCOMPARE(order, (QStringList{"Plus 1", "Plus 2", "Plus 5", "A1 6", "A1 7", "C1 3", "C1 3"}));
    }

    void appendAfterTheHighestOrderNo() {
        m_db->exec(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, OrderNo) VALUES ('A2', 'x', 'y', 41)"));
        m_host.clipboard = Fixtures::generatorText(2, 1);
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 2);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblSequence WHERE OrderNo = 42")).toInt(),
                 2);
    }

    void emptyTextAddsNothing() {
        m_host.clipboard.clear();
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 0);
        QCOMPARE(m_host.reports, QStringList{QStringLiteral("Clipboard|0")});
        QCOMPARE(m_host.refreshes, 1);
        QVERIFY(m_box->prompts.isEmpty());
    }

    void quotesInEveryStoredText() {
        m_host.authorText = QStringLiteral("O'Brien \"Bob\"");
        m_host.clipboard = QStringLiteral("Mon Jan  2 10:11:12 2012  v'1  Pl'us\n"
                                          " It's \"fine\"\nHistory: 2012/01/28,Sam's \"Hall\"\n\nrock 'n' roll\n");
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 1);
        m_host.clipboard += QStringLiteral("\n");
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 0);
        Statement row = m_db->prepare(QStringLiteral("SELECT Level, Version, Title, Author FROM tblSequence"));
        QVERIFY(row.step());
        QCOMPARE(QStringList({row.text(0), row.text(1), row.text(2), row.text(3)}),
                 (QStringList{"Pl'us", "v'1", "It's \"fine\"", "O'Brien \"Bob\""}));
        QCOMPARE(historyOf(*m_db, 1), QStringList{QStringLiteral("2012-01-28|Sam's \"Hall\"")});
        QCOMPARE(callsOf(*m_db, 1), QStringList{QStringLiteral("rock 'n' roll##")});
    }

    // A sequence the database refuses is taken back whole; the run goes on with the next one.
    void failedSequenceIsRolledBackWhole() {
        m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblCall WHEN NEW.Call = 'boom' "
                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        m_host.clipboard = QStringLiteral("x Jan 1 10:00:01 2012 v Plus\nHistory: 2012/01/01,P\n\nA\n\nboom\n\nC\n"
                                          "\f\nx Jan 1 10:00:02 2012 v Plus\n\nD\n\nE\n");
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, QString(), true, -1, m_host), 1);
        QVERIFY(m_box->reported(kProc));
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT group_concat(Time) FROM tblSequence")).toString(),
                 QStringLiteral("10:00:02"));
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT group_concat(Call) FROM tblCall")).toString(),
                 QStringLiteral("D,E"));
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT count(*) FROM tblHistory")).toInt(), 0);
        QCOMPARE(Fixtures::value(*m_db, QStringLiteral("SELECT OrderNo FROM tblSequence")).toInt(), 1);
    }

    void unreadableFileReportsZero() {
        const QString path = m_home->file(QStringLiteral("missing.Plus"));
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), 0);
        QVERIFY(m_box->reported(kProc));
        QCOMPARE(m_host.reports, QStringList{QLatin1Char('"') + path + QStringLiteral("\"|0")});
    }

    void backupMove_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("dateSave");
        QTest::addColumn<bool>("duplicate");
        QTest::addColumn<bool>("moved");
        QTest::newRow("moved") << "gen" << true << false << true;
        QTest::newRow("moved when every sequence is a duplicate") << "gen" << true << true << true;
        QTest::newRow("switch off") << "gen" << false << false << false;
        QTest::newRow("path holding backup in any case") << "my BackUps" << true << false << false;
    }
    void backupMove() {
        QFETCH(QString, folder);
        QFETCH(bool, dateSave);
        QFETCH(bool, duplicate);
        QFETCH(bool, moved);
        QVERIFY(QDir(m_home->path()).mkpath(folder));
        const QString path = m_home->file(folder + QStringLiteral("/s.Plus"));
        writeFile(path, Fixtures::generatorText(2, 3).toUtf8());
        if (duplicate) {
            QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), 2);
        }
        m_host.dateSave = dateSave;
        m_host.clock = QDateTime(QDate(2012, 3, 4), QTime(5, 6, 7));
        QCOMPARE(modSeqText::ReadSequenceText(*m_db, path, false, -1, m_host), duplicate ? 0 : 2);
        const QString target = m_home->file(folder + QStringLiteral("/Backup/backup20120304050607_s.Plus"));
        QCOMPARE(QFile::exists(path), !moved);
        QCOMPARE(QFile::exists(target), moved);
        QVERIFY(m_box->prompts.isEmpty());
    }

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    std::unique_ptr<Database> m_db;
    FakeSeqTextHost m_host;
};

QTEST_GUILESS_MAIN(TestReadSequenceText)
#include "TestReadSequenceText.moc"
