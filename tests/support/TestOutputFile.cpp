#include "AppHome.h"
#include "Fixtures.h"
#include "OutputFile.h"
#include "TestHome.h"
#include "modDataBase.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <unistd.h>

Q_DECLARE_METATYPE(OutputFile::Refusal)

// The one writer of every output: what it refuses to replace, and that it leaves either the old
// file or the complete new one, and nothing beside them.
class TestOutputFile : public QObject {
    Q_OBJECT

private:
    std::optional<TestHome> m_home;

    QString file(const QString& name) const { return m_home->file(name); }
    QStringList listing() const {
        QStringList names;
        for (const QString& folder : {QString(), QStringLiteral("/sub")}) {
            for (const QString& name :
                 QDir(m_home->path() + folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
                names.append(folder + QLatin1Char('/') + name);
            }
        }
        return names;
    }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("sub/deep")));
        modDataBase::CreateLibrary(file(QStringLiteral("sub/lib.mdb")));
        modDataBase::CreateLibrary(AppHome::resolve(QString::fromUtf16(AppHome::TemplateName)));
        {
            Database other(file(QStringLiteral("notes.db")), Database::Mode::Create);
            other.exec(QStringLiteral("CREATE TABLE notes (line TEXT)"));
        }
        QVERIFY(Fixtures::writeFile(file(QStringLiteral("old.txt")), "old text"));
        QByteArray damaged("SQLite format 3", 16);
        damaged.append(4080, '\xff');
        QVERIFY(Fixtures::writeFile(file(QStringLiteral("damaged.db")), damaged));
        QVERIFY(QFile::link(file(QStringLiteral("sub/deep")), file(QStringLiteral("jump"))));
        QVERIFY(::link(QFile::encodeName(file(QStringLiteral("vornreader_org.mdb"))).constData(),
                       QFile::encodeName(file(QStringLiteral("hard.xlsx"))).constData()) == 0);
    }
    void cleanup() { m_home.reset(); }

    void refusesLibraries_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target"); // the file written or kept
        QTest::addColumn<OutputFile::Refusal>("refusal");
        const auto row = [](const char* tag, const char* name, const char* target, OutputFile::Refusal refusal) {
            QTest::newRow(tag) << QString(name) << QString(target) << refusal;
        };
        using R = OutputFile::Refusal;
        row("a new file", "new.pdf", "new.pdf", R::None);
        row("a text file", "old.txt", "old.txt", R::None);
        row("another program's database", "notes.db", "notes.db", R::None);
        row("a library", "sub/lib.mdb", "sub/lib.mdb", R::Library);
        // The kernel takes ".." after the link: jump/.. is sub, not the home.
        row("a library behind a link and ..", "jump/../lib.mdb", "sub/lib.mdb", R::Library);
        row("a hard link to the template", "hard.xlsx", "vornreader_org.mdb", R::Template);
        row("a database that cannot be read", "damaged.db", "damaged.db", R::Library);
    }
    void refusesLibraries() {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(OutputFile::Refusal, refusal);
        const QByteArray before = Fixtures::readFile(file(target));
        const QStringList names = listing();
        QCOMPARE(OutputFile::check(file(name)), refusal);
        OutputFile output(file(name));
        const bool refused = refusal != OutputFile::Refusal::None;
        QCOMPARE(output.open(), !refused);
        QCOMPARE(output.refusal(), refusal);
        QCOMPARE(output.refusalKey(), refused ? (refusal == OutputFile::Refusal::Library ? 40161 : 40162) : 0);
        if (!refused) {
            // Written by name, as a library that opens files itself does; nothing shows until the commit.
            QVERIFY(Fixtures::writeFile(output.pendingName(), "new content"));
        }
        QCOMPARE(Fixtures::readFile(file(target)), before);
        QCOMPARE(listing(), names);
        if (!refused) {
            QVERIFY(output.commit());
            QCOMPARE(Fixtures::readFile(file(target)), QByteArray("new content"));
            QStringList expected = names + QStringList{QLatin1Char('/') + name};
            expected.removeDuplicates();
            expected.sort();
            QStringList after = listing();
            after.sort();
            QCOMPARE(after, expected);
        }
    }

    // Killed at any moment while it writes, the writer leaves the old file and nothing beside it.
    void killMidwayLeavesNothing() {
        const QString target = file(QStringLiteral("old.txt"));
        const QStringList names = listing();
        QRandomGenerator random(7);
        for (int round = 0; round < 10; ++round) {
            QVERIFY(Fixtures::killMidway(random, 20000, [&](const std::function<void()>& ready) {
                OutputFile output(target);
                if (!output.open()) {
                    return;
                }
                ready();
                for (;;) {
                    output.device().write(QByteArray(4096, 'x'));
                }
            }));
            QCOMPARE(listing(), names);
            QCOMPARE(Fixtures::readFile(target), QByteArray("old text"));
        }
    }
};

QTEST_GUILESS_MAIN(TestOutputFile)
#include "TestOutputFile.moc"
