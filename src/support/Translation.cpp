#include "Translation.h"

#include "AppHome.h"
#include "IniFile.h"

namespace {

QString g_language = QStringLiteral("Japanese");

} // namespace

namespace modGeneral {

void SetLanguage(const QString& language) {
    g_language = language;
}

QString Language() {
    return g_language;
}

QString LoadTransString(int key, const QString& def) {
    const QString file = g_language == QLatin1String("English") ? QStringLiteral("System/TransEnglish.ini")
                                                                : QStringLiteral("System/TransJapanese.ini");
    const QString section = QStringLiteral("Translation");
    const QString name = QString::number(key);
    std::optional<QString> text = IniFile::read(AppHome::path() + QLatin1Char('/') + file, section, name);
    if (!text) {
        // A home seeded by an older version lacks the texts added since; they come from the
        // shipped copy, while the user's own edits of the other texts stay in force.
        text = IniFile::read(QStringLiteral(":/") + file, section, name);
    }
    return (text ? *text : def).left(1023);
}

QString MessageFormat(const QString& text, const QVariantList& arguments) {
    QString result = text;
    result.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        result.replace(QLatin1Char('%') + QString::number(i + 1), arguments[i].toString());
    }
    return result;
}

QString TransMessage(int key, const QVariantList& arguments) {
    return MessageFormat(LoadTransString(key), arguments);
}

QString TransCount(int keyMany, int keyOne, qint64 count, const QVariantList& more) {
    return TransMessage(count == 1 ? keyOne : keyMany, QVariantList{count} + more);
}

} // namespace modGeneral
