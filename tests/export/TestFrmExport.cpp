#include "ExportSamples.h"
#include "FakeExportHost.h"
#include "HomeSeeder.h"
#include "IExportDialogs.h"
#include "RecordingErrorBox.h"
#include "TestHome.h"
#include "frmExport.h"
#include "modDataBase.h"
#include "modGeneral.h"

#include <QtTest>
#include <QtWidgets>
#include <optional>

using ExportSamples::Sample;

namespace {

// The dialog's answers: the file chooser returns its scripted file and records what it was asked.
class FakeExportDialogs final : public FakeExportHostOf<IExportDialogs> {
public:
    std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) override {
        fileRequests.append({title, folder, filter});
        return fileToChoose;
    }

    std::optional<QString> fileToChoose;
    QList<QStringList> fileRequests;
};

QStringList items(const QComboBox* box) {
    QStringList result;
    for (int i = 0; i < box->count(); ++i) {
        result.append(box->itemText(i) + QLatin1Char('|') + box->itemData(i).toString());
    }
    return result;
}

} // namespace

// The export dialog over two library files: what it shows, the files it takes, the checks before
// a move, and the filter it hands over.
class TestFrmExport : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    std::optional<RecordingErrorBox> m_errors;
    std::optional<FakeExportDialogs> m_dialogs;
    std::unique_ptr<frmExport> m_form;
    QString m_source;
    QString m_target;

    template <class T> T* child(const QString& name) const { return m_form->findChild<T*>(name); }
    QString fileName(int index) const { return child<QLabel>(QStringLiteral("lblFileName(%1)").arg(index))->text(); }

private Q_SLOTS:
    void init() {
        m_home.emplace();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        m_errors.emplace();
        m_dialogs.emplace();
        m_source = m_home->file(QStringLiteral("source.mdb"));
        m_target = m_home->file(QStringLiteral("target.mdb"));
        modDataBase::CreateLibrary(m_source);
        modDataBase::CreateLibrary(m_target);
        Database db(m_source);
        for (const Sample& sample : QList<Sample>{{"A", "Plus", "2002/01/04", 0},
                                                  {"B", "Plus", "2002/01/05", 1},
                                                  {"C", "C1", "2002/01/10", 0},
                                                  {"D", "Plus", "2002/01/20", 2}}) {
            ExportSamples::add(db, sample);
        }
        m_form = std::make_unique<frmExport>(*m_dialogs);
    }
    void cleanup() {
        m_form.reset();
        const QStringList errors = m_errors->prompts;
        m_errors.reset();
        m_dialogs.reset();
        m_home.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    // The open library is the source, its levels and states fill the lists; no library, no lists.
    void formLoad() {
        m_form->Form_Load(m_source, m_home->path());
        QCOMPARE(fileName(0) + '|' + fileName(1), m_source + '|');
        QCOMPARE(items(child<QComboBox>(QStringLiteral("cboLevel"))), (QStringList{"(All)|0", "Plus|0", "C1|0"}));
        QCOMPARE(items(child<QComboBox>(QStringLiteral("cboProperty"))),
                 (QStringList{"(All)|-1", "Not called|0", "Checked|1", "Called|2"}));

        m_form->Form_Load(m_home->file(QStringLiteral("gone.mdb")), m_home->path());
        QCOMPARE(fileName(0) + items(child<QComboBox>("cboLevel")).join(' ') +
                     items(child<QComboBox>("cboProperty")).join(' '),
                 QString());
    }

    // A chosen file that cannot take part is turned away with its reason; the source refills the
    // lists.
    void browse_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("chosen"); // "" = cancelled
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("message"); // 0 = none
        QTest::addColumn<QString>("detail");
        const auto row = [](const char* name, int index, const char* chosen, const char* shown, int message,
                            const char* detail) {
            QTest::newRow(name) << index << QString(chosen) << QString(shown) << message << QString(detail);
        };
        row("target", 1, "target.mdb", "target.mdb", 0, "");
        row("cancelled", 1, "", "", 0, "");
        row("not a library", 1, "notes.mdb", "", 40104, "file is not a database");
        row("another source", 0, "target.mdb", "target.mdb", 0, "");
    }
    void browse() {
        QFETCH(int, index);
        QFETCH(QString, chosen);
        QFETCH(QString, shown);
        QFETCH(int, message);
        QFETCH(QString, detail);
        QVERIFY(Fixtures::writeFile(m_home->file(QStringLiteral("notes.mdb")), QByteArray(4096, 'x')));
        m_form->Form_Load(QString(), QStringLiteral("/start/here"));
        if (!chosen.isEmpty()) {
            m_dialogs->fileToChoose = m_home->file(chosen);
        }
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdBrowse(%1)").arg(index)), Qt::LeftButton);
        QCOMPARE(m_dialogs->fileRequests.size(), 1);
        QCOMPARE(m_dialogs->fileRequests[0], (QStringList{modGeneral::LoadTransString(index == 0 ? 30104 : 30105),
                                                          "/start/here", modGeneral::LoadTransString(30111)}));
        QCOMPARE(fileName(index), shown.isEmpty() ? QString() : m_home->file(shown));
        QCOMPARE(m_dialogs->exclamations,
                 message ? QStringList{modGeneral::TransMessage(message, {m_home->file(chosen), detail})}
                         : QStringList());
        // The target holds no sequence, so a target chosen as source leaves only the first entries.
        if (index == 0) {
            QCOMPARE(items(child<QComboBox>(QStringLiteral("cboLevel"))), QStringList{"(All)|0"});
        }
    }

    // The dates are rewritten in their boxes and both ends are included; entry 0 of either list
    // takes any value, a state entry whose value is 0 takes state 0.
    void executeMoves_data() {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("levelIndex");
        QTest::addColumn<int>("stateIndex");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("moved");
        const auto row = [](const char* name, const char* begin, const char* end, int level, int state,
                            const QStringList& boxes, const QStringList& moved) {
            QTest::newRow(name) << QString(begin) << QString(end) << level << state << boxes << moved;
        };
        row("to 2002-1-10", "", "2002-1-10", 0, 0, {"", "2002/01/10"}, {"A", "B", "C"});
        row("Plus, Not called, from 1/4", "2002/1/4", "", 1, 1, {"2002/01/04", ""}, {"A"});
    }
    void executeMoves() {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(int, levelIndex);
        QFETCH(int, stateIndex);
        QFETCH(QStringList, moved);
        m_form->Form_Load(m_source, m_home->path());
        m_dialogs->fileToChoose = m_target;
        m_form->cmdBrowse_Click(1);
        auto *beginBox = child<QLineEdit>(QStringLiteral("txtBeginDate")), *endBox = child<QLineEdit>("txtEndDate");
        beginBox->setText(begin);
        endBox->setText(end);
        child<QComboBox>(QStringLiteral("cboLevel"))->setCurrentIndex(levelIndex);
        child<QComboBox>(QStringLiteral("cboProperty"))->setCurrentIndex(stateIndex);
        QSignalSpy exported(m_form.get(), &frmExport::exported);
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdExecute")), Qt::LeftButton);
        QTEST((QStringList{beginBox->text(), endBox->text()}), "boxes");
        QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransCount(40221, 40225, moved.size(), {m_target})});
        Database db(m_target);
        QCOMPARE(ExportSamples::titles(db), moved);
        QCOMPARE(exported.value(0).value(0).toLongLong(), qint64(moved.size()));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(TestFrmExport)
#include "TestFrmExport.moc"
