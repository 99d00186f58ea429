#include "AppHome.h"
#include "AsNobody.h"
#include "CallEditing.h"
#include "ReadCommands.h"
#include "SearchCommands.h"
#include "WindowFixture.h"
#include "frmSearchWord.h"

#include <QClipboard>

// A library that cannot be written (the file, or the folder it lies in) is shown, searched and
// printed, but no editor opens on it and no change starts from anywhere: its bytes stay as they
// were and no failed write is ever reported.
class TestReadOnlyLibrary : public WindowFixture {
    Q_OBJECT

    // Puts the permissions back however the test ends, so that its home can be removed.
    struct Writable {
        QString path;
        ~Writable() { QFile::setPermissions(path, QFile::Permissions(0x7755)); }
    };

    // Enter on a cell, a new text and Enter, as a user edits in place.
    static void editCell(GridView* grid, const QModelIndex& cell) {
        grid->setFocus();
        grid->setCurrentIndex(cell);
        QTest::keyClick(grid, Qt::Key_Return);
        if (auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, QStringLiteral("changed"));
            QTest::keyClick(editor, Qt::Key_Return);
        }
    }
    static void click(QWidget* parent, const char* name) {
        auto* button = parent->findChild<QPushButton*>(QLatin1String(name));
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void attempt(const QString& path) {
        CallList& calls = m_window->callList();
        SequenceListModel* list = m_window->sequenceList().model();
        if (path == QLatin1String("title")) {
            editCell(m_window->sequenceList().view(), list->index(0, SequenceListModel::TitleColumn));
        } else if (path == QLatin1String("call text")) {
            editCell(calls.grid(), calls.grid()->model()->index(1, 1));
        } else if (path == QLatin1String("hexagon offsets")) {
            calls.setCurrentRow(1);
            auto* hex = m_window->findChild<GridView*>(QStringLiteral("grdHexInfo(1)"));
            editCell(hex, hex->model()->index(0, 0));
        } else if (path == QLatin1String("history cell")) {
            editCell(calls.historyGrid(), calls.historyModel()->index(0, 1));
        } else if (path == QLatin1String("replace") || path == QLatin1String("replace all")) {
            m_window->menus().editReplace->trigger();
            m_window->menus().editSearch->trigger();
            frmSearchWord* dialog = m_window->searchCommands().dialog();
            click(dialog, "cmdReplaceMode");
            dialog->findChild<QLineEdit*>(QStringLiteral("txtSearchWord"))->setText(QStringLiteral("swing"));
            dialog->findChild<QLineEdit*>(QStringLiteral("txtReplaceWord"))->setText(QStringLiteral("spin"));
            dialog->setReplaceMode(true);
            for (int press = 0; press < 3; ++press) {
                click(dialog, path == QLatin1String("replace") ? "cmdReplace" : "cmdReplaceAll");
            }
        } else if (path == QLatin1String("drag reordering")) {
            std::unique_ptr<QMimeData> own(list->mimeData({list->index(0, 0)}));
            list->dropMimeData(own.get(), Qt::MoveAction, 3, 0, {});
        } else if (path == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(Fixtures::generatorText(1, 2, QStringLiteral("Plus"), 500));
            QTest::keyClick(m_window->windowHandle(), Qt::Key_V, Qt::ControlModifier);
            m_window->readCommands().pasteSequences();
        } else if (path == QLatin1String("dropped files")) {
            const QString file = m_home->file(QStringLiteral("more.Plus"));
            Fixtures::writeFile(file, Fixtures::generatorText(2, 2, QStringLiteral("Plus"), 100).toUtf8());
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QWidget* viewport = m_window->sequenceList().view()->viewport();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &drop);
        } else if (path == QLatin1String("formation editor")) {
            calls.setCurrentRow(1);
            m_window->menus().callEditFormation->trigger();
            m_window->callEditing().editCurrentFormation();
        } else if (path == QLatin1String("state key")) {
            selectRows(0, 2);
            QTest::keyClick(m_window->windowHandle(), Qt::Key_3);
        } else {
            QFAIL(qPrintable(path));
        }
    }

private Q_SLOTS:
    void noChangeStarts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("folder");
        for (const char* path : {"title", "call text", "hexagon offsets", "history cell", "replace", "replace all",
                                 "drag reordering", "paste", "dropped files", "formation editor", "state key"}) {
            QTest::addRow("%s, read-only file", path) << QString::fromLatin1(path) << false;
            QTest::addRow("%s, read-only folder", path) << QString::fromLatin1(path) << true;
        }
    }
    void noChangeStarts() {
        QFETCH(QString, path);
        QFETCH(bool, folder);
        // Whatever is asked is answered yes: only the library's state may stop the change.
        m_dialogs->formationAnswer = FormationText{QStringLiteral(" 1B^"), QStringLiteral("note"), QStringLiteral("1")};
        const Writable restore{m_home->file(QStringLiteral("lib"))};
        QVERIFY(start({"generated Plus"},
                      [&](Database&) {
                          QVERIFY(QFile::setPermissions(folder ? restore.path : m_home->file("lib/Dance.mdb"),
                                                        QFile::ReadOwner | QFile::ExeOwner));
                      },
                      {{"HexMode", "True"}}));
        QVERIFY(m_window->session().isReadOnly());
        const QByteArray before = Fixtures::readFile(m_library);
        const QString log = AppHome::resolve(QString::fromUtf16(modSystem::ErrorLogName));

        attempt(path);
        QTest::qWait(50);

        QVERIFY(Fixtures::readFile(m_library) == before);
        QVERIFY2(!QFileInfo::exists(log), qPrintable(QString::fromUtf8(Fixtures::readFile(log))));
        QVERIFY(m_errors->prompts.isEmpty());
        // What is shown is what is stored.
        QCOMPARE(m_window->sequenceList().model()->index(0, 0).data().toString(),
                 sql(QStringLiteral("SELECT Title FROM tblSequence WHERE Sequence = ?"), {keyAt(0)}).value(0));
        QCOMPARE(m_window->callList().callText(1),
                 sql(QStringLiteral("SELECT Call FROM tblCall WHERE Sequence = ? AND Number = 2"),
                     {m_window->state().currentSequence})
                     .value(0));
        QCOMPARE(m_window->callList().historyModel()->index(0, 1).data().toString(), QStringLiteral("Club 0"));
        QVERIFY(m_dialogs->questions.isEmpty());
    }
};

int main(int argc, char** argv) {
    restartAsNobody(argv);
    QApplication app(argc, argv);
    TestReadOnlyLibrary test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestReadOnlyLibrary.moc"
