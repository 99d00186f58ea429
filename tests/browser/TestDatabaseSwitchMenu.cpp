#include "DatabaseSwitchMenu.h"
#include "WindowFixture.h"
#include "modGeneral.h"

// The Database menu of the real window: captions and keys from the switch paths, and the keys and
// items opening their libraries.
class TestDatabaseSwitchMenu : public WindowFixture {
    Q_OBJECT

    QAction* item(int slot) const { return m_window->menus().switchFuncs[slot]; }
    QAction* hint() const { return m_window->findChild<QAction*>(QStringLiteral("mnuDBSwitchNone")); }
    void setSlot(int slot, const QString& path) const {
        modSystem::WriteIniValue(QStringLiteral("Setting"), QStringLiteral("FuncFile%1").arg(slot + 1), path,
                                 iniPath());
    }
    QString openLibrary() const { return settings().MdbPath + QLatin1Char('/') + settings().MdbFile; }

private Q_SLOTS:
    void labels_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("F1") << 0 << "F1" << QKeySequence(Qt::Key_F1);
        QTest::newRow("F9") << 8 << "F9" << QKeySequence(Qt::Key_F9);
        QTest::newRow("Shift+F1") << 9 << "Shift+F1" << QKeySequence(Qt::SHIFT | Qt::Key_F1);
        QTest::newRow("Shift+F9") << 17 << "Shift+F9" << QKeySequence(Qt::SHIFT | Qt::Key_F9);
        QTest::newRow("Ctrl+F1") << 18 << "Ctrl+F1" << QKeySequence(Qt::CTRL | Qt::Key_F1);
        QTest::newRow("Ctrl+F9") << 26 << "Ctrl+F9" << QKeySequence(Qt::CTRL | Qt::Key_F9);
    }
    void labels() {
        QFETCH(int, slot);
        QTEST(DatabaseSwitchMenu::label(slot), "label");
        QTEST(DatabaseSwitchMenu::shortcut(slot), "keys");
    }

    // File name first, the folder after it; "&" stays itself; a long folder is shortened in its
    // middle. Slots read from the INI file before any library opens; empty ones are hidden, and
    // with every slot empty the menu shows only its disabled hint.
    void captions() {
        const QString longFolder = QStringLiteral("/music/") + QString(80, QLatin1Char('x')) + QStringLiteral("/end");
        setSlot(1, QStringLiteral("/libs/Other.mdb"));
        setSlot(11, QStringLiteral("/libs/Rock & Roll.mdb"));
        setSlot(20, longFolder + QStringLiteral("/Deep.mdb"));
        QVERIFY(start({"linux.Plus"}));
        for (int slot = 0; slot < MainMenus::SwitchItems; ++slot) {
            QCOMPARE(item(slot)->shortcut(), DatabaseSwitchMenu::shortcut(slot));
            QCOMPARE(item(slot)->isVisible(), slot == 1 || slot == 11 || slot == 20);
        }
        QCOMPARE(item(1)->text(), QStringLiteral("Other.mdb  (/libs)"));
        QCOMPARE(item(11)->text(), QStringLiteral("Rock && Roll.mdb  (/libs)"));
        const QString deep = item(20)->text();
        QVERIFY2(deep.startsWith(QStringLiteral("Deep.mdb  (/music/xxx")) && deep.endsWith(QStringLiteral("x/end)")) &&
                     deep.contains(QStringLiteral("…")) && deep.size() < longFolder.size(),
                 qPrintable(deep));
        QVERIFY(!hint()->isVisible());
    }
    void allEmptyShowsHint() {
        QVERIFY(start({"linux.Plus"}));
        QVERIFY(hint()->isVisible() && !hint()->isEnabled());
        QCOMPARE(hint()->text(), modGeneral::LoadTransString(10121));
    }

    // Keys and menu items open the slot's library, the caption showing the key; an empty slot's
    // key does nothing; a slot whose file is gone says so and keeps the library; the keys work
    // with no library open, but not while a cell editor is open.
    void keysOpenLibraries_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("how");  // a key, "menu", "no library" or "editing"
        QTest::addColumn<QString>("file"); // in the slot: the other library, "gone", or none
        QTest::addColumn<QString>("label");
        QTest::newRow("F1") << 0 << "F1"
                            << "Other.mdb"
                            << "F1";
        QTest::newRow("Shift+F3") << 11 << "Shift+F3"
                                  << "Other.mdb"
                                  << "Shift+F3";
        QTest::newRow("Ctrl+F9") << 26 << "Ctrl+F9"
                                 << "Other.mdb"
                                 << "Ctrl+F9";
        QTest::newRow("menu item") << 4 << "menu"
                                   << "Other.mdb"
                                   << "F5";
        QTest::newRow("no library open") << 9 << "no library"
                                         << "Other.mdb"
                                         << "Shift+F1";
        QTest::newRow("empty slot") << 11 << "Shift+F3"
                                    << ""
                                    << "";
        QTest::newRow("file gone") << 11 << "Shift+F3"
                                   << "gone"
                                   << "";
        QTest::newRow("not while editing") << 0 << "editing"
                                           << "Other.mdb"
                                           << "F1";
    }
    void keysOpenLibraries() {
        QFETCH(int, slot);
        QFETCH(QString, how);
        QFETCH(QString, file);
        QFETCH(QString, label);
        const QString other = file == QLatin1String("Other.mdb") ? createLibrary(file, {"linux.C1"})
                                                                 : m_home->file(QStringLiteral("lib/gone.mdb"));
        setSlot(0, QStringLiteral("/libs/F1 only.mdb"));
        setSlot(slot, file.isEmpty() ? QString() : other);
        QVERIFY(start({"linux.Plus"}));
        const QString title = m_window->windowTitle();
        GridView* calls = m_window->callList().grid();
        QVERIFY(focus(calls));
        if (how == QLatin1String("no library")) {
            m_window->menus().fileClose->trigger();
            QVERIFY(item(slot)->isVisible());
        } else if (how == QLatin1String("editing")) {
            QTest::keyClick(calls, Qt::Key_Return);
            QTRY_VERIFY(calls->isEditing());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            QCoreApplication::processEvents();
            QCOMPARE(openLibrary(), m_library);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY(!calls->isEditing());
        }
        if (how == QLatin1String("menu")) {
            item(slot)->trigger();
        } else {
            const QKeyCombination key = QKeySequence(label.isEmpty() ? how : label)[0];
            QTest::keyClick(m_window->windowHandle(), key.key(), key.keyboardModifiers());
        }
        if (label.isEmpty()) {
            QTRY_COMPARE(m_dialogs->exclamations,
                         file.isEmpty() ? QStringList() : QStringList{modGeneral::TransMessage(40101, {other})});
            QCOMPARE(openLibrary() + m_window->windowTitle(), m_library + title);
            return;
        }
        QTRY_COMPARE(openLibrary(), other);
        QCOMPARE(settings().FuncKey, label);
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("【C1】 Other.mdb [%1] (%2) - VornReader").arg(label, QFileInfo(other).absolutePath()));
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }
};

QTEST_MAIN(TestDatabaseSwitchMenu)
#include "TestDatabaseSwitchMenu.moc"
