#pragma once

#include <QObject>
#include <functional>

class IBrowserDialogs;
class LibraryCommands;
class QWidget;
class frmExport;
struct Settings;

// File > Export: closes the open library, shows the export dialog over the closed files, and
// reopens the library afterwards.
class ExportCommand : public QObject {
    Q_OBJECT

public:
    // Shows the loaded dialog until it is closed (tests drive it without a modal loop).
    using Runner = std::function<void(frmExport&)>;

    ExportCommand(Settings& settings, LibraryCommands& library, IBrowserDialogs& dialogs, QWidget* window,
                  QObject* parent = nullptr);

    void setRunner(Runner runner) { m_runner = std::move(runner); }

    void exportLibrary();

Q_SIGNALS:
    // The command has ended: the library was closed and reopened, and sequences may have left it
    // or arrived in it, so whatever was remembered about its rows is stale.
    void exported();

private:
    Settings& m_settings;
    LibraryCommands& m_library;
    IBrowserDialogs& m_dialogs;
    QWidget* m_window;
    Runner m_runner;
};
