#include "Database.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "SearchEngine.h"
#include "StoppingProgress.h"
#include "TestHome.h"

#include <QRandomGenerator>
#include <QtTest>
#include <map>

// Three sequences whose orders differ by date (S2 S3 S1), stored order (S1 S3 S2) and state
// (S3 S2 S1); "Thru" is in calls S1:1,2, S2:1,3 and S3:2.
class TestSearchEngine : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    Database m_db;
    SearchEngine m_engine;
    SearchContext m_context;
    std::map<QString, qint64> m_keys;

    qint64 addSequence(const QString& level, const QString& date, int property, int orderNo, const QStringList& calls) {
        Fixtures::value(m_db,
                        QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title, Property, OrderNo) "
                                       "VALUES (?, ?, '10:00:00', 'title', ?, ?)"),
                        {level, date, property, orderNo});
        const qint64 key = m_db.lastInsertRowId();
        for (qsizetype i = 0; i < calls.size(); ++i) {
            Fixtures::value(m_db, QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (?, ?, ?)"),
                            {key, i + 1, calls[i]});
        }
        return key;
    }
    // The call text at a search step ("S1:2").
    QString call(const QString& step) {
        return Fixtures::value(m_db, QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"),
                               {m_keys[step.section(':', 0, 0)], step.section(':', 1).toInt()})
            .toString();
    }
    // Presses of Find Next (or Replace with a replacement), each as the sequence and call it stands
    // on ("S2:1"), marked "!" when the match is not shown and "~" when there is none, with
    // "/key:argument" for a message.
    QString presses(int count, const QString& find, const QString& replacement = {}, int direction = 0) {
        QStringList shown;
        for (int i = 0; i < count; ++i) {
            const SearchResult r = search(find, replacement, 1, direction);
            QString text = QString(r.matchShown ? "" : "!") + (r.hasMatch ? "" : "~");
            for (const auto& [name, key] : m_keys) {
                text += key == r.sequence ? name + ':' + QString::number(r.callRow + 1) : QString();
            }
            if (r.message.key != 0) {
                text += QStringLiteral("/%1:%2").arg(r.message.key).arg(r.message.arguments.value(0).toString());
            }
            shown << text;
        }
        return shown.join(' ');
    }
    int count(const QString& pattern) {
        return Fixtures::value(m_db, QStringLiteral("SELECT count(*) FROM tblCall WHERE Call LIKE ?"), {pattern})
            .toInt();
    }
    // One press of Find Next (or Replace with a replacement) ignoring case (mode 1), down (direction 0).
    SearchResult search(const QString& find, const QString& replacement = {}, int mode = 1, int direction = 0) {
        return m_engine.SearchWord(m_db, m_context, !replacement.isNull(), find, replacement, mode, direction);
    }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        Fixtures::createLibrary(m_db, m_home->path());
        m_keys["S1"] = addSequence("Plus", "2026/01/03", 2, 1, {"Heads Square Thru", "Swing Thru", "Boys Run"});
        m_keys["S2"] =
            addSequence("Plus", "2026/01/01", 1, 3, {"Sides Pass Thru", "Ferris Wheel", "Centers Pass Thru"});
        m_keys["S3"] = addSequence("A1", "2026/01/02", 0, 2, {"Recycle", "Pass Thru", "Right And Left Grand"});
        m_engine.Reset();
        m_context = {QStringLiteral("AllLevel"), 0, 0, 0, {}};
    }
    void cleanup() {
        m_db.close();
        m_box.reset();
        m_home.reset();
    }

    void stepsInListOrderAndCompletesTheRound_data() {
        QTest::addColumn<int>("sort");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("order");
        QTest::newRow("by date, down") << 0 << 0 << "S2:1 S2:3 S3:2 S1:1 S1:2";
        QTest::newRow("by stored order, down") << 1 << 0 << "S1:1 S1:2 S3:2 S2:1 S2:3";
        QTest::newRow("by state, down") << 2 << 0 << "S3:2 S2:1 S2:3 S1:1 S1:2";
        QTest::newRow("by date, up") << 0 << 1 << "S1:2 S1:1 S3:2 S2:3 S2:1";
    }
    // Each match in the list's order, then the round completed (back at the first, told how many),
    // then a fresh search from where the window stands.
    void stepsInListOrderAndCompletesTheRound() {
        QFETCH(int, sort);
        QFETCH(int, direction);
        QFETCH(QString, order);
        m_context.sequenceSort = sort;
        const QString first = order.section(' ', 0, 0);
        QCOMPARE(presses(7, QStringLiteral("thru"), {}, direction), order + " !" + first + "/40502:5 " + first);
    }

    // The search, CountText and ReplaceText agree on what a call text holds.
    void textMatching_data() {
        QTest::addColumn<QStringList>("texts"); // the call, the word, its replacement, the call replaced
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("occurrences");
        QTest::newRow("single quote") << QStringList{"Don't stop", "don't", "#", "# stop"} << 1 << 1;
        QTest::newRow("case kept") << QStringList{"Thru, thru", "thru", "x", "Thru, x"} << 0 << 1;
        QTest::newRow("case ignored") << QStringList{"Thru, thru", "THRU", "Through", "Through, Through"} << 1 << 2;
        // "bb" holds "b" twice; the search goes on after each replacement.
        QTest::newRow("bb and b") << QStringList{"bb", "b", "bb", "bbbb"} << 0 << 2;
        QTest::newRow("STRASSE finds straße")
            << QStringList{"Die Straße hier", "STRASSE", "Weg", "Die Weg hier"} << 1 << 1;
        QTest::newRow("sharp s, case kept") << QStringList{"Straße", "STRASSE", "#", "Straße"} << 0 << 0;
        QTest::newRow("untouched parts kept") << QStringList{"ÄRGER ärger", "ärger", "-", "- -"} << 1 << 2;
    }
    void textMatching() {
        QFETCH(QStringList, texts);
        QFETCH(int, mode);
        QFETCH(int, occurrences);
        const qint64 key = addSequence(QStringLiteral("C2"), QStringLiteral("2026/02/01"), 0, 1, {"Recycle", texts[0]});
        m_context.viewLevel = QStringLiteral("C2");
        const SearchResult result = search(texts[1], {}, mode);
        QCOMPARE(result.matchShown, occurrences > 0);
        QCOMPARE(qMakePair(result.sequence, result.callRow), occurrences > 0 ? qMakePair(key, 1) : qMakePair(0LL, -1));
        QCOMPARE(SearchEngine::CountText(texts[0], texts[1], mode), occurrences);
        QCOMPARE(SearchEngine::ReplaceText(texts[0], texts[1], texts[2], mode), texts[3]);
    }

    // The first press only shows; each further press replaces the shown match and moves on.
    void replaceStepByStep() {
        m_context.viewLevel = QStringLiteral("Plus");
        QCOMPARE(presses(1, QStringLiteral("thru"), QStringLiteral("Through")), QStringLiteral("S2:1"));
        QCOMPARE(call(QStringLiteral("S2:1")), QStringLiteral("Sides Pass Thru"));
        QCOMPARE(presses(4, QStringLiteral("thru"), QStringLiteral("Through")),
                 QStringLiteral("S2:3 S1:1 S1:2 !~/40503:4"));
        QCOMPARE(count(QStringLiteral("%Through")), 4);
        QCOMPARE(call(QStringLiteral("S3:2")), QStringLiteral("Pass Thru"));
    }

    void changedReplacementStartsAgain() {
        const SearchResult first = search(QStringLiteral("Thru"), QStringLiteral("Through"));
        QVERIFY(first.matchShown);
        m_context.currentSequence = first.sequence;
        m_context.currentRow = first.callRow;
        const SearchResult second = search(QStringLiteral("Thru"), QStringLiteral("Thro"));
        QVERIFY(second.matchShown);
        QVERIFY(second.sequence != first.sequence || second.callRow != first.callRow);
        QCOMPARE(count(QStringLiteral("%Thru")), 5);
    }

    // Told about the count and then the replacement, a Replace All that is not stopped is as
    // without a progress. Stopped while it counts, it asks nothing, changes nothing and says so
    // (stops at later steps: TestInterruption).
    void replaceAllWithProgress() {
        // Enough calls on another level that the count runs long enough to be told about while it scans.
        m_db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                                 "INSERT INTO tblSequence (Sequence, Level, Date, Time) SELECT 1000 + i, 'C2', "
                                 "'2026/02/01', i FROM n"));
        m_db.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) SELECT Sequence, n.value, 'Swing Thru' "
                                 "FROM tblSequence, json_each('[1,2,3,4,5,6,7,8,9,10]') n WHERE Level = 'C2'"));
        const QStringList before = Fixtures::exactContent(m_db);
        bool asked = false;
        StoppingProgress stop([](qint64, qint64 total) { return total == 0; });
        const ReplaceAllResult stopped = m_engine.ReplaceWordAll(
            m_db, QStringLiteral("AllLevel"), QStringLiteral("Thru"), QStringLiteral("Through"), 1,
            [&asked](int) { return asked = true; }, &stop);
        QVERIFY(stopped.cancelled && !stopped.replaced && !stopped.failed && !asked);
        QCOMPARE(stopped.message.key, 40505);
        QCOMPARE(Fixtures::exactContent(m_db), before);
        StoppingProgress progress;
        const ReplaceAllResult result = m_engine.ReplaceWordAll(
            m_db, QStringLiteral("Plus"), QStringLiteral("Thru"), QStringLiteral("Through"), 1,
            [](int) { return true; }, &progress);
        QVERIFY(result.replaced);
        QCOMPARE(result.count, 4);
        QCOMPARE(count(QStringLiteral("%Through%")), 4);
    }

    // With its in-memory copy of the call texts the engine steps exactly as the scan of the library:
    // random words (pieces of the texts in random case, short, Japanese, accented, absent), both
    // compare modes and directions, every sort, from random places; then after a Replace All on this
    // connection and a change by another program.
    void copyAgreesWithScan() {
        const QStringList texts{"Heads Square Thru", "swing thru",   "Die Straße",     "STRASSE",
                                "ﬁne Wave",          "Café au lait", "CAFÉ",           "İstanbul",
                                "右手で引く",        "左へ回る",     "Grand 😀 Square", "ss"};
        QRandomGenerator random(20);
        m_db.exec(QStringLiteral("BEGIN"));
        for (int s = 0; s < 40; ++s) {
            QStringList calls;
            for (int c = random.bounded(5); c >= 0; --c) {
                calls.append(texts[random.bounded(texts.size())] + (random.bounded(3) == 0 ? " Thru" : ""));
            }
            m_keys[QString::number(s)] = addSequence(
                s % 3 ? "Plus" : "A1", QStringLiteral("2026/03/%1").arg(random.bounded(1, 29), 2, 10, QLatin1Char('0')),
                random.bounded(3), random.bounded(9), calls);
        }
        m_db.exec(QStringLiteral("COMMIT"));
        SearchEngine fast;
        fast.prepareIndex(m_db);
        QVERIFY(fast.waitForIndex(10000));
        QVERIFY(fast.indexBytes() > 0);
        Database other(m_db.path());
        QStringList words{"Nowhere", "ß", "x"};
        for (int i = 0; i < 120; ++i) {
            const QString text = texts[random.bounded(texts.size())];
            const QString word = text.mid(random.bounded(text.size()), 1 + random.bounded(4));
            words.append(random.bounded(2) ? word.toUpper() : word.toLower());
        }
        words += QStringList{"Quux", "Zork"};
        for (const QString& word : words) {
            if (word == QLatin1String("Quux")) {
                // Changed by another program: seen by the next new search.
                other.exec(QStringLiteral("UPDATE tblCall SET Call = 'Quux' WHERE rowid = 3"));
            } else if (word == QLatin1String("Zork")) {
                // Changed on this connection after the copy was read again: seen through the triggers.
                QVERIFY(fast.waitForIndex(10000));
                QVERIFY(fast.ReplaceWordAll(m_db, "AllLevel", "thru", "Zork", 1, [](int) { return true; }).replaced);
            }
            const int mode = random.bounded(2);
            const int direction = random.bounded(2);
            m_context = {random.bounded(2) ? "AllLevel" : "Plus",
                         random.bounded(3),
                         m_keys[QString::number(random.bounded(45))],
                         random.bounded(4),
                         {}};
            m_engine.Reset();
            fast.Reset();
            for (int press = 0; press < 12; ++press) {
                if (press == 2 && random.bounded(3) == 0) {
                    // A call that comes to hold the word in the middle of a search is found by
                    // the next press, whether changed here or by another program.
                    Database& writer = random.bounded(2) ? m_db : other;
                    writer.prepare(QStringLiteral("UPDATE tblCall SET Call = Call || ? WHERE rowid = ?"))
                        .bind(1, word)
                        .bind(2, 1 + random.bounded(80))
                        .run();
                }
                const SearchResult expected = m_engine.SearchWord(m_db, m_context, false, word, {}, mode, direction);
                const SearchResult actual = fast.SearchWord(m_db, m_context, false, word, {}, mode, direction);
                const auto fields = [](const SearchResult& r) {
                    return QVariantList{r.matchShown,    r.hasMatch, r.sequence,    r.callRow,
                                        r.startSequence, r.startRow, r.message.key, r.message.arguments};
                };
                QCOMPARE(fields(actual), fields(expected));
                if (!expected.matchShown) {
                    break;
                }
            }
            int counted[2] = {-1, -1};
            m_engine.ReplaceWordAll(m_db, m_context.viewLevel, word, "#", mode,
                                    [&](int n) { return !(counted[0] = n); });
            fast.ReplaceWordAll(m_db, m_context.viewLevel, word, "#", mode, [&](int n) { return !(counted[1] = n); });
            QCOMPARE(counted[1], counted[0]);
        }
    }
};

QTEST_GUILESS_MAIN(TestSearchEngine)
#include "TestSearchEngine.moc"
