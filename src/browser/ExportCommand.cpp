#include "ExportCommand.h"

#include "IBrowserDialogs.h"
#include "IExportDialogs.h"
#include "LibraryCommands.h"
#include "LibrarySession.h"
#include "Settings.h"
#include "StateIcons.h"
#include "frmExport.h"

#include <QFileInfo>

namespace {

// The export dialog's questions through the main window's dialogs.
class BrowserExportDialogs final : public IExportDialogs {
public:
    explicit BrowserExportDialogs(IBrowserDialogs& dialogs) : m_dialogs(dialogs) {}
    void exclamation(const QString& text) override { m_dialogs.exclamation(text); }
    void information(const QString& text) override { m_dialogs.information(text); }
    bool question(const QString& text) override { return m_dialogs.question(text); }
    std::optional<QString> askAuthor(const QString& prompt) override { return m_dialogs.inputText(prompt); }
    std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) override {
        return m_dialogs.openFile(title, folder, filter);
    }
    std::unique_ptr<IProgress> progress() override { return m_dialogs.progress(); }
    QIcon stateIcon(int property) const override { return StateIcons::icon(property); }

private:
    IBrowserDialogs& m_dialogs;
};

} // namespace

ExportCommand::ExportCommand(Settings& settings, LibraryCommands& library, IBrowserDialogs& dialogs, QWidget* window,
                             QObject* parent)
    : QObject(parent), m_settings(settings), m_library(library), m_dialogs(dialogs), m_window(window) {}

void ExportCommand::exportLibrary() {
    // The export works on closed files: the library's settings are written and it is compacted
    // now, so that nothing of it is held open while its sequences move.
    const QString path = m_settings.MdbPath + QLatin1Char('/') + m_settings.MdbFile;
    const QString switchLabel = m_settings.FuncKey;
    const bool named = !m_settings.MdbFile.isEmpty();
    m_library.session().CloseSequenceMdbFile();

    BrowserExportDialogs dialogs(m_dialogs);
    frmExport dialog(dialogs, m_window);
    dialog.Form_Load(named ? path : QString(), m_settings.MdbPath);
    if (m_runner) {
        m_runner(dialog);
    } else {
        dialog.exec();
    }

    if (named && QFileInfo(path).isFile()) {
        m_library.OpenSequenceMdbFile(path, switchLabel);
    }
    Q_EMIT exported();
}
