#include "OptionsCommand.h"

#include "Settings.h"
#include "frmSetting.h"
#include "modSetting.h"

#include <QWidget>

OptionsCommand::OptionsCommand(Settings& settings, QWidget* window, QObject* parent)
    : QObject(parent), m_settings(settings), m_window(window) {}

OptionsCommand::~OptionsCommand() = default;

frmSetting& OptionsCommand::dialog() {
    if (!m_dialog) {
        m_dialog = new frmSetting(nullptr, m_window);
    }
    return *m_dialog;
}

void OptionsCommand::showOptions() {
    const int order = m_settings.SequenceSort;
    const QString language = m_settings.LanguageNext;
    const bool taken = m_editor ? m_editor(m_settings) : dialog().edit(m_settings);
    if (!taken) {
        return;
    }
    // A language the caller chose takes effect at the next start; only then is it written.
    if (m_settings.LanguageNext != language) {
        modSetting::WriteLanguage(m_settings);
    }
    Q_EMIT tipSettingsChanged();
    Q_EMIT switchFilesChanged();
    Q_EMIT displaySettingsChanged();
    if (m_settings.SequenceSort != order) {
        Q_EMIT listOrderChanged();
    }
}
