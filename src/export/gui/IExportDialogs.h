#pragma once

#include "IExportHost.h"
#include "IProgress.h"

#include <QIcon>
#include <memory>

// The export dialog's questions and messages, and its file chooser. The program shows Qt's
// dialogs; tests answer without a window.
class IExportDialogs : public IExportHost {
public:
    // An existing file to open; filter is "Description|pattern|..." as the translation files hold
    // it. Nothing when cancelled.
    virtual std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // The progress of the move, for its duration (nullptr: none is shown).
    virtual std::unique_ptr<IProgress> progress() { return nullptr; }
    // The icon the sequence list shows for a state (a null icon: the state filter shows names only).
    virtual QIcon stateIcon(int property) const {
        Q_UNUSED(property);
        return {};
    }
};
