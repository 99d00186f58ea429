#pragma once

#include <QObject>
#include <functional>

class QWidget;
class frmSetting;
struct Settings;

// Settings > Options: the options dialog over the program's settings and, after OK, the window
// brought in step through the signals, in this order: the tip timer, the database-switch menu,
// the grids' look, and the list when its order changed. A language chosen there is written to the
// INI file at once, for the next start.
class OptionsCommand : public QObject {
    Q_OBJECT

public:
    // Shows the options on settings; true when OK took the values over.
    using Editor = std::function<bool(Settings&)>;

    OptionsCommand(Settings& settings, QWidget* window, QObject* parent = nullptr);
    ~OptionsCommand() override;

    // Replaces the dialog (tests answer it without a window).
    void setEditor(Editor editor) { m_editor = std::move(editor); }

    void showOptions();

Q_SIGNALS:
    // The tip length or direction may have changed: a stopped tip timer shows the new length.
    void tipSettingsChanged();
    // The database-switch paths may have changed.
    void switchFilesChanged();
    // Fonts, colours, row spacing and the call grid variant go on the grids.
    void displaySettingsChanged();
    // The sequence list order changed: the list is to be filled again.
    void listOrderChanged();

private:
    // The dialog, created on first use and kept hidden between uses.
    frmSetting& dialog();

    Settings& m_settings;
    QWidget* m_window;
    Editor m_editor;
    frmSetting* m_dialog = nullptr;
};
