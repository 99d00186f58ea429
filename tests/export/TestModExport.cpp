#include "ExportSamples.h"
#include "FakeExportHost.h"
#include "LibraryFile.h"
#include "LibrarySession.h"
#include "RecordingErrorBox.h"
#include "StoppingProgress.h"
#include "TestHome.h"
#include "modDataBase.h"
#include "modExport.h"
#include "modGeneral.h"

#include <QDir>
#include <QtTest>
#include <optional>

using ExportSamples::Sample;
using modExport::Outcome;

Q_DECLARE_METATYPE(modExport::Outcome)

// ExportCall as the window and the command-line tool use it: what is refused before anything is
// opened for writing, the question and the messages, the upgrade of older files, and a failure
// that is logged and changes nothing.
class TestModExport : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    std::optional<RecordingErrorBox> m_errors;
    QString m_source;
    QString m_target;

    void fillSource() {
        Database db(m_source);
        for (const Sample& sample : QList<Sample>{{"A", "Plus"}, {"B", "Plus"}, {"C", "C1"}}) {
            ExportSamples::add(db, sample);
        }
    }

    // Every row of the four tables of a library.
    static QStringList tables(const QString& path) {
        Database db(path);
        QStringList rows;
        for (const char* table : {"tblSequence", "tblCall", "tblHistory", "tblSetting"}) {
            rows += ExportSamples::rows(db, QStringLiteral("SELECT '%1', * FROM %1 ORDER BY 2, 3").arg(table));
        }
        return rows;
    }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_errors.emplace();
        modGeneral::SetLanguage(QStringLiteral("English"));
        m_source = m_home->file(QStringLiteral("source.mdb"));
        m_target = m_home->file(QStringLiteral("target.mdb"));
        modDataBase::CreateLibrary(m_source);
        modDataBase::CreateLibrary(m_target);
        fillSource();
    }
    void cleanup() {
        const QStringList errors = m_errors->prompts;
        m_errors.reset();
        m_home.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    void exportDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "-" for not a date
        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString(text) << QString(expected);
        };
        row("short parts", "2002/1/5", "2002/01/05");
        row("as written", "2002/01/05", "2002/01/05");
        row("dashes and blanks", " 2002-12-31 ", "2002/12/31");
        row("empty", "", "");
        row("blanks", "   ", "");
        row("month 13", "2002/13/01", "-");
        row("30 February", "2002/02/30", "-");
        row("a word", "yesterday", "-");
        row("a quote", "2002/01/05' OR '1'='1", "-");
    }
    void exportDate() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<QString> date = modExport::ExportDate(text);
        QCOMPARE(date.value_or(QStringLiteral("-")), expected);
    }

    // The same file under any spelling is one file.
    void sameFile_data() {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("identical") << "source.mdb" << true;
        QTest::newRow("another spelling") << "sub/.././/source.mdb" << true;
        QTest::newRow("symbolic link") << "link.mdb" << true;
        QTest::newRow("hard link") << "hard.mdb" << true;
        QTest::newRow("another file") << "target.mdb" << false;
        QTest::newRow("a missing file") << "missing.mdb" << false;
    }
    void sameFile() {
        QFETCH(QString, other);
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("sub")));
        QVERIFY(QFile::link(m_source, m_home->file(QStringLiteral("link.mdb"))));
        QVERIFY(::link(QFile::encodeName(m_source).constData(),
                       QFile::encodeName(m_home->file(QStringLiteral("hard.mdb"))).constData()) == 0);
        QTEST(modExport::SameFile(m_source, m_home->file(other)), "same");
    }

    // Refused with one message before anything is opened for writing: both files keep their bytes
    // and no question is asked.
    void refusals_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("arguments"); // "@" + name: that file's absolute path
        const auto row = [](const char* name, const char* source, const char* target, int key,
                            const QStringList& arguments) {
            QTest::newRow(name) << QString(source) << QString(target) << key << arguments;
        };
        row("no source", "", "target.mdb", 40211, {});
        row("no target", "source.mdb", "", 40212, {});
        row("one file, two spellings", "source.mdb", "./sub/../source.mdb", 40213, {});
        row("missing source", "missing.mdb", "target.mdb", 40201, {"@missing.mdb"});
        row("target not a library", "source.mdb", "other.mdb", 40104, {"@other.mdb", "it holds no sequence tables"});
        row("target is the template", "source.mdb", "vornreader_org.mdb", 40102, {"@vornreader_org.mdb"});
        row("target in use", "source.mdb", "target.mdb", 40105, {"@target.mdb"});
    }
    void refusals() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(QStringList, arguments);
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("sub")));
        {
            Database other(m_home->file(QStringLiteral("other.mdb")), Database::Mode::Create);
            other.exec(QStringLiteral("CREATE TABLE notes (line TEXT)"));
        }
        modDataBase::CreateLibrary(LibrarySession::TemplatePath());
        // Another program in the middle of writing the target holds it locked.
        Database holder(m_target);
        if (QTest::currentDataTag() == QLatin1String("target in use")) {
            holder.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        }
        QVariantList values;
        for (const QString& argument : arguments) {
            values.append(argument.startsWith(QLatin1Char('@')) ? m_home->file(argument.mid(1)) : argument);
        }
        const QByteArray sourceBytes = ExportSamples::bytes(m_source);
        FakeExportHost host;
        const auto path = [this](const QString& name) { return name.isEmpty() ? name : m_home->file(name); };
        const modExport::ExportResult result = modExport::ExportCall(path(source), path(target), {}, host);
        holder.close();
        QCOMPARE(result.outcome, Outcome::Refused);
        QCOMPARE(host.exclamations, QStringList{modGeneral::TransMessage(key, values)});
        QVERIFY(host.questions.isEmpty() && host.informations.isEmpty() && host.busySigns.isEmpty());
        QVERIFY(ExportSamples::bytes(m_source) == sourceBytes);
    }

    void noneFound() {
        FakeExportHost host;
        const QByteArray before = ExportSamples::bytes(m_target);
        const modExport::ExportResult result = modExport::ExportCall(m_source, m_target, {{}, {}, "C3", -1}, host);
        QCOMPARE(result.outcome, Outcome::NoneFound);
        QCOMPARE(host.informations, QStringList{modGeneral::TransMessage(40222)});
        QVERIFY(host.questions.isEmpty());
        QVERIFY(ExportSamples::bytes(m_target) == before);
    }

    // The question names the number found and the target; Cancel changes nothing, OK moves and
    // says so, with the wait sign around the move only.
    void questionDecides_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("cancel") << false;
        QTest::newRow("ok") << true;
    }
    void questionDecides() {
        QFETCH(bool, ok);
        const QByteArray source = ExportSamples::bytes(m_source);
        const QByteArray target = ExportSamples::bytes(m_target);
        FakeExportHost host;
        host.answerOk = ok;
        // Given by another spelling, the target is named by its absolute path.
        const QString spelled = m_home->file(QStringLiteral("./target.mdb"));
        const modExport::ExportResult result = modExport::ExportCall(m_source, spelled, {{}, {}, "Plus", -1}, host);
        QCOMPARE(host.questions, QStringList{modGeneral::TransMessage(40221, {2, m_target})});
        QCOMPARE(result.count, qint64(2));
        if (!ok) {
            QCOMPARE(result.outcome, Outcome::Cancelled);
            QVERIFY(host.informations.isEmpty() && host.busySigns.isEmpty());
            QVERIFY(ExportSamples::bytes(m_source) == source);
            QVERIFY(ExportSamples::bytes(m_target) == target);
            return;
        }
        QCOMPARE(result.outcome, Outcome::Moved);
        QCOMPARE(host.informations, QStringList{modGeneral::TransMessage(40223)});
        QCOMPARE(host.busySigns, (QList<bool>{true, false}));
        Database db(m_target);
        QCOMPARE(ExportSamples::titles(db), (QStringList{"A", "B"}));
    }

    // A failure inside the move is logged after the transaction began; the success message is not
    // shown.
    void failureIsLoggedAndChangesNothing() {
        {
            Database db(m_target);
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblCall WHEN NEW.Call = 'B call 2' "
                                   "BEGIN SELECT RAISE(ABORT, 'refused by the target'); END"));
        }
        FakeExportHost host;
        const modExport::ExportResult result = modExport::ExportCall(m_source, m_target, {}, host);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY(host.informations.isEmpty());
        QCOMPARE(host.busySigns, (QList<bool>{true, false}));
        QCOMPARE(m_errors->prompts.size(), 1);
        QVERIFY(m_errors->reported(QStringLiteral("modExport.ExportCall")));
        const QString report = m_errors->prompts.takeFirst();
        QVERIFY2(report.contains(QLatin1String("After BeginTrans")) &&
                     report.contains(QLatin1String("refused by the target")),
                 qPrintable(report));
    }

    // Stopped on its progress at any point of the move (a sequence, before or inside one of the
    // statements that carry calls and history), the export leaves every table of both files as it
    // was and says so.
    void stoppedMoveChangesNothing_data() {
        QTest::addColumn<int>("extra"); // sequences of 20 calls added to the source
        QTest::addColumn<int>("stage"); // 0, 1: that sequence; 2: before the calls; 3: before the last delete
        QTest::newRow("at the first sequence") << 0 << 0;
        QTest::newRow("at the second sequence") << 0 << 1;
        QTest::newRow("before the calls are carried") << 0 << 2;
        QTest::newRow("before the last delete") << 0 << 3;
        QTest::newRow("inside the statement that carries the calls") << 400 << 4;
    }
    void stoppedMoveChangesNothing() {
        QFETCH(int, extra);
        QFETCH(int, stage);
        {
            Database db(m_source);
            db.exec(QStringLiteral("BEGIN"));
            for (int i = 0; i < extra; ++i) {
                ExportSamples::add(db, {QStringLiteral("X%1").arg(i), "A1", "2003/01/01", 0, 5, 20, 1});
            }
            db.exec(QStringLiteral("COMMIT"));
        }
        const QStringList source = tables(m_source);
        const QStringList target = tables(m_target);
        const qint64 count = 3 + extra;
        int atCalls = 0;
        StoppingProgress progress([&](qint64 done, qint64) {
            atCalls += done == count ? 1 : 0;
            switch (stage) {
            case 0:
            case 1:
                return done == stage;
            case 2:
                return done == count;
            case 3:
                return done == count + count * 4 / 5;
            default:
                // The first time is the step before the statement, the second comes from inside it.
                return atCalls == 2;
            }
        });
        FakeExportHost host;
        const modExport::ExportResult result = modExport::ExportCall(m_source, m_target, {}, host, &progress);
        QCOMPARE(result.outcome, Outcome::Stopped);
        QCOMPARE(result.count, qint64(0));
        QCOMPARE(progress.labels, QStringList{QStringLiteral("Moving %1 sequences to %2...").arg(count).arg(m_target)});
        QCOMPARE(host.informations, QStringList{modGeneral::TransMessage(40224)});
        QCOMPARE(host.busySigns, (QList<bool>{true, false}));
        QCOMPARE(progress.pauses, 1);
        QCOMPARE(tables(m_source), source);
        QCOMPARE(tables(m_target), target);
        if (stage == 4) {
            QCOMPARE(atCalls, 2);
        }
    }

    // Not stopped, the move tells its progress from the first sequence to the last statement.
    void moveWithProgress() {
        StoppingProgress progress;
        FakeExportHost host;
        QCOMPARE(modExport::ExportCall(m_source, m_target, {}, host, &progress).outcome, Outcome::Moved);
        QCOMPARE(progress.positions, (QList<QPair<qint64, qint64>>{
                                         {0, 6}, {1, 6}, {2, 6}, {3, 6}, {3, 6}, {4, 6}, {4, 6}, {5, 6}, {6, 6}}));
        Database db(m_target);
        QCOMPARE(ExportSamples::titles(db), (QStringList{"A", "B", "C"}));
    }

    // Older files are brought up to date after the question and before the move (the source's
    // author question included); a cancelled question leaves them as they were.
    void olderFilesAreUpgradedFirst() {
        for (const QString& path : {m_source, m_target}) {
            QFile::remove(path);
            Database db(path, Database::Mode::Create);
            db.exec(QStringLiteral(
                "CREATE TABLE tblSequence (Sequence INTEGER PRIMARY KEY AUTOINCREMENT, Level TEXT(255), Date TEXT(10), "
                "Time TEXT(20), Version TEXT(255), Title TEXT(255), Note TEXT, Property SMALLINT DEFAULT 0)"));
            db.exec(QStringLiteral("CREATE TABLE tblCall (Sequence INTEGER NOT NULL, Number SMALLINT NOT NULL, Call "
                                   "TEXT, Figure TEXT, Note TEXT, PRIMARY KEY (Sequence, Number))"));
        }
        {
            Database db(m_source);
            db.exec(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES ('Plus', '2002/01/05', "
                                   "'10:00:00', 'old one'), ('Plus', '2002/01/04', '10:00:00', 'old two')"));
            db.exec(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (1, 1, 'first'), (2, 1, 'x')"));
        }
        const QByteArray source = ExportSamples::bytes(m_source);
        const QByteArray target = ExportSamples::bytes(m_target);
        FakeExportHost host;
        host.answerOk = false;
        QCOMPARE(modExport::ExportCall(m_source, m_target, {}, host).outcome, Outcome::Cancelled);
        QVERIFY(ExportSamples::bytes(m_source) == source && ExportSamples::bytes(m_target) == target);
        QVERIFY(host.authorPrompts.isEmpty());

        host.answerOk = true;
        host.author = QStringLiteral("Caller");
        QCOMPARE(modExport::ExportCall(m_source, m_target, {}, host).outcome, Outcome::Moved);
        QCOMPARE(host.authorPrompts.size(), 1);
        for (const QString& path : {m_source, m_target}) {
            Database db(path);
            QVERIFY(modDataBase::IsCurrent(db));
        }
        Database db(m_target);
        QCOMPARE(ExportSamples::rows(db, QStringLiteral("SELECT Title, OrderNo, Author FROM tblSequence ORDER BY "
                                                        "OrderNo")),
                 (QStringList{"old two|1|Caller", "old one|2|Caller"}));
    }
};

QTEST_GUILESS_MAIN(TestModExport)
#include "TestModExport.moc"
