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

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_errors.emplace();
        modGeneral::SetLanguage(QStringLiteral("English"));
        m_source = m_home->file(QStringLiteral("source.mdb"));
        m_target = m_home->file(QStringLiteral("target.mdb"));
        modDataBase::CreateLibrary(m_source);
        modDataBase::CreateLibrary(m_target);
        Database db(m_source);
        for (const Sample& sample : QList<Sample>{{"A", "Plus"}, {"B", "Plus"}, {"C", "C1"}}) {
            ExportSamples::add(db, sample);
        }
        // Other names of the source, another program's database and the template.
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("sub")));
        QVERIFY(QFile::link(m_source, m_home->file(QStringLiteral("link.mdb"))));
        QVERIFY(::link(QFile::encodeName(m_source).constData(),
                       QFile::encodeName(m_home->file(QStringLiteral("hard.mdb"))).constData()) == 0);
        Database(m_home->file(QStringLiteral("other.mdb")), Database::Mode::Create).exec("CREATE TABLE notes (t)");
        modDataBase::CreateLibrary(LibrarySession::TemplatePath());
    }
    void cleanup() {
        const QStringList errors = m_errors->prompts;
        m_errors.reset();
        m_home.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    // Refused with one message before anything is opened for writing: both files keep their bytes
    // and no question is asked.
    void refusals_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        const auto row = [](const char* name, const char* source, const char* target, int key) {
            QTest::newRow(name) << QString(source) << QString(target) << key;
        };
        row("no source", "", "target.mdb", 40211);
        row("no target", "source.mdb", "", 40212);
        row("one file, two spellings", "source.mdb", "./sub/../source.mdb", 40213);
        row("one file, a symbolic link", "source.mdb", "link.mdb", 40213);
        row("one file, a hard link", "source.mdb", "hard.mdb", 40213);
        row("missing source", "missing.mdb", "target.mdb", 40201);
        row("target not a library", "source.mdb", "other.mdb", 40104);
        row("target is the template", "source.mdb", "vornreader_org.mdb", 40102);
        row("target in use", "source.mdb", "target.mdb", 40105);
        row("damaged target", "source.mdb", "damaged.mdb", 40166);
    }
    void refusals() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(int, key);
        // Another program in the middle of writing the target holds it locked.
        Database holder(m_target);
        if (QTest::currentDataTag() == QLatin1String("target in use")) {
            holder.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        }
        if (target == QLatin1String("damaged.mdb")) {
            const QString damaged = m_home->file(target);
            modDataBase::CreateLibrary(damaged);
            {
                Database db(damaged);
                db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                       "INSERT INTO tblCall (Sequence, Number, Call) SELECT i, 1, printf('%0500d', i) "
                                       "FROM n"));
            }
            // Cell pointers of a page in the middle: a damage only a check of the whole file finds.
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((file.size() / 4096 / 2) * 4096 + 8));
            file.write(QByteArray(12, '\xff'));
        }
        const QByteArray sourceBytes = Fixtures::readFile(m_source);
        FakeExportHost host;
        const auto path = [this](const QString& name) { return name.isEmpty() ? name : m_home->file(name); };
        const modExport::ExportResult result = modExport::ExportCall(path(source), path(target), {}, host);
        holder.close();
        QCOMPARE(result.outcome, Outcome::Refused);
        // The message up to the first name it holds.
        QCOMPARE(host.exclamations.size(), 1);
        QVERIFY2(host.exclamations[0].startsWith(modGeneral::TransMessage(key, {"\x01"}).section(QChar(1), 0, 0)),
                 qPrintable(host.exclamations[0]));
        QVERIFY(host.questions.isEmpty() && host.informations.isEmpty() && host.busySigns.isEmpty());
        QVERIFY(Fixtures::readFile(m_source) == sourceBytes);
    }

    // After the checks: the question names the number found and the target (given by another
    // spelling, named by its absolute path); Cancel changes nothing, OK moves and says so, with the
    // wait sign around the move only. A failure inside the move is logged after the transaction
    // began, and a stop is reported; both change nothing (TestInterruption) and show no success.
    void outcomes_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("interruption");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("message"); // the information shown at the end; 0: none
        QTest::addColumn<QStringList>("moved");
        QTest::newRow("none found") << "C3" << true << "" << Outcome::NoneFound << 40222 << QStringList();
        QTest::newRow("cancelled") << "Plus" << false << "" << Outcome::Cancelled << 0 << QStringList();
        QTest::newRow("moved") << "" << true << "" << Outcome::Moved << 40223 << QStringList{"A", "B", "C"};
        QTest::newRow("refused by the target") << "" << true << "refused" << Outcome::Failed << 0 << QStringList();
        QTest::newRow("stopped") << "" << true << "stopped" << Outcome::Stopped << 40224 << QStringList();
    }
    void outcomes() {
        QFETCH(QString, level);
        QFETCH(bool, ok);
        QFETCH(QString, interruption);
        QFETCH(int, message);
        if (interruption == QLatin1String("refused")) {
            Database db(m_target);
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblCall WHEN NEW.Call = 'B call 2' "
                                   "BEGIN SELECT RAISE(ABORT, 'refused by the target'); END"));
        }
        const QByteArray target = Fixtures::readFile(m_target);
        FakeExportHost host;
        host.answerOk = ok;
        StoppingProgress progress(interruption == QLatin1String("stopped") ? 2 : 0);
        const modExport::ExportResult result = modExport::ExportCall(
            m_source, m_home->file(QStringLiteral("./target.mdb")), {{}, {}, level, -1}, host, &progress);
        QTEST(result.outcome, "outcome");
        const int found = level.isEmpty() ? 3 : level == QLatin1String("Plus") ? 2 : 0;
        QCOMPARE(host.questions,
                 found ? QStringList{modGeneral::TransMessage(40221, {found, m_target})} : QStringList());
        QCOMPARE(host.informations, message ? QStringList{modGeneral::TransMessage(message)} : QStringList());
        QCOMPARE(host.busySigns, (found && ok ? QList<bool>{true, false} : QList<bool>()));
        QCOMPARE(m_errors->prompts.size(), interruption == QLatin1String("refused") ? 1 : 0);
        if (!m_errors->prompts.isEmpty()) {
            QVERIFY(m_errors->prompts.takeFirst().contains(QLatin1String("modExport.ExportCall")));
        }
        QFETCH(QStringList, moved);
        Database db(m_target);
        QCOMPARE(ExportSamples::titles(db), moved);
        QVERIFY(result.outcome == Outcome::Moved || Fixtures::readFile(m_target) == target);
        if (result.outcome == Outcome::Stopped) {
            QCOMPARE(progress.labels, QStringList{QStringLiteral("Moving 3 sequences to %1...").arg(m_target)});
        }
    }

    // Older files are brought up to date after the question and before the move (the source's
    // author question included); a cancelled question leaves them as they were.
    void olderFilesAreUpgradedFirst() {
        for (const QString& path : {m_source, m_target}) {
            Database db(path);
            db.exec(QStringLiteral("DELETE FROM tblSequence"));
            db.exec(QStringLiteral("DELETE FROM tblCall"));
            db.exec(QStringLiteral("ALTER TABLE tblSequence DROP COLUMN Author"));
            db.exec(QStringLiteral("ALTER TABLE tblSequence DROP COLUMN OrderNo"));
        }
        {
            Database db(m_source);
            db.exec(QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Title) VALUES ('Plus', '2002/01/05', "
                                   "'10:00:00', 'old one'), ('Plus', '2002/01/04', '10:00:00', 'old two')"));
        }
        const QByteArray source = Fixtures::readFile(m_source);
        const QByteArray target = Fixtures::readFile(m_target);
        FakeExportHost host;
        host.answerOk = false;
        QCOMPARE(modExport::ExportCall(m_source, m_target, {}, host).outcome, Outcome::Cancelled);
        QVERIFY(Fixtures::readFile(m_source) == source && Fixtures::readFile(m_target) == target);
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
        QCOMPARE(Fixtures::rows(db, QStringLiteral("SELECT Title, OrderNo, Author FROM tblSequence ORDER BY "
                                                   "OrderNo")),
                 (QStringList{"old two|1|Caller", "old one|2|Caller"}));
    }
};

QTEST_GUILESS_MAIN(TestModExport)
#include "TestModExport.moc"
