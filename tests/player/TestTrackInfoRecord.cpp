#include "TrackInfoRecord.h"

#include <QTest>

class TestTrackInfoRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // expected: the five labels' texts, "-" for a label the record leaves as it is; empty for a
    // record that changes nothing.
    void parse_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("six fields cut as designed")
            << "x\t12:34\t01:02:03\t00:10\trepeat\tTitle" << QStringList{"12:34", "01:02", "00:10", "rep", "Title"};
        QTest::newRow("no tab") << "12:34" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("two fields") << "x\t12:34:56" << QStringList{"12:34:56", "-", "-", "-", "-"};
        QTest::newRow("empty fields clear their labels") << "x\t\t" << QStringList{"", "", "-", "-", "-"};
        QTest::newRow("cut at the first NUL")
            << QStringLiteral("x\t1\t2") + QChar(0) + "\t3\t4" << QStringList{"1", "2", "-", "-", "-"};
        QTest::newRow("NUL before the first tab") << QStringLiteral("x") + QChar(0) + "\t1" << QStringList{};
        QTest::newRow("later fields ignored") << "x\ta\tb\tc\td\te\tf\tg" << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("short fields stay whole") << "x\t1\t2\t3\tr\tT" << QStringList{"1", "2", "3", "r", "T"};
    }
    void parse() {
        QFETCH(QString, record);
        QFETCH(QStringList, expected);
        const std::optional<TrackInfoLabels> labels = TrackInfoRecord::parse(record);
        QCOMPARE(labels.has_value(), !expected.isEmpty());
        if (labels) {
            QStringList shown;
            for (const std::optional<QString>& label : *labels) {
                shown.append(label ? *label : QStringLiteral("-"));
            }
            QCOMPARE(shown, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestTrackInfoRecord)
#include "TestTrackInfoRecord.moc"
