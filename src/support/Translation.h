#pragma once

#include <QString>
#include <QVariantList>

// Translated texts and message formatting: the numbered texts every caption and message comes
// from, below everything that shows text.
namespace modGeneral {

// The Language setting that picks the translation file: "English" (exact case) selects English,
// anything else Japanese.
void SetLanguage(const QString& language);
QString Language();

// The text of a translation key from System/TransEnglish.ini or System/TransJapanese.ini in the
// application home, or def when the file or the key is missing.
QString LoadTransString(int key, const QString& def = {});

// "\n" (backslash, n) becomes CR LF; then %1, %2 ... take the arguments in that order, so %1 is
// replaced before %10.
QString MessageFormat(const QString& text, const QVariantList& arguments = {});

// LoadTransString and MessageFormat together: the message of a key with its arguments.
QString TransMessage(int key, const QVariantList& arguments = {});

// A message about count things: the text of keyOne when count is 1 ("1 sequence"), of keyMany
// otherwise; count is %1, the further arguments %2, %3 ...
QString TransCount(int keyMany, int keyOne, qint64 count, const QVariantList& more = {});

} // namespace modGeneral
