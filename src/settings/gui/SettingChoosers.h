#pragma once

#include "ISettingChoosers.h"

class QWidget;

// The options dialog's choosers as Qt's own dialogs over parent.
class SettingChoosers final : public ISettingChoosers {
public:
    explicit SettingChoosers(QWidget* parent) : m_parent(parent) {}

    std::optional<FontSetting> chooseFont(const FontSetting& font) override;
    std::optional<QColor> chooseColor(const QColor& colour) override;
    std::optional<QString> chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    void exclamation(const QString& text) override;

    // "A|*.a|B|*.b" (the translation files' form) as a Qt file dialog filter.
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_parent;
};
