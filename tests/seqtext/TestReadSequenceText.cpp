#include "Database.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "SequenceImport.h"
#include "StoppingProgress.h"
#include "TestHome.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>

namespace {

// Every row of a statement, its columns joined by '#', CR LF shown as "/".
QStringList rows(Database& db, const QString& sql, const QVariantList& values = {}) {
    return Fixtures::rows(db, sql, values)
        .replaceInStrings(QStringLiteral("|"), QStringLiteral("#"))
        .replaceInStrings(QStringLiteral("\r\n"), QStringLiteral("/"));
}

// The calls of one sequence as "call#note#figure", marked when the numbering has a gap.
QStringList callsOf(Database& db, qint64 sequence) {
    return rows(db,
                QStringLiteral("SELECT iif(Number = row_number() OVER (ORDER BY Number), '', 'gap ') || Call, Note, "
                               "Figure FROM tblCall WHERE Sequence = ? ORDER BY Number"),
                {sequence});
}

int count(Database& db, const QString& sql) {
    return Fixtures::value(db, QStringLiteral("SELECT count(*) FROM ") + sql).toInt();
}

// The report of a run: what was read and what was already in the library.
QString report(const QString& where, int added, int skipped = 0) {
    QString text = added == 1 ? QStringLiteral("1 sequence was read from %1.").arg(where)
                              : QStringLiteral("%1 sequences were read from %2.").arg(added).arg(where);
    if (skipped > 0) {
        text += skipped == 1 ? QStringLiteral("\r\n1 sequence was already in the library.")
                             : QStringLiteral("\r\n%1 sequences were already in the library.").arg(skipped);
    }
    return text;
}

} // namespace

class TestReadSequenceText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_lib.emplace();
        m_host = FakeSeqTextHost();
    }
    // No run may report an error unless the test expects (and clears) it.
    void cleanup() {
        const QStringList prompts = m_lib->box.prompts;
        m_lib.reset();
        QCOMPARE(prompts, QStringList());
    }

    void sampleFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QString>("time"); // of the Plus or C1 sequence looked at
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("callCount");
        QTest::addColumn<int>("callNumber");
        QTest::addColumn<QString>("call"); // "call#note#figure", CR LF shown as "/"
        const auto row = [](const char* name, const char* file, int added, const char* time, const char* title,
                            int callCount, int callNumber, const char* call) {
            // Two sequences of linux.Plus share one time: the second is taken for the first and skipped.
            QTest::newRow(name) << QString(file) << added << (added == 19 ? 1 : 0) << QString(time) << QString(title)
                                << callCount << callNumber << QString(call);
        };
        row("linux Plus, diagram after a note line", "linux.Plus", 19, "08:55:20", "NOT RESOLVED", 9, 2,
            "circulate#Warning:  Take right hands.#4B>   1B>//1G<   2G<//4G>   3G>//3B<   2B<");
        row("linux Plus, note after a diagram", "linux.Plus", 19, "08:55:20", "NOT RESOLVED", 9, 9,
            "no one roll#Note:  Actual setup is 45 degrees clockwise from diagram above.#        1B^/        2GV/"
            "4B< 1G>     3G< 2B>/        4G^/        3BV");
        row("linux C1, title comment and markup", "linux.C1", 1, "08:52:34", "a title comment", 6, 5,
            "{ this is an inserted comment } partner tag##");
        row("windows Plus, CR LF line ends", "windows.Plus", 6, "09:21:39", "NOT RESOLVED", 4, 4,
            "pass the ocean##3G>/2B</3B>/2G</4G>/1B</4B>/1G<");
    }
    void sampleFiles() {
        QFETCH(QString, file);
        QFETCH(int, added);
        QFETCH(int, skipped);
        const QString path = Fixtures::dataFile(file);
        const QString where = QLatin1Char('"') + path + QLatin1Char('"');
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, path, false, -1, m_host), added);
        QCOMPARE(m_host.reports, QStringList{report(where, added, skipped)});
        QCOMPARE(count(m_lib->db, QStringLiteral("tblSequence")), added);

        QFETCH(QString, time);
        const QStringList found = rows(
            m_lib->db,
            QStringLiteral("SELECT Sequence, Title, Level, Version, Date, OrderNo FROM tblSequence WHERE Time = ?"),
            {time});
        QCOMPARE(found.size(), 1);
        const QStringList row = found.first().split(QLatin1Char('#'));
        QTEST(row[1], "title");
        QCOMPARE(row.mid(2), (QStringList{file.section(QLatin1Char('.'), 1), "Sd39.56:db39.56", "2026/12/06", "1"}));
        const QStringList calls = callsOf(m_lib->db, row[0].toLongLong());
        QFETCH(int, callNumber);
        QTEST(int(calls.size()), "callCount");
        QTEST(calls.at(callNumber - 1), "call");

        // A second read finds every sequence stored already, and says so.
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, path, false, -1, m_host), 0);
        QCOMPARE(m_host.reports.last(), report(where, 0, added + skipped));
        QCOMPARE(count(m_lib->db, QStringLiteral("tblSequence")), added);
    }

    void edgeCases_data() {
        QTest::addColumn<QString>("text");
        // "title#note#property#history" of the sequence, then its calls as "call#note#figure".
        QTest::addColumn<QStringList>("stored");
        const QString head = QStringLiteral("Mon Jan  2 10:11:12 2012  v1  Plus\n");
        const QString plain = QStringLiteral("2012/01/02 10:11:12##0#");
        QTest::newRow("empty comment gives date and time") << head + "\nA\n" << QStringList{plain, "A##"};
        QTest::newRow("singing call progression")
            << head + " first\n Singing call progression\n\nA\n"
            << QStringList{"2012/01/02 10:11:12#first/Singing call progression#0#", "A##"};
        QTest::newRow("three comment lines") << head + " one\n two\n three\n\nA\n"
                                             << QStringList{"three#one/two/three#0#", "A##"};
        QTest::newRow("history lines")
            << head + "History: 2012/01/28,Spring Dance\nHistory:2012/01/28\nHistory:2012/01/28,\n\nA\n"
            << QStringList{plain + "2012-01-28,Spring Dance", "A##"};
        QTest::newRow("property") << head + "Property: 3\n\nA\n" << QStringList{"2012/01/02 10:11:12##3#", "A##"};
        QTest::newRow("warning and continuation under a call")
            << head + "\nA\n  Warning:  careful\n\nB\n  more words\n"
            << QStringList{plain, "A#Warning:  careful#", "B more words##"};
        QTest::newRow("diagram layout") << head + "\nA\n\n a\n b\n\n c\n\n\n d\nB\n"
                                        << QStringList{plain, "A##a/b//c/d", "B##"};
        QTest::newRow("notes in any case and their continuation")
            << head + "\nA\n\n (actual setup\n   continues\n\n x\n"
            << QStringList{plain, "A#(actual setup continues#x"};
        QTest::newRow("trailing blanks of a call are kept") << head + "\nA  \n" << QStringList{plain, "A  ##"};
        QTest::newRow("month 13 and day 0 are normalised")
            << QStringLiteral("x 13 0 10:11:12 2011 v Plus\n\nA\n") << QStringList{"2011/12/31 10:11:12##0#", "A##"};
    }
    void edgeCases() {
        QFETCH(QString, text);
        m_host.clipboard = text;
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 1);
        QTEST(rows(m_lib->db,
                   QStringLiteral("SELECT Title, Note, Property, ifnull((SELECT group_concat(CallDate || ',' || "
                                  "PartyName) FROM tblHistory), '') FROM tblSequence")) +
                  callsOf(m_lib->db, 1),
              "stored");
    }

    // State, level and the form-feed rules across the sequences of one text.
    void severalSequencesInOneText() {
        m_host.clipboard = QStringLiteral("Mon Jan  2 10:11:12 2012  v1  Plus\nProperty: 4\n\nA\n"
                                          "\fignored text\nMon Jan  2 10:11:13 2012  v2\n\nB\n"
                                          "\f\nMon Jan  2 10:11:14 2012  v3  A1\n\nC\n");
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 3);
        // A header of six tokens keeps the level before it; the state never carries over.
        QCOMPARE(
            rows(m_lib->db, QStringLiteral("SELECT Level, Version, Property, OrderNo FROM tblSequence ORDER BY Time")),
            (QStringList{"Plus#v1#4#1", "Plus#v2#0#1", "A1#v3#0#1"}));
    }

    // What is not a readable text file, or holds no sequence, is refused with a message that says
    // so; a UTF-16 file reads as the same text in UTF-8 does.
    void inputFiles_data() {
        QTest::addColumn<QString>("name"); // in the test's home
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("failure"); // "%1" stands for the quoted path
        QFile sample(Fixtures::dataFile(QStringLiteral("windows.Plus")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(sample.readAll());
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
            QTest::newRow(encoder.name()) << "s.Plus" << QByteArray(encoder.encode(text)) << 6 << QString();
        }
        QTest::newRow("no sequence") << "s.Plus" << QByteArray("just some words\r\n") << 0
                                     << QStringLiteral("No sequences were found in %1.");
        QTest::newRow("pipe") << "fifo" << QByteArray() << 0
                              << QStringLiteral(
                                     "%1 is not a file that can be read: it is a folder, a device or a pipe.");
    }
    void inputFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, failure);
        const QString path = m_lib->home.file(name);
        if (name == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        } else {
            QVERIFY(Fixtures::writeFile(path, bytes));
        }
        const QString where = QLatin1Char('"') + path + QLatin1Char('"');
        QTEST(modSeqText::ReadSequenceText(m_lib->db, path, false, -1, m_host), "added");
        QCOMPARE(m_host.failures, failure.isEmpty() ? QStringList() : QStringList{failure.arg(where)});
        QCOMPARE(m_host.reports.size(), failure.isEmpty() ? 1 : 0);
    }

    // Pasted at a place in the list, the sequences take it and those from there on move down, on
    // every level; appended, they come after the highest place of the whole library.
    void listPlaces() {
        for (const auto& [level, count, at, second] : {std::tuple("Plus", 3, -1, 0), std::tuple("A1", 2, -1, 100),
                                                       std::tuple("C1", 2, 3, 200), std::tuple("A2", 1, -1, 300)}) {
            if (at > 0) {
                m_lib->db.exec(QStringLiteral("UPDATE tblSequence SET OrderNo = Sequence"));
            }
            m_host.clipboard = Fixtures::generatorText(count, 2, QLatin1String(level), second);
            QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, at, m_host), count);
        }
        QCOMPARE(rows(m_lib->db, QStringLiteral("SELECT Level, OrderNo FROM tblSequence ORDER BY Sequence")),
                 (QStringList{"Plus#1", "Plus#2", "Plus#5", "A1#6", "A1#7", "C1#3", "C1#3", "A2#8"}));
    }

    void quotesInEveryStoredText() {
        m_host.authorText = QStringLiteral("O'Brien \"Bob\"");
        m_host.clipboard = QStringLiteral("Mon Jan  2 10:11:12 2012  v'1  Pl'us\n"
                                          " It's \"fine\"\nHistory: 2012/01/28,Sam's \"Hall\"\n\nrock 'n' roll\n");
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 1);
        m_host.clipboard += QStringLiteral("\n");
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 0); // found despite the quotes
        QCOMPARE(rows(m_lib->db, QStringLiteral("SELECT Level, Version, Title, Author FROM tblSequence")),
                 QStringList{"Pl'us#v'1#It's \"fine\"#O'Brien \"Bob\""});
        QCOMPARE(rows(m_lib->db, QStringLiteral("SELECT CallDate, PartyName FROM tblHistory")),
                 QStringList{"2012-01-28#Sam's \"Hall\""});
        QCOMPARE(callsOf(m_lib->db, 1), QStringList{"rock 'n' roll##"});
    }

    // History dates in the forms other systems write them; anything else is reported and costs
    // only its entry.
    void historyDates_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("stored"); // empty: the entry is skipped
        const auto row = [](const char* name, const char* locale, const char* written, const char* stored) {
            QTest::newRow(name) << QString(locale) << QString(written) << QString(stored);
        };
        row("slashes, no zeros", "ja_JP", "2002/1/5", "2002-01-05");
        row("dashes", "ja_JP", "2002-1-5", "2002-01-05");
        row("US short date", "en_US", "1/5/02", "2002-01-05");
        row("German short date", "de_DE", "05.01.02", "2002-01-05");
        row("words", "en_US", "yesterday", "");
        row("no such day", "ja_JP", "2002/2/30", "");
        row("digits enough to overflow", "ja_JP", "20120128201201282012", "");
        row("five-digit year", "ja_JP", "12012/01/28", "");
    }
    void historyDates() {
        QFETCH(QString, locale);
        QFETCH(QString, written);
        QFETCH(QString, stored);
        QLocale::setDefault(QLocale(locale));
        m_host.clipboard = QStringLiteral("x Jan 1 10:00:01 2012 v Plus\nHistory: %1,Club\n"
                                          "History: 2012/01/28,Spring Dance\n\nA\n")
                               .arg(written);
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 1);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(rows(m_lib->db, QStringLiteral("SELECT CallDate FROM tblHistory ORDER BY History")),
                 (stored.isEmpty() ? QStringList() : QStringList{stored}) + QStringList{"2012-01-28"});
        QCOMPARE(callsOf(m_lib->db, 1), QStringList{"A##"});
        QCOMPARE(m_lib->box.reported(QStringLiteral("modSeqText.ReadSequenceText")), stored.isEmpty());
        m_lib->box.prompts.clear();
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
        QFETCH(bool, duplicate);
        QFETCH(bool, moved);
        QVERIFY(QDir(m_lib->home.path()).mkpath(folder));
        const QString path = m_lib->home.file(folder + QStringLiteral("/s.Plus"));
        QVERIFY(Fixtures::writeFile(path, Fixtures::generatorText(2, 3).toUtf8()));
        if (duplicate) {
            QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, path, false, -1, m_host), 2);
        }
        QFETCH(bool, dateSave);
        m_host.dateSave = dateSave;
        m_host.clock = QDateTime(QDate(2012, 3, 4), QTime(5, 6, 7));
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, path, false, -1, m_host), duplicate ? 0 : 2);
        QCOMPARE(QFile::exists(path), !moved);
        QCOMPARE(QFile::exists(m_lib->home.file(folder + QStringLiteral("/Backup/backup20120304050607_s.Plus"))),
                 moved);
    }

    // Stopped after the n-th sequence, a read keeps those n sequences (whole: TestInterruption) in
    // the list place a complete read would have given them, and says so; a file read in part is
    // not moved to the Backup folder.
    void cancelKeepsTheSequencesBefore_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<int>("insertPosition");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("clipboard, after the first") << false << -1 << 1;
        QTest::newRow("pasted at a position") << false << 1 << 3;
        QTest::newRow("file with the backup move on") << true << -1 << 2;
    }
    void cancelKeepsTheSequencesBefore() {
        QFETCH(bool, fromFile);
        QFETCH(int, insertPosition);
        QFETCH(int, stopAt);
        m_host.clipboard = Fixtures::generatorText(2, 1, QStringLiteral("A1"), 500);
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, QString(), true, -1, m_host), 2);
        m_host.reports.clear();
        const QString text = Fixtures::generatorText(8, 5);
        const QString path = m_lib->home.file(QStringLiteral("s.Plus"));
        QVERIFY(Fixtures::writeFile(path, text.toUtf8()));
        m_host.clipboard = text;
        m_host.dateSave = true;
        StoppingProgress progress(stopAt);
        QCOMPARE(modSeqText::ReadSequenceText(m_lib->db, fromFile ? path : QString(), !fromFile, insertPosition, m_host,
                                              &progress),
                 stopAt);
        const QString where = fromFile ? QLatin1Char('"') + path + QLatin1Char('"') : QStringLiteral("Clipboard");
        const QString kept =
            stopAt == 1 ? QStringLiteral("1 sequence was") : QStringLiteral("%1 sequences were").arg(stopAt);
        QCOMPARE(m_host.reports, QStringList{QStringLiteral("Reading %1 was cancelled: %2 stored.").arg(where, kept)});
        QStringList expected;
        for (int s = 0; s < stopAt; ++s) {
            expected.append(
                QStringLiteral("generated sequence %1#%2").arg(s).arg(insertPosition < 0 ? 2 : insertPosition));
        }
        QCOMPARE(rows(m_lib->db, QStringLiteral("SELECT Title, OrderNo FROM tblSequence WHERE Level = 'Plus' ORDER BY "
                                                "Time")),
                 expected);
        QVERIFY(QFile::exists(path));
        QVERIFY(QDir(m_lib->home.file(QStringLiteral("Backup"))).isEmpty());
    }

private:
    std::optional<LibraryFixture> m_lib;
    FakeSeqTextHost m_host;
};

QTEST_GUILESS_MAIN(TestReadSequenceText)
#include "TestReadSequenceText.moc"
