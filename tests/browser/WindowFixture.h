#pragma once

#include "CallList.h"
#include "Database.h"
#include "FakeDialogs.h"
#include "FakeSeqTextHost.h"
#include "Fixtures.h"
#include "GridView.h"
#include "HomeSeeder.h"
#include "LibraryCommands.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "RecordingErrorBox.h"
#include "SequenceImport.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "TestHome.h"
#include "frmVornReader.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

// Base of the main-window tests: each test gets a fresh application home with its shipped files,
// default settings and the fake dialogs; afterwards the window closes and no error may have been
// reported.
class WindowFixture : public QObject {
    Q_OBJECT

protected:
    // A library in the home's "lib" folder read from the sources: files of tests/data, or
    // "generated <level>" (three sequences of three calls, a figure after call 2 only); prepare
    // then runs on it.
    QString createLibrary(const QString& name, const QStringList& sources,
                          const std::function<void(Database&)>& prepare = {}) const {
        QDir().mkpath(m_home->file(QStringLiteral("lib")));
        const QString path = m_home->file(QStringLiteral("lib/") + name);
        modDataBase::CreateLibrary(path);
        Database db(path);
        FakeSeqTextHost host;
        for (const QString& source : sources) {
            const bool generated = source.startsWith(QLatin1String("generated "));
            host.clipboard = generated ? Fixtures::generatorText(3, 3, source.mid(10)) : QString();
            modSeqText::ReadSequenceText(db, generated ? QString() : Fixtures::dataFile(source), generated, -1, host);
        }
        if (prepare) {
            prepare(db);
        }
        return path;
    }

    // Library "Dance.mdb" named in the INI file with the extra keys; the window opens on it.
    bool start(const QStringList& sources, const std::function<void(Database&)>& prepare = {},
               const QList<QStringList>& iniKeys = {}) {
        m_library = createLibrary(QStringLiteral("Dance.mdb"), sources, prepare);
        const QList<QStringList> keys{{QStringLiteral("MdbPath"), QFileInfo(m_library).absolutePath()},
                                      {QStringLiteral("MdbFile"), QStringLiteral("Dance.mdb")},
                                      {QStringLiteral("Language"), QStringLiteral("English")}};
        for (const QStringList& key : keys + iniKeys) {
            modSystem::WriteIniValue(QStringLiteral("VornReader"), key[0], key[1], iniPath());
        }
        m_window = std::make_unique<frmVornReader>(QString(), m_realDialogs ? nullptr : m_dialogs.get());
        m_window->show();
        return QTest::qWaitForWindowActive(m_window.get()) &&
               QTest::qWaitFor([this] { return m_window->session().isOpen(); });
    }

    QString iniPath() const { return m_home->file(QStringLiteral("VornReader.ini")); }

    // The rows of a statement with bound values, each as its columns joined by "|".
    QStringList sql(const QString& statement, const QVariantList& values = {}) const {
        Statement query = m_window->session().database().prepare(statement);
        for (qsizetype i = 0; i < values.size(); ++i) {
            query.bind(int(i + 1), values[i]);
        }
        QStringList rows;
        while (query.step()) {
            QStringList columns;
            for (int column = 0; column < query.columnCount(); ++column) {
                columns.append(query.value(column).toString());
            }
            rows.append(columns.join(QLatin1Char('|')));
        }
        return rows;
    }

    int seqCount() const { return m_window->sequenceList().rowCount(); }
    qint64 keyAt(int row) const { return m_window->sequenceList().model()->sequenceAt(row); }
    QList<qint64> listedKeys() const {
        QList<qint64> keys;
        for (int r = 0; r < seqCount(); ++r) {
            keys.append(keyAt(r));
        }
        return keys;
    }
    // The stored calls of a sequence as "<number>. <call>", and the call grid's rows as they show.
    QStringList storedCalls(qint64 sequence) const {
        return sql(
            QStringLiteral("SELECT Number || '. ' || ifnull(Call, '') FROM tblCall WHERE Sequence = ? ORDER BY Number"),
            {sequence});
    }
    QStringList shownCalls() const {
        QStringList calls;
        const QAbstractItemModel* model = m_window->callList().grid()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            calls.append(model->index(r, 0).data().toString() + model->index(r, 1).data().toString());
        }
        return calls;
    }
    // Selects the list rows first..last, first current; their keys.
    QList<qint64> selectRows(int first, int last) {
        SequenceListModel* model = m_window->sequenceList().model();
        m_window->sequenceList().setCurrentRow(first);
        m_window->sequenceList().view()->selectionModel()->select(
            QItemSelection(model->index(first, 0), model->index(last, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return m_window->sequenceList().selectedSequences();
    }
    static bool focus(QWidget* widget) {
        widget->setFocus();
        return QTest::qWaitFor([widget] { return widget->hasFocus(); });
    }
    // Files dropped on the receiver as a drag drops them: the widget that accepts the entering drag
    // receives the drop. Whether it accepted.
    static bool drop(QWidget* receiver, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
        return enter.isAccepted();
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<frmVornReader> m_window;
    QString m_library;
    // The window shows its real dialogs instead of asking the fake ones.
    bool m_realDialogs = false;

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        settings() = Settings();
        m_errors = std::make_unique<RecordingErrorBox>();
        m_dialogs = std::make_unique<FakeDialogs>();
        m_library.clear();
        m_realDialogs = false;
    }
    void cleanup() {
        m_window.reset();
        const QStringList errors = m_errors->prompts;
        m_errors.reset();
        m_dialogs.reset();
        settings() = Settings();
        m_home.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }
};
