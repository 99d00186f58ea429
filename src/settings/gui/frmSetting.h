#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class DisplayPage;
class ISettingChoosers;
class KeysPage;
class OtherPage;
class QRadioButton;
class QTabWidget;
class SwitchPage;
struct Settings;

// The options dialog: keys, database-switch paths, fonts and colours, and the other options, on
// four tabs, with the place of the display settings below them. It is filled from the settings
// before each showing and hands its values back only on OK; Cancel, Escape and the close box
// change nothing. Kept hidden between uses.
class frmSetting : public QDialog {
    Q_OBJECT

public:
    // choosers: the font, colour and file choosers and the refusal box (nullptr: Qt's dialogs).
    explicit frmSetting(ISettingChoosers* choosers = nullptr, QWidget* parent = nullptr);
    ~frmSetting() override;

    // Fills the dialog from settings and shows it modally; on OK the values go back into settings
    // and the result is true. Cancelled and closed: false, settings as they were.
    bool edit(Settings& settings);

    // The controls from the settings: the place of the display settings, switch paths, keys,
    // list order, history defaults, author, print switches, tip timer, grid variant, row
    // spacing, backup switch, fonts and colours.
    void fill(const Settings& settings);
    // The controls' values into settings in the same order; keys go through KeyCodeConvert, tip
    // length and row spacing outside their ranges keep their values, and so does a history date
    // that cannot be read (cmdOK_Click refuses one before the dialog closes).
    void readBack(Settings& settings) const;

    // True from each showing until a valid OK.
    bool Cancelled = true;

    void cmdOK_Click();
    void cmdCancel_Click();

    KeysPage& keysPage() const { return *m_keys; }
    SwitchPage& switchPage() const { return *m_switch; }
    DisplayPage& displayPage() const { return *m_display; }
    OtherPage& otherPage() const { return *m_other; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdFileBrowse_Click(int index);

    std::unique_ptr<ISettingChoosers> m_ownChoosers;
    ISettingChoosers* m_choosers;
    QTabWidget* m_tabs = nullptr;
    KeysPage* m_keys = nullptr;
    SwitchPage* m_switch = nullptr;
    DisplayPage* m_display = nullptr;
    OtherPage* m_other = nullptr;
    QList<QRadioButton*> m_settingSwitch;
    // The folder the file chooser starts in (MdbPath at the filling).
    QString m_mdbPath;
};
