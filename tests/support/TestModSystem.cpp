#include "AppHome.h"
#include "Fixtures.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "modSystem.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kCancelChild = "--cancel-child";

QString logText() {
    return QString::fromUtf8(Fixtures::readFile(AppHome::resolve(QString::fromUtf16(modSystem::ErrorLogName))));
}

// The child side of the Cancel test: an error box that answers Cancel. Whatever follows the report
// (the INI write, the exit handler) must never run.
class CancellingBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport&) override {
        std::fputs("asked\n", stdout);
        std::fflush(stdout);
        return false;
    }
};

int runCancelChild() {
    std::atexit([] { std::fputs("exit handlers ran\n", stdout); });
    CancellingBox box;
    modSystem::setErrorBox(&box);
    modSystem::WriteErrorLog(QStringLiteral("frmVornReader.Form_Load"), {VornError::FileNotFound, QStringLiteral("x")});
    modSystem::WriteIniValue(QStringLiteral("Main"), QStringLiteral("State"), QStringLiteral("after"),
                             QStringLiteral("VornReader.ini"));
    return 0;
}

} // namespace

class TestModSystem : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup() {
        modSystem::setErrorQuestion({});
        m_home.reset();
    }

    void strScanf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        QTest::newRow("quoted path with a space")
            << QStringLiteral("-ini \"/home/me/my lib/x.ini\"") << QStringList{"-ini", "/home/me/my lib/x.ini"};
        QTest::newRow("starts with a line break") << QStringLiteral("\r\nword") << none;
        QTest::newRow("stops at the line break") << QStringLiteral("a b\r\nc d") << QStringList{"a", "b"};
    }
    void strScanf() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const QStringList before{"old1", "old2", "old3"};
        QStringList words = before;
        QCOMPARE(modSystem::StrScanf(text, words), expected.size());
        // Words are replaced only when some were found.
        QCOMPARE(words, expected.isEmpty() ? before : expected);
    }

    void iniValues_data() {
        QTest::addColumn<QString>("stored"); // the file's line for Key, empty for none
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("boolean");
        QTest::addColumn<QString>("text");
        QTest::newRow("40000 overflows") << QStringLiteral("Key=40000") << 0 << false << QStringLiteral("40000");
        QTest::newRow("leading number") << QStringLiteral("Key=12abc") << 12 << false << QStringLiteral("12abc");
        QTest::newRow("true lower case") << QStringLiteral("Key=true") << 0 << true << QStringLiteral("true");
        QTest::newRow("1 is not true") << QStringLiteral("Key=1") << 1 << false << QStringLiteral("1");
        QTest::newRow("key case differs") << QStringLiteral("kEY = True ") << 0 << true << QStringLiteral("True");
        QTest::newRow("empty value") << QStringLiteral("Key=") << 0 << false << QString();
        QTest::newRow("missing") << QString() << 77 << true << QStringLiteral("default");
    }
    void iniValues() {
        QFETCH(QString, stored);
        QFETCH(int, integer);
        QFETCH(bool, boolean);
        QFETCH(QString, text);
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("t.ini")), ("[Sect]\n" + stored + "\n").toUtf8()));
        const QString section = QStringLiteral("sECT"), key = QStringLiteral("Key"), file = QStringLiteral("t.ini");
        QCOMPARE(modSystem::GetIniInteger(section, key, file, 77), qint16(integer));
        QCOMPARE(modSystem::GetIniBoolean(section, key, file, true), boolean);
        QCOMPARE(modSystem::GetIniBoolean(section, key, file, false), boolean && !stored.isEmpty());
        QCOMPARE(modSystem::GetIniString(section, key, file, QStringLiteral("default")), text);
    }

    void iniWriteForms() {
        const QString file = QStringLiteral("forms.ini"), s = QStringLiteral("S");
        QVERIFY(modSystem::WriteIniValue(s, QStringLiteral("Int"), -5, file));
        QVERIFY(modSystem::WriteIniValue(s, QStringLiteral("Real"), 2.5, file));
        QVERIFY(modSystem::WriteIniValue(s, QStringLiteral("Flag"), false, file));
        QVERIFY(modSystem::WriteIniValue(s, QStringLiteral("Text"), "a b", file));
        // A name without a folder lands in the application home.
        QCOMPARE(Fixtures::readFile(m_home->file(file)), QByteArray("[S]\nInt=-5\nReal=2.5\nFlag=False\nText=a b\n"));
    }

    void errorReport_data() {
        QTest::addColumn<QString>("extra");
        QTest::newRow("no extra") << QString();
        QTest::newRow("extra") << QStringLiteral("Before BeginTrans");
    }
    void errorReport() {
        QFETCH(QString, extra);
        RecordingErrorBox box;
        // An earlier report is replaced; without a question the prompt is the report and two line breaks.
        modSystem::WriteErrorLog(QStringLiteral("modA.First"), {5, QStringLiteral("first")});
        QVERIFY(box.prompts.last().endsWith(QStringLiteral("first\r\n\r\n")));
        modSystem::setErrorQuestion([] { return QStringLiteral("Go on?\\nOK or Cancel"); });
        const QDateTime before = QDateTime::currentDateTime();
        modSystem::WriteErrorLog(QStringLiteral("frmVornReader.CreateList"),
                                 {VornError::TypeMismatch, QStringLiteral("Type mismatch")}, extra);
        const QDateTime after = QDateTime::currentDateTime();

        // The log: a line with the moment of the call (some second between before and after), the
        // procedure, the error and the extra text, each after an empty line; nothing after it.
        const QString log = logText();
        const QString stamp = log.section(QStringLiteral("\r\n"), 0, 0);
        const QLocale locale = QLocale::system();
        const auto stampOf = [&locale](const QDateTime& t) {
            return locale.toString(t.date(), QLocale::ShortFormat) + ' ' +
                   locale.toString(t.time(), QLocale::LongFormat);
        };
        QVERIFY2(stamp == stampOf(before) || stamp == stampOf(after), qPrintable(stamp));
        QCOMPARE(log, stamp + QStringLiteral("\r\nfrmVornReader.CreateList\r\n\r\nErrorNo.13 : Type mismatch\r\n") +
                          (extra.isEmpty() ? QString() : QStringLiteral("\r\n") + extra + QStringLiteral("\r\n")));
        QCOMPARE(box.prompts.size(), 2);
        QCOMPARE(box.prompts.last(), log.chopped(2) + QStringLiteral("\r\n\r\nGo on?\r\nOK or Cancel"));
    }

    void cancelEndsProcess() {
        QVERIFY(modSystem::WriteIniValue(QStringLiteral("Main"), QStringLiteral("State"), QStringLiteral("before"),
                                         QStringLiteral("VornReader.ini")));
        const QByteArray iniBefore = Fixtures::readFile(m_home->file(QStringLiteral("VornReader.ini")));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kCancelChild)});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), EXIT_FAILURE);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("asked\n"));
        QVERIFY(logText().contains(QStringLiteral("\r\nfrmVornReader.Form_Load\r\n\r\nErrorNo.53 : x\r\n")));
        QCOMPARE(Fixtures::readFile(m_home->file(QStringLiteral("VornReader.ini"))), iniBefore);
    }

private:
    std::unique_ptr<TestHome> m_home;
};

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], kCancelChild) == 0) {
        return runCancelChild();
    }
    QCoreApplication app(argc, argv);
    TestModSystem test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestModSystem.moc"
