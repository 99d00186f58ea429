#include "ExportCommand.h"
#include "ExportSamples.h"
#include "StateIcons.h"
#include "StoppingProgress.h"
#include "WindowFixture.h"
#include "frmExport.h"
#include "modGeneral.h"

// File > Export in the real window: the open library is closed while the dialog is shown and
// reopened afterwards, without the sequences that left it.
class TestExportCommand : public WindowFixture {
    Q_OBJECT

    // Runs File > Export with inside standing in for the user at the dialog.
    void throughDialog(const std::function<void(frmExport&)>& inside) {
        m_window->exportCommand().setRunner(inside);
        m_window->menus().fileExport->trigger();
    }
    static void click(frmExport& dialog, const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

private Q_SLOTS:
    void movesOutOfTheOpenLibrary() {
        QVERIFY(start({"generated Plus", "generated A1"}, {}, {{"FuncKey", "F3"}}));
        const QString target = createLibrary(QStringLiteral("Target.mdb"), {});
        QVERIFY(m_window->menus().fileExport->isEnabled());
        QSignalSpy exported(&m_window->exportCommand(), &ExportCommand::exported);
        m_dialogs->fileToOpen = target;
        bool shown = false;
        throughDialog([&](frmExport& dialog) {
            shown = true;
            QVERIFY(!m_window->session().isOpen());
            QCOMPARE(dialog.fileName(0), m_library);
            dialog.cmdBrowse_Click(1);
            QCOMPARE(dialog.fileName(1), target);
            // The state filter shows each state with the icon of the list.
            auto* states = dialog.findChild<QComboBox*>(QStringLiteral("cboProperty"));
            QVERIFY(states->count() > 1);
            for (int i = 1; i < states->count(); ++i) {
                QCOMPARE(states->itemIcon(i).cacheKey(), StateIcons::icon(states->itemData(i).toInt()).cacheKey());
            }
            auto* level = dialog.findChild<QComboBox*>(QStringLiteral("cboLevel"));
            level->setCurrentIndex(level->findText(QStringLiteral("A1")));
            click(dialog, "cmdExecute");
        });
        QVERIFY(shown);
        QCOMPARE(m_dialogs->questions, QStringList{modGeneral::TransMessage(40221, {3, target})});
        QCOMPARE(m_dialogs->informations, QStringList{modGeneral::TransMessage(40223)});
        QCOMPARE(exported.size(), 1);

        // The library is back, through the same switch key, without the A1 sequences.
        QVERIFY(m_window->session().isOpen());
        QVERIFY(m_window->windowTitle().contains(QLatin1String("Dance.mdb [F3]")));
        QCOMPARE(sql(QStringLiteral("SELECT Level, count(*) FROM tblSequence GROUP BY Level")), QStringList{"Plus|3"});
        QVERIFY(!m_window->menus().viewLevels[2]->isVisible());
        QCOMPARE(seqCount(), 3);
        Database db(target);
        QCOMPARE(ExportSamples::rows(db, QStringLiteral("SELECT s.Level, s.OrderNo, (SELECT count(*) FROM tblCall c "
                                                        "WHERE c.Sequence = s.Sequence), (SELECT count(*) FROM "
                                                        "tblHistory h WHERE h.Sequence = s.Sequence) FROM tblSequence "
                                                        "s ORDER BY s.OrderNo")),
                 (QStringList{"A1|1|3|1", "A1|2|3|1", "A1|3|3|1"}));
    }

    // A move that fails part-way leaves both files as they were when the dialog was shown (after
    // the close wrote the library's settings), byte for byte.
    void failureLeavesBothFiles() {
        QVERIFY(start({"generated Plus"}));
        const QString target = createLibrary(QStringLiteral("Target.mdb"), {}, [](Database& db) {
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblSequence WHEN (SELECT count(*) FROM "
                                   "tblSequence) = 2 BEGIN SELECT RAISE(ABORT, 'the third is refused'); END"));
        });
        m_dialogs->fileToOpen = target;
        QStringList reports;
        bool same = false;
        throughDialog([&](frmExport& dialog) {
            dialog.cmdBrowse_Click(1);
            const QByteArray source = ExportSamples::bytes(m_library);
            const QByteArray targetBytes = ExportSamples::bytes(target);
            click(dialog, "cmdExecute");
            same = ExportSamples::bytes(m_library) == source && ExportSamples::bytes(target) == targetBytes;
            reports = m_errors->prompts;
            m_errors->prompts.clear();
        });
        QVERIFY(same);
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains(QLatin1String("modExport.ExportCall")) &&
                     reports[0].contains(QLatin1String("After BeginTrans")),
                 qPrintable(reports[0]));
        QVERIFY(m_dialogs->informations.isEmpty());
        QVERIFY(m_window->session().isOpen());
        QCOMPARE(seqCount(), 3);
    }

    // Stopped on its progress, the move leaves both files as they were when it began, byte for
    // byte, and the library comes back whole.
    void stoppedMoveLeavesBothFiles() {
        QVERIFY(start({"generated Plus", "generated A1"}));
        const QString target = createLibrary(QStringLiteral("Target.mdb"), {"generated C1"});
        m_dialogs->fileToOpen = target;
        StoppingProgress progress(2);
        m_dialogs->makeProgress = [&progress] { return std::make_unique<ProgressHandle>(progress); };
        bool same = false;
        throughDialog([&](frmExport& dialog) {
            dialog.cmdBrowse_Click(1);
            const QByteArray source = ExportSamples::bytes(m_library);
            const QByteArray targetBytes = ExportSamples::bytes(target);
            click(dialog, "cmdExecute");
            same = ExportSamples::bytes(m_library) == source && ExportSamples::bytes(target) == targetBytes;
        });
        QVERIFY(same);
        QVERIFY(progress.cancelled());
        QCOMPARE(m_dialogs->progresses, 1);
        QCOMPARE(m_dialogs->informations, QStringList{modGeneral::TransMessage(40224)});
        QVERIFY(m_window->session().isOpen());
        QCOMPARE(sql(QStringLiteral("SELECT Level, count(*) FROM tblSequence GROUP BY Level ORDER BY Level")),
                 (QStringList{"A1|3", "Plus|3"}));
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tblCall")), 18);
    }

    // The real modal dialog; with no library open it starts without a source and nothing is
    // opened when it closes.
    void withoutLibrary() {
        QVERIFY(start({"generated Plus"}));
        m_window->menus().fileClose->trigger();
        QString source = QStringLiteral("unset");
        QTimer::singleShot(0, this, [&source] {
            if (auto* dialog = qobject_cast<frmExport*>(QApplication::activeModalWidget())) {
                source = dialog->fileName(0);
                click(*dialog, "cmdClose");
            }
        });
        m_window->menus().fileExport->trigger();
        QCOMPARE(source, QString());
        QVERIFY(!m_window->session().isOpen());
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }
};

QTEST_MAIN(TestExportCommand)
#include "TestExportCommand.moc"
