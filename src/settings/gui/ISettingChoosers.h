#pragma once

#include "Settings.h"

#include <QColor>
#include <QString>
#include <optional>

// The choosers of the options dialog and its one refusal. The program shows Qt's font, colour and
// file dialogs; tests answer without a window. A chooser closed without a choice gives nothing.
class ISettingChoosers {
public:
    virtual ~ISettingChoosers() = default;

    // The font chooser (screen fonts) starting at font.
    virtual std::optional<FontSetting> chooseFont(const FontSetting& font) = 0;
    // The colour chooser starting at colour.
    virtual std::optional<QColor> chooseColor(const QColor& colour) = 0;
    // An existing file to open; filter is "Description|pattern|..." as the translation files hold it.
    virtual std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // A refusal with the exclamation icon.
    virtual void exclamation(const QString& text) = 0;
};
