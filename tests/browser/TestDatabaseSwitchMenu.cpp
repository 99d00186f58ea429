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
        QTest::newRow("Shift+F3") << 11 << "Shift+F3" << QKeySequence(Qt::SHIFT | Qt::Key_F3);
        QTest::newRow("Ctrl+F1") << 18 << "Ctrl+F1" << QKeySequence(Qt::CTRL | Qt::Key_F1);
        QTest::newRow("Ctrl+F9") << 26 << "Ctrl+F9" << QKeySequence(Qt::CTRL | Qt::Key_F9);
    }
    void labels() {
        QFETCH(int, slot);
        QTEST(DatabaseSwitchMenu::label(slot), "label");
        QTEST(DatabaseSwitchMenu::shortcut(slot), "keys");
    }

    // File name first, the folder after it; "&" stays itself; a long folder is shortened in its
    // middle. Slots read from the INI file before any library opens; empty ones are hidden.
    void captions() {
        const QString longFolder = QStringLiteral("/music/") + QString(80, QLatin1Char('x')) + QStringLiteral("/end");
        setSlot(1, QStringLiteral("/libs/Other.mdb"));
        setSlot(11, QStringLiteral("/libs/Rock & Roll.mdb"));
        setSlot(20, longFolder + QStringLiteral("/Deep.mdb"));
        QVERIFY(start({"linux.Plus"}));
        for (int slot = 0; slot < MainMenus::SwitchItems; ++slot) {
            QCOMPARE(item(slot)->shortcut(), DatabaseSwitchMenu::shortcut(slot));
        }
        QCOMPARE(item(1)->text(), QStringLiteral("Other.mdb  (/libs)"));
        QCOMPARE(item(11)->text(), QStringLiteral("Rock && Roll.mdb  (/libs)"));
        const QString deep = item(20)->text();
        QVERIFY2(deep.startsWith(QStringLiteral("Deep.mdb  (/music/xxx")) && deep.endsWith(QStringLiteral("x/end)")) &&
                     deep.contains(QStringLiteral("…")) && deep.size() < longFolder.size(),
                 qPrintable(deep));
        for (int slot = 0; slot < MainMenus::SwitchItems; ++slot) {
            QCOMPARE(item(slot)->isVisible(), slot == 1 || slot == 11 || slot == 20);
        }
        QVERIFY(!hint()->isVisible());
    }

    // With every slot empty the menu shows only its disabled hint.
    void allEmptyShowsHint() {
        QVERIFY(start({"linux.Plus"}));
        QVERIFY(hint()->isVisible());
        QVERIFY(!hint()->isEnabled());
        QCOMPARE(hint()->text(), modGeneral::LoadTransString(10121));
        for (QAction* slot : m_window->menus().switchFuncs) {
            QVERIFY(!slot->isVisible());
        }
    }

    // Keys and menu items open the slot's library; the caption shows the key.
    void keysOpenLibraries_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("label");
        QTest::newRow("F1") << 0 << int(Qt::Key_F1) << int(Qt::NoModifier) << "F1";
        QTest::newRow("Shift+F3") << 11 << int(Qt::Key_F3) << int(Qt::ShiftModifier) << "Shift+F3";
        QTest::newRow("Ctrl+F9") << 26 << int(Qt::Key_F9) << int(Qt::ControlModifier) << "Ctrl+F9";
        QTest::newRow("menu item") << 4 << 0 << 0 << "F5";
    }
    void keysOpenLibraries() {
        QFETCH(int, slot);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, label);
        const QString other = createLibrary(QStringLiteral("Other.mdb"), {"linux.C1"});
        setSlot(slot, other);
        QVERIFY(start({"linux.Plus"}));
        QVERIFY(focus(m_window->callList().grid()));
        if (key != 0) {
            QTest::keyClick(m_window->callList().grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            item(slot)->trigger();
        }
        QTRY_COMPARE(openLibrary(), other);
        QCOMPARE(settings().FuncKey, label);
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("【C1】 Other.mdb [%1] (%2) - VornReader").arg(label, QFileInfo(other).absolutePath()));
        QVERIFY(m_dialogs->exclamations.isEmpty());
    }

    // An empty slot's key does nothing; a slot whose file is gone says so and keeps the library.
    void emptyOrMissingSlot_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty slot") << "";
        QTest::newRow("file gone") << "gone.mdb";
    }
    void emptyOrMissingSlot() {
        QFETCH(QString, path);
        const QString gone = m_home->file(QStringLiteral("lib/") + path);
        setSlot(0, QStringLiteral("/libs/F1 only.mdb"));
        if (!path.isEmpty()) {
            setSlot(11, gone);
        }
        QVERIFY(start({"linux.Plus"}));
        const QString title = m_window->windowTitle();
        QVERIFY(focus(m_window->sequenceList().view()));
        QTest::keyClick(m_window->sequenceList().view(), Qt::Key_F3, Qt::ShiftModifier);
        const QStringList expected =
            path.isEmpty() ? QStringList() : QStringList{modGeneral::TransMessage(40101, {gone})};
        QTRY_COMPARE(m_dialogs->exclamations, expected);
        QCOMPARE(openLibrary(), m_library);
        QVERIFY(m_window->session().isOpen());
        QCOMPARE(m_window->windowTitle(), title);
        // The refused key is not taken for the open library's.
        QCOMPARE(settings().FuncKey, QString());
    }

    // The slots are read at start-up, so their keys open a library while none is open.
    void slotsWithoutLibrary() {
        const QString other = createLibrary(QStringLiteral("Other.mdb"), {"linux.C1"});
        setSlot(9, other);
        modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("MdbFile"), QString(), iniPath());
        m_window = std::make_unique<frmVornReader>(QString(), m_dialogs.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(!m_window->session().isOpen());
        QVERIFY(item(9)->isVisible());
        QTest::keyClick(m_window.get(), Qt::Key_F1, Qt::ShiftModifier);
        QTRY_VERIFY(m_window->session().isOpen());
        QCOMPARE(openLibrary() + ' ' + settings().FuncKey, other + QStringLiteral(" Shift+F1"));
    }

    // While a cell editor is open the keys do not act; after it closes they do.
    void notWhileEditing() {
        const QString other = createLibrary(QStringLiteral("Other.mdb"), {"linux.C1"});
        setSlot(0, other);
        QVERIFY(start({"linux.Plus"}));
        GridView* calls = m_window->callList().grid();
        QVERIFY(focus(calls));
        QTest::keyClick(calls, Qt::Key_Return);
        QTRY_VERIFY(calls->isEditing());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCoreApplication::processEvents();
        QCOMPARE(openLibrary(), m_library);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!calls->isEditing());
        QTest::keyClick(calls, Qt::Key_F1);
        QTRY_COMPARE(openLibrary(), other);
    }
};

QTEST_MAIN(TestDatabaseSwitchMenu)
#include "TestDatabaseSwitchMenu.moc"
