#include "SettingChoosers.h"

#include "ColourMap.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>

std::optional<FontSetting> SettingChoosers::chooseFont(const FontSetting& font) {
    // The chooser lists the installed families only: a name that is none of them (Arial from a
    // library made on Windows) opens on the family that stands in for it, in its style and size.
    QFont shown = ColourMap::toFont(font);
    const QString standIn = QFontInfo(shown).family();
    shown.setFamilies({standIn});
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, shown, m_parent);
    if (!ok) {
        return std::nullopt;
    }
    FontSetting result = ColourMap::fromFont(chosen);
    // Kept under its own name as long as the caller stays with the family standing in for it.
    if (result.name == standIn) {
        result.name = font.name;
    }
    return result;
}

std::optional<QColor> SettingChoosers::chooseColor(const QColor& colour) {
    const QColor chosen = QColorDialog::getColor(colour, m_parent);
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

QString SettingChoosers::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!description.contains(QLatin1Char('('))) {
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        }
        filters.append(description);
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> SettingChoosers::chooseFile(const QString& title, const QString& folder, const QString& filter) {
    QFileDialog dialog(m_parent, title, folder, qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

void SettingChoosers::exclamation(const QString& text) {
    QMessageBox::warning(m_parent, QStringLiteral("VornReader"),
                         QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
