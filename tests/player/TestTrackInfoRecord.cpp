#include "TrackInfoRecord.h"

#include <QTest>

class TestTrackInfoRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The five labels' texts, "-" for a label the record leaves as it is; empty for a record that
    // changes nothing.
    void parse_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("labels");
        QTest::newRow("six fields cut as designed") << "x\t12:34\t01:02:03\t00:10\trepeat\tTitle"
                                                    << "12:34|01:02|00:10|rep|Title";
        QTest::newRow("no tab") << "12:34"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("two fields") << "x\t12:34:56"
                                    << "12:34:56|-|-|-|-";
        QTest::newRow("empty fields clear their labels") << "x\t\t"
                                                         << "||-|-|-";
        QTest::newRow("cut at the first NUL") << QStringLiteral("x\t1\t2") + QChar(0) + "\t3\t4"
                                              << "1|2|-|-|-";
        QTest::newRow("NUL before the first tab") << QStringLiteral("x") + QChar(0) + "\t1"
                                                  << "";
        QTest::newRow("later fields ignored") << "x\ta\tb\tc\td\te\tf\tg"
                                              << "a|b|c|d|e";
        QTest::newRow("short fields stay whole") << "x\t1\t2\t3\tr\tT"
                                                 << "1|2|3|r|T";
    }
    void parse() {
        QFETCH(QString, record);
        QStringList shown;
        for (const std::optional<QString>& label : TrackInfoRecord::parse(record).value_or(TrackInfoLabels{})) {
            shown.append(label.value_or(QStringLiteral("-")));
        }
        QTEST(TrackInfoRecord::parse(record) ? shown.join(QLatin1Char('|')) : QString(), "labels");
    }
};

QTEST_GUILESS_MAIN(TestTrackInfoRecord)
#include "TestTrackInfoRecord.moc"
