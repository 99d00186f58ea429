#include "ColourSwatch.h"
#include "HomeSeeder.h"
#include "ISettingChoosers.h"
#include "KeyCodeConvert.h"
#include "KeysPage.h"
#include "RecordingErrorBox.h"
#include "SettingChoosers.h"
#include "SettingKeys.h"
#include "Settings.h"
#include "TestHome.h"
#include "frmSetting.h"
#include "modGeneral.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

namespace {

// The choosers without windows: each answers with its scripted choice and records what it was
// given.
class FakeChoosers final : public ISettingChoosers {
public:
    std::optional<FontSetting> chooseFont(const FontSetting& start) override {
        fontStarts.append(start.name);
        return font;
    }
    std::optional<QColor> chooseColor(const QColor& start) override {
        colourStarts.append(start);
        return colour;
    }
    std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) override {
        fileRequests.append({title, folder, filter});
        return file;
    }
    void exclamation(const QString& text) override { exclamations.append(text); }

    std::optional<FontSetting> font;
    std::optional<QColor> colour;
    std::optional<QString> file;
    QStringList fontStarts;
    QList<QColor> colourStarts;
    QList<QStringList> fileRequests;
    QStringList exclamations;
};

// Every value the dialog edits, as text.
QStringList snapshot(const Settings& s) {
    QStringList values;
    for (const auto& [key, text] : SettingKeys::displayTexts(s)) {
        values.append(key + QLatin1Char('=') + text);
    }
    for (int i = 0; i < FuncFileCount; ++i) {
        values.append(QStringLiteral("FuncFile%1=").arg(i + 1) + s.FuncFile[i]);
    }
    for (const KeyAssignment& key : s.keyTable) {
        QStringList codes;
        for (qint16 code : key.Codes) {
            codes.append(QString::number(code));
        }
        values.append(QStringLiteral("Count %1 Codes ").arg(key.Count) + codes.join(QLatin1Char(',')));
    }
    values << QStringLiteral("SettingSwitch=%1").arg(s.SettingSwitch)
           << QStringLiteral("SeqDateSave=%1").arg(s.SeqDateSave) << QStringLiteral("CallDate=") + s.CallDate;
    return values;
}

} // namespace

// The options dialog without a window around it: filled from settings, edited through its
// controls and the fake choosers, closed by OK or by the three ways of cancelling.
class TestFrmSetting : public QObject {
    Q_OBJECT

    template <typename T> T* control(const QString& name) const {
        T* found = m_dialog->findChild<T*>(name);
        if (!found) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }
    QLineEdit* text(const QString& name) const { return control<QLineEdit>(name); }
    QString label(const QString& name) const { return control<QLabel>(name)->text(); }
    QComboBox* keyList(int i) const { return control<QComboBox>(QStringLiteral("cboCustomKey(%1)").arg(i)); }
    void click(const QString& name) const { control<QAbstractButton>(name)->click(); }

    // Runs the dialog modally on settings; inside runs while it is shown and must close it.
    bool runEdit(Settings& settings, const std::function<void()>& inside) {
        QTimer::singleShot(0, m_dialog.get(), [this, inside] {
            inside();
            if (m_dialog->isVisible()) {
                m_dialog->reject();
                QFAIL("the dialog stayed open");
            }
        });
        return m_dialog->edit(settings);
    }

    // Changes every kind of value the dialog holds.
    void changeEverything() {
        click(QStringLiteral("optSettingSwitch(0)"));
        text(QStringLiteral("txtFuncFile(11)"))->setText(QStringLiteral("/lib/shift f3.mdb"));
        m_choosers->file = QStringLiteral("/lib/chosen.mdb");
        click(QStringLiteral("cmdFileBrowse(0)"));
        keyList(4)->setCurrentText(QStringLiteral("{F5}"));
        keyList(0)->setCurrentText(QStringLiteral("A"));
        click(QStringLiteral("optSequenceSort(2)"));
        text(QStringLiteral("txtCallDate"))->setText(QStringLiteral("2024-5-7"));
        text(QStringLiteral("txtPartyName"))->setText(QStringLiteral("Friday club"));
        text(QStringLiteral("txtAuthor"))->setText(QStringLiteral("Ann"));
        click(QStringLiteral("chkNotePrint"));
        click(QStringLiteral("chkFormationPrint"));
        click(QStringLiteral("chkSeqDateSave"));
        text(QStringLiteral("txtTipTimer"))->setText(QStringLiteral("45"));
        click(QStringLiteral("optTimerSwitch(1)"));
        click(QStringLiteral("optPartFormat(1)"));
        text(QStringLiteral("txtCallRowMargin"))->setText(QStringLiteral("8"));
        m_choosers->font = FontSetting{10.5, QStringLiteral("Courier"), false, true};
        for (int i = 0; i < 3; ++i) {
            click(QStringLiteral("cmdFontChange(%1)").arg(i));
        }
        m_choosers->colour = QColor(0x12, 0x34, 0x56);
        for (const char* kind : {"cmdForeColor", "cmdBackColor", "cmdForeColorSel", "cmdBackColorSel"}) {
            for (int i = 0; i < 2; ++i) {
                click(QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(i));
            }
        }
    }

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        m_errors = std::make_unique<RecordingErrorBox>();
        m_choosers = std::make_unique<FakeChoosers>();
        m_dialog = std::make_unique<frmSetting>(m_choosers.get());
    }
    void cleanup() {
        m_dialog.reset();
        m_choosers.reset();
        QVERIFY2(m_errors->prompts.isEmpty(), qPrintable(m_errors->prompts.join(QLatin1Char('\n'))));
        m_errors.reset();
        m_home.reset();
    }

    void fillShowsSettings() {
        Settings s;
        s.SettingSwitch = 0;
        s.FuncFile[26] = QStringLiteral("/lib/ctrl f9.mdb");
        s.keyTable[13].Text = QStringLiteral("{Space}");
        s.SequenceSort = 2;
        s.CallDate = QStringLiteral("2024/3/5");
        s.TipTime = 30;
        s.TimerSwitch = 1;
        s.PartFormat = 7;
        s.CallRowMargin = 12;
        s.SeqDateSave = true;
        s.printFont = {10.5, QStringLiteral("Courier"), false, true};
        s.CallBackColorSel = 0x00FF0000;
        m_dialog->fill(s);
        QVERIFY(control<QRadioButton>(QStringLiteral("optSettingSwitch(0)"))->isChecked());
        QCOMPARE(text(QStringLiteral("txtFuncFile(26)"))->text(), s.FuncFile[26]);
        QCOMPARE(keyList(13)->currentText(), QStringLiteral("{Space}"));
        QCOMPARE(keyList(4)->currentText(), QStringLiteral("L"));
        QVERIFY(control<QRadioButton>(QStringLiteral("optSequenceSort(2)"))->isChecked());
        QCOMPARE(text(QStringLiteral("txtCallDate"))->text(), QStringLiteral("2024/03/05"));
        QCOMPARE(text(QStringLiteral("txtTipTimer"))->text() + text(QStringLiteral("txtCallRowMargin"))->text(),
                 QStringLiteral("3012"));
        QVERIFY(control<QRadioButton>(QStringLiteral("optTimerSwitch(1)"))->isChecked());
        QVERIFY(control<QCheckBox>(QStringLiteral("chkSeqDateSave"))->isChecked());
        QVERIFY(!control<QCheckBox>(QStringLiteral("chkNotePrint"))->isChecked());
        // A variant with no option of its own checks none, and reads back as 0.
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!control<QRadioButton>(QStringLiteral("optPartFormat(%1)").arg(i))->isChecked());
        }
        m_dialog->readBack(s);
        QCOMPARE(s.PartFormat, 0);
        QCOMPARE(label(QStringLiteral("lblFontName(2)")) + '|' + label(QStringLiteral("lblFontSize(2)")),
                 QStringLiteral("Courier|10.5 pt"));
        QCOMPARE(control<ColourSwatch>(QStringLiteral("picBackColorSel(1)"))->tag(), QStringLiteral("&H00FF0000"));
        QCOMPARE(control<ColourSwatch>(QStringLiteral("picForeColor(0)"))->tag(), QStringLiteral("&H80000008"));
        const QStringList styles{"Regular", "Italic", "Bold", "Bold Italic"};
        for (int style = 0; style < 4; ++style) {
            s.seqFont.bold = style >= 2;
            s.seqFont.italic = style % 2 == 1;
            m_dialog->fill(s);
            QCOMPARE(label(QStringLiteral("lblFontStyle(0)")), styles[style]);
        }
    }

    // A key text that is none of the 50 (two keys from a hand-edited file) is shown and kept by
    // OK; after the next filling every key list offers the 50 items again.
    void handEditedKey() {
        Settings s;
        s.keyTable[5].Text = QStringLiteral("L U");
        m_dialog->fill(s);
        QCOMPARE(keyList(5)->count(), 51);
        QCOMPARE(keyList(5)->currentText(), QStringLiteral("L U"));
        m_dialog->readBack(s);
        QCOMPARE(s.keyTable[5].Text, QStringLiteral("L U"));
        QCOMPARE(s.keyTable[5].Count, 2);
        QCOMPARE(s.keyTable[5].Codes[1], qint16('U'));

        s.keyTable[5].Text = QStringLiteral("P");
        m_dialog->fill(s);
        QCOMPARE(keyList(5)->currentText(), QStringLiteral("P"));
        const QStringList texts = KeysPage::keyTexts();
        QCOMPARE(texts.size(), 50);
        QCOMPARE(texts.mid(0, 3) + texts.mid(10, 2) + texts.mid(36, 3) + texts.mid(49),
                 (QStringList{"", "1", "2", "0", "A", "Z", "{Space}", "{F1}", "{F12}"}));
        for (int i = 0; i < KeyTableSize; ++i) {
            QStringList items;
            for (int item = 0; item < keyList(i)->count(); ++item) {
                items.append(keyList(i)->itemText(item));
            }
            QCOMPARE(items, texts);
        }
    }

    void cancelChangesNothing_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("button") << "cmdCancel";
        QTest::newRow("escape") << "escape";
        QTest::newRow("close box") << "close";
    }
    void cancelChangesNothing() {
        QFETCH(QString, way);
        Settings s;
        s.keyTable[6].Text = QStringLiteral("L U");
        s.keyTable[6].Count = modGeneral::KeyCodeConvert(s.keyTable[6].Text, s.keyTable[6].Codes);
        const QStringList before = snapshot(s);
        auto* tabs = control<QTabWidget>(QStringLiteral("tabSetting"));
        const bool taken = runEdit(s, [&] {
            changeEverything();
            tabs->setCurrentIndex(3);
            if (way == QLatin1String("escape")) {
                QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
            } else if (way == QLatin1String("close")) {
                m_dialog->close();
            } else {
                click(way);
            }
        });
        QVERIFY(!taken);
        QVERIFY(m_dialog->Cancelled);
        QCOMPARE(snapshot(s), before);
        // The next showing is filled anew and starts on the first tab: nothing of the cancelled
        // edit is left in the controls.
        m_choosers->font.reset();
        m_choosers->colour.reset();
        QVERIFY(runEdit(s, [&] {
            QCOMPARE(tabs->currentIndex(), 0);
            QVERIFY(m_dialog->Cancelled);
            click(QStringLiteral("cmdOK"));
        }));
        QCOMPARE(snapshot(s), before);
    }

    void okTakesEverything() {
        Settings s;
        QVERIFY(runEdit(s, [&] {
            changeEverything();
            click(QStringLiteral("cmdOK"));
        }));
        QVERIFY(!m_dialog->Cancelled);
        QCOMPARE(s.SettingSwitch, 0);
        QCOMPARE(s.FuncFile[0] + '|' + s.FuncFile[11], QStringLiteral("/lib/chosen.mdb|/lib/shift f3.mdb"));
        QCOMPARE(s.keyTable[4].Text + '|' + s.keyTable[0].Text, QStringLiteral("{F5}|A"));
        QCOMPARE(s.keyTable[4].Codes[0], qint16(116));
        QCOMPARE(s.keyTable[0].Codes[0], qint16('A'));
        QCOMPARE(QList<int>({s.SequenceSort, s.NotePrint, s.FormationPrint, s.TipTime, s.TimerSwitch, s.PartFormat,
                             s.CallRowMargin}),
                 (QList<int>{2, 1, 0, 45, 1, 1, 8}));
        QCOMPARE(s.CallDate + '|' + s.PartyName + '|' + s.Author, QStringLiteral("2024/05/07|Friday club|Ann"));
        QVERIFY(s.SeqDateSave);
        for (const FontSetting& font : {s.seqFont, s.callFont, s.printFont}) {
            QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(font.name).arg(font.size).arg(font.bold).arg(font.italic),
                     QStringLiteral("Courier 10.5 0 1"));
        }
        for (quint32 colour : {s.SeqForeColor, s.SeqBackColor, s.SeqForeColorSel, s.SeqBackColorSel, s.CallForeColor,
                               s.CallBackColor, s.CallForeColorSel, s.CallBackColorSel}) {
            QCOMPARE(colour, quint32(0x00563412));
        }
        // The file chooser starts in the library folder with the database title and filter.
        QCOMPARE(m_choosers->fileRequests.value(0),
                 (QStringList{modGeneral::LoadTransString(30101), s.MdbPath, modGeneral::LoadTransString(30111)}));
    }

    // Tip lengths outside 1 ... 99 and row spacings outside 0 ... 1000 keep the old value.
    void numberLimits_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        const QString tip = QStringLiteral("txtTipTimer");
        const QString margin = QStringLiteral("txtCallRowMargin");
        QTest::newRow("tip 0 kept") << tip << "0" << 12;
        QTest::newRow("tip 100 kept") << tip << "100" << 12;
        QTest::newRow("tip abc kept") << tip << "abc" << 12;
        QTest::newRow("tip too big for 16 bits kept") << tip << "70000" << 12;
        QTest::newRow("tip 45 set") << tip << "45" << 45;
        QTest::newRow("tip 1 set") << tip << "1" << 1;
        QTest::newRow("tip leading number") << tip << " 7 minutes" << 7;
        QTest::newRow("spacing 1001 kept") << margin << "1001" << 5;
        QTest::newRow("spacing -1 kept") << margin << "-1" << 5;
        QTest::newRow("spacing too big for 32 bits kept") << margin << "99999999999" << 5;
        QTest::newRow("spacing 0 set") << margin << "0" << 0;
        QTest::newRow("spacing 1000 set") << margin << "1000" << 1000;
    }
    void numberLimits() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        Settings s;
        s.CallRowMargin = 5;
        m_dialog->fill(s);
        text(box)->setText(typed);
        m_dialog->readBack(s);
        QTEST(box == QLatin1String("txtTipTimer") ? s.TipTime : s.CallRowMargin, "value");
    }

    // A history date that is no date is refused with a message and the dialog stays open with
    // nothing taken over; a readable one is then stored as year/month/day.
    void unreadableDateRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("month 13") << "2024/13/01";
        QTest::newRow("word") << "tomorrow";
        QTest::newRow("empty") << "";
    }
    void unreadableDateRefused() {
        QFETCH(QString, typed);
        Settings s;
        const QStringList before = snapshot(s);
        QVERIFY(runEdit(s, [&] {
            text(QStringLiteral("txtTipTimer"))->setText(QStringLiteral("30"));
            text(QStringLiteral("txtCallDate"))->setText(typed);
            click(QStringLiteral("cmdOK"));
            QVERIFY(m_dialog->isVisible());
            QVERIFY(m_dialog->Cancelled);
            QCOMPARE(m_choosers->exclamations.size(), 1);
            QVERIFY(m_choosers->exclamations[0].contains(QStringLiteral("\"%1\"").arg(typed)));
            QCOMPARE(snapshot(s), before);
            text(QStringLiteral("txtCallDate"))->setText(QStringLiteral("2024.2.29"));
            click(QStringLiteral("cmdOK"));
        }));
        QCOMPARE(s.CallDate, QStringLiteral("2024/02/29"));
        QCOMPARE(s.TipTime, 30);
    }

    // The real font chooser opens on the font in use, in its style, also for a family that is not
    // installed here: a caller who changes only the size keeps bold, and the name.
    void fontChooserOpensOnTheFont_data() {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("Arial Bold") << true << false;
        QTest::newRow("Arial Italic") << false << true;
    }
    void fontChooserOpensOnTheFont() {
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        SettingChoosers choosers(nullptr);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // The size box is the line of the chooser that takes numbers only.
            QLineEdit* size = nullptr;
            for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
                size = box->validator() ? box : size;
            }
            QVERIFY(size);
            size->selectAll();
            QTest::keyClicks(size, QStringLiteral("18"));
            QTest::keyClick(size, Qt::Key_Return);
            if (dialog->isVisible()) {
                dialog->reject();
                QFAIL("the chooser stayed open");
            }
        });
        const std::optional<FontSetting> chosen = choosers.chooseFont({14, QStringLiteral("Arial"), bold, italic});
        QVERIFY(chosen);
        QCOMPARE(
            QStringLiteral("%1 %2 %3 %4").arg(chosen->name).arg(chosen->size).arg(chosen->bold).arg(chosen->italic),
            QStringLiteral("Arial 18 %1 %2").arg(bold).arg(italic));
    }

    // Closing a chooser without a choice keeps the font, the colour and the path.
    void choosersClosedKeepValues() {
        Settings s;
        s.FuncFile[3] = QStringLiteral("/lib/kept.mdb");
        s.CallForeColor = 0x000000FF;
        m_dialog->fill(s);
        click(QStringLiteral("cmdFontChange(1)"));
        click(QStringLiteral("cmdForeColor(1)"));
        click(QStringLiteral("cmdFileBrowse(3)"));
        QCOMPARE(m_choosers->fontStarts, QStringList{s.callFont.name});
        QCOMPARE(m_choosers->colourStarts, QList<QColor>{QColor(255, 0, 0)});
        const QStringList before = snapshot(s);
        m_dialog->readBack(s);
        QCOMPARE(snapshot(s), before);
    }

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<RecordingErrorBox> m_errors;
    std::unique_ptr<FakeChoosers> m_choosers;
    std::unique_ptr<frmSetting> m_dialog;
};

QTEST_MAIN(TestFrmSetting)
#include "TestFrmSetting.moc"
