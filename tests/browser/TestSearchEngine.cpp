#include "Database.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "SearchEngine.h"
#include "TestHome.h"

#include <QtTest>
#include <map>

namespace {

const QString All = QStringLiteral("AllLevel");

struct Press {
    bool replace = false;
    QString find;
    QString replacement;
    int mode = 1;
    int direction = 0;
};

} // namespace

class TestSearchEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Three sequences whose orders differ by date (S2 S3 S1), stored order (S1 S3 S2) and state
    // (S3 S2 S1); "Thru" is in calls S1:1,2, S2:1,3 and S3:2.
    void init() {
        m_home = std::make_unique<TestHome>();
        m_box = std::make_unique<RecordingErrorBox>();
        Fixtures::createLibrary(m_db, m_home->path());
        m_keys[QStringLiteral("S1")] = addSequence(QStringLiteral("Plus"), QStringLiteral("2026/01/03"), 2, 1,
                                                   {"Heads Square Thru", "Swing Thru", "Boys Run"});
        m_keys[QStringLiteral("S2")] = addSequence(QStringLiteral("Plus"), QStringLiteral("2026/01/01"), 1, 3,
                                                   {"Sides Pass Thru", "Ferris Wheel", "Centers Pass Thru"});
        m_keys[QStringLiteral("S3")] = addSequence(QStringLiteral("A1"), QStringLiteral("2026/01/02"), 0, 2,
                                                   {"Recycle", "Pass Thru", "Right And Left Grand"});
        m_engine.Reset();
        m_context = {All, 0, 0, 0};
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
        QTest::newRow("by date, down") << 0 << 0 << QStringLiteral("S2 S3 S1");
        QTest::newRow("by stored order, down") << 1 << 0 << QStringLiteral("S1 S3 S2");
        QTest::newRow("by state, down") << 2 << 0 << QStringLiteral("S3 S2 S1");
        QTest::newRow("by date, up") << 0 << 1 << QStringLiteral("S1 S3 S2");
    }
    void stepsInListOrderAndCompletesTheRound() {
        QFETCH(int, sort);
        QFETCH(int, direction);
        QFETCH(QString, order);
        const std::map<QString, QList<int>> matches{
            {QStringLiteral("S1"), {1, 2}}, {QStringLiteral("S2"), {1, 3}}, {QStringLiteral("S3"), {2}}};
        QList<QPair<qint64, int>> expected;
        for (const QString& name : order.split(QLatin1Char(' '))) {
            QList<int> numbers = matches.at(name);
            if (direction == 1) {
                std::reverse(numbers.begin(), numbers.end());
            }
            for (int number : numbers) {
                expected.append({m_keys[name], number - 1});
            }
        }
        m_context.sequenceSort = sort;
        const Press press{false, QStringLiteral("thru"), {}, 1, direction};
        for (const auto& [sequence, row] : expected) {
            const SearchResult result = search(press);
            QVERIFY(result.matchShown);
            QCOMPARE(result.sequence, sequence);
            QCOMPARE(result.callRow, row);
            QCOMPARE(result.message.key, 0);
        }
        const SearchResult round = search(press);
        QVERIFY(!round.matchShown);
        QCOMPARE(round.sequence, expected.first().first);
        QCOMPARE(round.callRow, expected.first().second);
        QCOMPARE(round.message.key, 40502);
        QCOMPARE(round.message.arguments, QVariantList{int(expected.size())});
        // A fresh search: it starts again where the window stands and reports no round.
        const SearchResult fresh = search(press);
        QVERIFY(fresh.matchShown);
        QCOMPARE(fresh.sequence, expected.first().first);
        QCOMPARE(fresh.message.key, 0);
    }

    void wrapsAround_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("fromRow");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("toRow");
        QTest::newRow("down from the last match") << 0 << QStringLiteral("S1") << 1 << QStringLiteral("S2") << 0;
        QTest::newRow("up from the first match") << 1 << QStringLiteral("S2") << 0 << QStringLiteral("S1") << 1;
        QTest::newRow("down from a call that is no match")
            << 0 << QStringLiteral("S2") << 1 << QStringLiteral("S2") << 2;
    }
    void wrapsAround() {
        QFETCH(int, direction);
        QFETCH(QString, from);
        QFETCH(int, fromRow);
        QFETCH(QString, to);
        QFETCH(int, toRow);
        m_context.currentSequence = m_keys[from];
        m_context.currentRow = fromRow;
        const SearchResult result = search({false, QStringLiteral("Thru"), {}, 0, direction});
        QVERIFY(result.matchShown);
        QCOMPARE(result.sequence, m_keys[to]);
        QCOMPARE(result.callRow, toRow);
    }

    void noMatchAnywhere() {
        for (int press = 0; press < 2; ++press) {
            const SearchResult result = search({false, QStringLiteral("Spin Chain"), {}, 1, 0});
            QVERIFY(!result.matchShown);
            QVERIFY(!result.hasMatch);
            QCOMPARE(result.message.key, 40501);
            QCOMPARE(result.message.icon, SearchMessage::Icon::Exclamation);
        }
        QVERIFY(!search({false, QString(), {}, 1, 0}).hasMatch);
    }

    // Whatever the search finds, InStr finds and ReplaceText replaces, in both compare modes.
    void matchesAgree_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("found");
        QTest::newRow("double quote") << QStringLiteral("Say \"Hello\" twice") << QStringLiteral("\"Hello\"") << 0
                                      << true;
        QTest::newRow("single quote") << QStringLiteral("Don't stop") << QStringLiteral("don't") << 1 << true;
        QTest::newRow("both quotes") << QStringLiteral("'a' \"b\"") << QStringLiteral("a' \"") << 0 << true;
        QTest::newRow("case kept") << QStringLiteral("Swing Thru") << QStringLiteral("swing") << 0 << false;
        QTest::newRow("case ignored") << QStringLiteral("Swing Thru") << QStringLiteral("swing") << 1 << true;
        QTest::newRow("STRASSE finds straße") << QStringLiteral("Straße") << QStringLiteral("STRASSE") << 1 << true;
        QTest::newRow("straße finds STRASSE") << QStringLiteral("STRASSE") << QStringLiteral("straße") << 1 << true;
        QTest::newRow("sharp s, case kept") << QStringLiteral("Straße") << QStringLiteral("STRASSE") << 0 << false;
        QTest::newRow("half a sharp s") << QStringLiteral("ß") << QStringLiteral("s") << 1 << false;
    }
    void matchesAgree() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, mode);
        QFETCH(bool, found);
        const qint64 key = addSequence(QStringLiteral("C2"), QStringLiteral("2026/02/01"), 0, 1, {"Recycle"});
        addCall(key, 2, text);
        m_context.viewLevel = QStringLiteral("C2");
        const SearchResult result = search({false, find, {}, mode, 0});
        QCOMPARE(result.matchShown, found);
        QCOMPARE(result.callRow, found ? 1 : -1);
        const QVariant position = Fixtures::value(m_db, QStringLiteral("SELECT InStr(1, ?, ?, ?)"), {text, find, mode});
        QCOMPARE(position.toInt() > 0, found);
        QCOMPARE(SearchEngine::ReplaceText(text, find, QStringLiteral("#"), mode) != text, found);
    }

    void replaceText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every occurrence") << QStringLiteral("Thru, thru") << QStringLiteral("THRU")
                                          << QStringLiteral("Through") << 1 << QStringLiteral("Through, Through");
        QTest::newRow("case kept") << QStringLiteral("Thru, thru") << QStringLiteral("thru") << QStringLiteral("x") << 0
                                   << QStringLiteral("Thru, x");
        QTest::newRow("goes on after") << QStringLiteral("bbb") << QStringLiteral("b") << QStringLiteral("bb") << 0
                                       << QStringLiteral("bbbbbb");
        QTest::newRow("sharp s whole") << QStringLiteral("Die Straße hier") << QStringLiteral("STRASSE")
                                       << QStringLiteral("Weg") << 1 << QStringLiteral("Die Weg hier");
        QTest::newRow("untouched parts kept") << QStringLiteral("ÄRGER ärger") << QStringLiteral("ärger")
                                              << QStringLiteral("-") << 1 << QStringLiteral("- -");
        QTest::newRow("nothing found") << QStringLiteral("abc") << QStringLiteral("x") << QStringLiteral("y") << 1
                                       << QStringLiteral("abc");
    }
    void replaceText() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QCOMPARE(SearchEngine::ReplaceText(text, find, replacement, mode), expected);
    }

    // The first press only shows; each further press replaces the shown match and moves on.
    void replaceStepByStep() {
        m_context.viewLevel = QStringLiteral("Plus");
        const Press press{true, QStringLiteral("thru"), QStringLiteral("Through"), 1, 0};
        const QList<QPair<QString, int>> order{{"S2", 1}, {"S2", 3}, {"S1", 1}, {"S1", 2}};
        for (qsizetype i = 0; i < order.size(); ++i) {
            const SearchResult result = search(press);
            QVERIFY(result.matchShown);
            QCOMPARE(result.sequence, m_keys[order[i].first]);
            QCOMPARE(result.callRow, order[i].second - 1);
            QVERIFY(call(order[i].first, order[i].second).endsWith(QStringLiteral("Thru")));
            if (i > 0) {
                QVERIFY(call(order[i - 1].first, order[i - 1].second).endsWith(QStringLiteral("Through")));
            }
        }
        const SearchResult last = search(press);
        QVERIFY(!last.matchShown);
        QVERIFY(!last.hasMatch);
        QCOMPARE(last.message.key, 40503);
        QCOMPARE(last.message.arguments, QVariantList{4});
        QCOMPARE(call(QStringLiteral("S1"), 2), QStringLiteral("Swing Through"));
        QCOMPARE(call(QStringLiteral("S3"), 2), QStringLiteral("Pass Thru"));
    }

    void changedReplacementStartsAgain() {
        const SearchResult first = search({true, QStringLiteral("Thru"), QStringLiteral("Through"), 1, 0});
        QVERIFY(first.matchShown);
        m_context.currentSequence = first.sequence;
        m_context.currentRow = first.callRow;
        const SearchResult second = search({true, QStringLiteral("Thru"), QStringLiteral("Thro"), 1, 0});
        QVERIFY(second.matchShown);
        QVERIFY(second.sequence != first.sequence || second.callRow != first.callRow);
        QCOMPARE(count(QStringLiteral("%Thru")), 5);
    }

    void replaceAllByLevel_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("replaced");
        QTest::newRow("all levels") << All << 5;
        QTest::newRow("Plus") << QStringLiteral("Plus") << 4;
        QTest::newRow("A1") << QStringLiteral("A1") << 1;
    }
    void replaceAllByLevel() {
        QFETCH(QString, level);
        QFETCH(int, replaced);
        int asked = -1;
        const ReplaceAllResult result =
            m_engine.ReplaceWordAll(m_db, level, QStringLiteral("THRU"), QStringLiteral("Through"), 1, [&](int n) {
                asked = n;
                return true;
            });
        QVERIFY(result.replaced);
        QCOMPARE(asked, replaced);
        QCOMPARE(result.message.key, 40503);
        QCOMPARE(result.message.arguments, QVariantList{replaced});
        QCOMPARE(count(QStringLiteral("%Through")), replaced);
        QCOMPARE(count(QStringLiteral("%Thru")), 5 - replaced);
    }

    void replaceAllCountsAndCancel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("occurrences");
        QTest::newRow("bb and b") << QStringLiteral("bb") << QStringLiteral("b") << 0 << 2;
        QTest::newRow("bbb and bb") << QStringLiteral("bbb") << QStringLiteral("bb") << 0 << 1;
        QTest::newRow("case ignored") << QStringLiteral("Bb") << QStringLiteral("b") << 1 << 2;
        QTest::newRow("case kept") << QStringLiteral("Bb") << QStringLiteral("b") << 0 << 1;
        QTest::newRow("none") << QStringLiteral("bb") << QStringLiteral("x") << 1 << 0;
    }
    void replaceAllCountsAndCancel() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, mode);
        QFETCH(int, occurrences);
        const qint64 key = addSequence(QStringLiteral("C2"), QStringLiteral("2026/02/01"), 0, 1, {});
        addCall(key, 1, text);
        int asked = -1;
        const ReplaceAllResult result =
            m_engine.ReplaceWordAll(m_db, QStringLiteral("C2"), find, QStringLiteral("z"), mode, [&](int n) {
                asked = n;
                return false;
            });
        QCOMPARE(result.count, occurrences);
        QCOMPARE(asked, occurrences > 0 ? occurrences : -1);
        QCOMPARE(result.message.key, occurrences > 0 ? 0 : 40501);
        QVERIFY(!result.replaced);
        QCOMPARE(Fixtures::value(m_db, QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ?"), {key}).toString(),
                 text);
    }

    void replaceAllFailureChangesNothing() {
        m_db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON tblCall WHEN NEW.Sequence = ") +
                  QString::number(m_keys[QStringLiteral("S3")]) +
                  QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const ReplaceAllResult result = m_engine.ReplaceWordAll(m_db, All, QStringLiteral("Thru"),
                                                                QStringLiteral("Through"), 1, [](int) { return true; });
        QVERIFY(result.failed);
        QVERIFY(!result.replaced);
        QVERIFY(m_box->reported(QStringLiteral("frmVornReader.ReplaceWordAll")));
        QCOMPARE(count(QStringLiteral("%Through%")), 0);
        QVERIFY(!m_db.inTransaction());
    }

    void searchFailureIsLogged() {
        m_db.exec(QStringLiteral("DROP TABLE tblCall"));
        const SearchResult result = search({false, QStringLiteral("Thru"), {}, 1, 0});
        QVERIFY(!result.hasMatch);
        QVERIFY(m_box->reported(QStringLiteral("frmVornReader.SearchWord")));
        QVERIFY(!m_db.inTransaction());
    }

private:
    qint64 addSequence(const QString& level, const QString& date, int property, int orderNo,
                       std::initializer_list<const char*> calls) {
        Statement insert = m_db.prepare(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title, Property, "
                                                       "OrderNo) VALUES (?, ?, '10:00:00', 'title', ?, ?)"));
        insert.bind(1, level).bind(2, date).bind(3, property).bind(4, orderNo);
        insert.run();
        const qint64 key = m_db.lastInsertRowId();
        int number = 0;
        for (const char* text : calls) {
            addCall(key, ++number, QString::fromUtf8(text));
        }
        return key;
    }
    void addCall(qint64 sequence, int number, const QString& text) {
        Statement insert =
            m_db.prepare(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (?, ?, ?)"));
        insert.bind(1, sequence).bind(2, number).bind(3, text);
        insert.run();
    }
    QString call(const QString& name, int number) {
        return Fixtures::value(m_db, QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = ?"),
                               {m_keys[name], number})
            .toString();
    }
    int count(const QString& pattern) {
        return Fixtures::value(m_db, QStringLiteral("SELECT count(*) FROM tblCall WHERE Call LIKE ?"), {pattern})
            .toInt();
    }
    SearchResult search(const Press& press) {
        return m_engine.SearchWord(m_db, m_context, press.replace, press.find, press.replacement, press.mode,
                                   press.direction);
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_box;
    Database m_db;
    SearchEngine m_engine;
    SearchContext m_context;
    std::map<QString, qint64> m_keys;
};

QTEST_GUILESS_MAIN(TestSearchEngine)
#include "TestSearchEngine.moc"
