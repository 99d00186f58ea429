#include "Fixtures.h"
#include "HomeSeeder.h"
#include "KeyCodeConvert.h"
#include "SettingChoosers.h"
#include "SettingKeys.h"
#include "Settings.h"
#include "frmSetting.h"
#include "modGeneral.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The choosers without windows: each logs what it was opened on and answers (Courier 10.5 bold,
// #123456, /lib/chosen.mdb) unless told to decline.
class FakeChoosers final : public ISettingChoosers {
public:
    std::optional<FontSetting> chooseFont(const FontSetting& start) override {
        log.append(QStringLiteral("font from ") + start.name);
        return decline ? std::nullopt : std::optional(FontSetting{10.5, QStringLiteral("Courier"), true, false});
    }
    std::optional<QColor> chooseColor(const QColor& start) override {
        log.append(QStringLiteral("colour from ") + start.name());
        return decline ? std::nullopt : std::optional(QColor(0x12, 0x34, 0x56));
    }
    std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) override {
        log.append(QStringLiteral("file %1 in %2 (%3)").arg(title, folder, filter));
        return decline ? std::nullopt : std::optional(QStringLiteral("/lib/chosen.mdb"));
    }
    void exclamation(const QString& text) override { log.append(text); }

    bool decline = false;
    QStringList log;
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
    for (int i = 0; i < KeyTableSize; ++i) {
        values.append(QStringLiteral("Key%1=%2 %3").arg(i).arg(s.keyTable[i].Count).arg(s.keyTable[i].Codes[0]));
    }
    return values << QStringLiteral("SettingSwitch=%1 SeqDateSave=%2").arg(s.SettingSwitch).arg(s.SeqDateSave)
                  << QStringLiteral("CallDate=") + s.CallDate;
}

// Settings whose every value the dialog shows as it is: fonts and colours of their own, a key text
// that is none of the 50 (two keys from a hand-edited file).
Settings start() {
    Settings s;
    s.MdbPath = QStringLiteral("/libraries");
    s.keyTable[5].Text = QStringLiteral("L U");
    s.keyTable[5].Count = modGeneral::KeyCodeConvert(s.keyTable[5].Text, s.keyTable[5].Codes);
    s.CallDate = QStringLiteral("2024/03/05");
    s.seqFont.name = QStringLiteral("Seq Sans");
    s.callFont.name = QStringLiteral("Call Sans");
    s.printFont.name = QStringLiteral("Print Sans");
    quint32 colour = 1;
    for (quint32* c : {&s.SeqForeColor, &s.SeqBackColor, &s.SeqForeColorSel, &s.SeqBackColorSel, &s.CallForeColor,
                       &s.CallBackColor, &s.CallForeColorSel, &s.CallBackColorSel}) {
        *c = colour++;
    }
    return s;
}

} // namespace

// The options dialog run modally, answered through its controls and the fake choosers.
class TestFrmSetting : public QObject {
    Q_OBJECT

    std::optional<TestHome> m_home;
    std::optional<RecordingErrorBox> m_errors;
    FakeChoosers m_choosers;
    std::unique_ptr<frmSetting> m_dialog;

    // One step of a script: "name=text" types into a box or chooses in a list (or a tab by its
    // index), "name" clicks, "!name" clicks where the chooser is closed without a choice.
    void step(const QString& command) {
        const QString name = command.section(QLatin1Char('='), 0, 0);
        const QString text = command.section(QLatin1Char('='), 1);
        m_choosers.decline = name.startsWith(QLatin1Char('!'));
        QWidget* widget = m_dialog->findChild<QWidget*>(name.mid(m_choosers.decline ? 1 : 0));
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            box->setText(text);
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            list->setCurrentText(text);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            tabs->setCurrentIndex(text.toInt());
        } else {
            QVERIFY2(qobject_cast<QAbstractButton*>(widget), qPrintable(name));
            qobject_cast<QAbstractButton*>(widget)->click();
        }
    }
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

private Q_SLOTS:
    void init() {
        m_home.emplace();
        HomeSeeder::SeedApplicationHome();
        modGeneral::SetLanguage(QStringLiteral("English"));
        m_errors.emplace();
        m_choosers.log.clear();
        m_dialog = std::make_unique<frmSetting>(&m_choosers);
    }
    void cleanup() {
        m_dialog.reset();
        QVERIFY2(m_errors->prompts.isEmpty(), qPrintable(m_errors->prompts.join(QLatin1Char('\n'))));
        m_errors.reset();
        m_home.reset();
    }

    // Every page's controls: a script run in the dialog, then OK unless it closed; the values that
    // changed, then what the choosers were opened on, the messages and what was shown. Shown
    // again, the dialog starts on the first page, filled anew, and OK changes nothing more.
    void pages_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        // The file chooser as the switch page opens it.
        const QString file =
            QStringLiteral("file Open Database in /libraries (Database files (*.mdb)|*.mdb|All files (*.*)|*.*)");
        const auto row = [&](const char* script, const char* result) {
            QTest::newRow(script) << script << QString(result).replace('@', file);
        };
        row("cmdFileBrowse(0); !cmdFileBrowse(3); txtFuncFile(11)=/lib/shift f3.mdb",
            "FuncFile1=/lib/chosen.mdb|FuncFile12=/lib/shift f3.mdb|@|@");
        row("cboCustomKey(4)={F5}; cboCustomKey(0)=A", "KeyCustom1=A|KeyVornMP1={F5}|Key0=1 65|Key4=1 116");
        row("optSequenceSort(2); txtCallDate=2024-5-7; txtPartyName=Friday club; txtAuthor=Ann; chkNotePrint; "
            "chkFormationPrint; optTimerSwitch(1); optPartFormat(1); txtTipTimer= 7 minutes; txtCallRowMargin=1000",
            "SequenceSort=2|CallRowMargin=1000|PartyName=Friday club|Author=Ann|NotePrint=1|FormationPrint=0|TipTime=7|"
            "TimerSwitch=1|PartFormat=1|CallDate=2024/05/07");
        row("optSettingSwitch(0); chkSeqDateSave", "SettingSwitch=0 SeqDateSave=1");
        row("cmdFontChange(0); !cmdFontChange(1); cmdFontChange(1); cmdFontChange(2)",
            "CallFontSize=10.5|CallFontName=Courier|SeqFontSize=10.5|SeqFontName=Courier|PrintFontSize=10.5|"
            "PrintFontName=Courier|font from Seq Sans|font from Call Sans|font from Call Sans|font from Print Sans");
        const char* colours[] = {"ForeColor", "BackColor", "ForeColorSel", "BackColorSel"};
        for (int c = 0; c < 8; ++c) {
            const QString kind = QLatin1String(colours[c % 4]);
            const QString side = QString::number(c / 4);
            QTest::addRow("%s(%d)", colours[c % 4], c / 4)
                << QStringLiteral("cmd%1(%2)").arg(kind, side)
                << QStringLiteral("%1%2=&H00563412|colour from #0%3")
                       .arg(c < 4 ? "Seq" : "Call", kind, QString::number(c + 1) + "0000");
        }
        row("!cmdForeColor(1)", "colour from #050000");
        // Tip lengths outside 1 ... 99 and row spacings outside 0 ... 1000 keep the old value.
        for (const char* typed : {"txtTipTimer=0", "txtTipTimer=100", "txtTipTimer=abc", "txtTipTimer=70000",
                                  "txtCallRowMargin=1001", "txtCallRowMargin=-1", "txtCallRowMargin=99999999999"}) {
            row(typed, "");
        }
        // A history date that is no date is refused with a message; the dialog stays open.
        row("txtTipTimer=30; txtCallDate=2024/13/01; cmdOK; cmdCancel",
            "The history date \"2024/13/01\" cannot be read as a date.\r\nPlease enter it as year/month/day, for "
            "example 2024/05/17.|cancelled");
        // Cancelled, nothing is taken.
        row("optSettingSwitch(0); txtPartyName=X; cboCustomKey(4)={F5}; cmdFontChange(0); cmdForeColor(0); "
            "cmdFileBrowse(1); tabSetting=3; cmdCancel",
            "font from Seq Sans|colour from #010000|@|cancelled");
    }
    void pages() {
        QFETCH(QString, script);
        Settings settings = start();
        const QStringList before = snapshot(settings);
        const bool taken = runEdit(settings, [&] {
            for (const QString& command : script.split(QStringLiteral("; "))) {
                step(command);
            }
            if (m_dialog->isVisible()) {
                step(QStringLiteral("cmdOK"));
            }
        });
        QCOMPARE(taken, !m_dialog->Cancelled);
        QStringList result = snapshot(settings);
        result.removeIf([&](const QString& value) { return before.contains(value); });
        result << m_choosers.log << (taken ? QString() : QStringLiteral("cancelled"));
        QTEST(result.filter(QRegularExpression(QStringLiteral("."))).join(QLatin1Char('|')), "result");
        const QStringList after = snapshot(settings);
        QVERIFY(runEdit(settings, [&] {
            QVERIFY(m_dialog->findChild<QTabWidget*>("tabSetting")->currentIndex() == 0 && m_dialog->Cancelled);
            step(QStringLiteral("cmdOK"));
        }));
        QCOMPARE(snapshot(settings), after);
    }

    // The real font chooser opens on the font in use, in its style, also for a family that is not
    // installed here: a caller who changes only the size keeps bold, and the name.
    void fontChooserOpensOnTheFont() {
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // The size box is the line of the chooser that takes numbers only.
            for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
                if (box->validator()) {
                    box->selectAll();
                    QTest::keyClicks(box, QStringLiteral("18"));
                }
            }
            dialog->accept();
        });
        const auto chosen = SettingChoosers(nullptr).chooseFont({14, QStringLiteral("Arial"), true, false});
        QVERIFY(chosen && chosen->name == QLatin1String("Arial") && chosen->size == 18 && chosen->bold &&
                !chosen->italic);
    }
};

QTEST_MAIN(TestFrmSetting)
#include "TestFrmSetting.moc"
