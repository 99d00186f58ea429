#pragma once

#include <QString>
#include <QVariantList>

// Translated texts, message formatting and the level and state list fillers.
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

// One plain sentence, for the caller, of what went wrong in an error report of the procedure
// ("modSeqText.ReadSequenceText": a sequence could not be read), with the cause in plain words
// when the error number says it unmistakably (a full disk, a read-only or damaged library).
QString ErrorSentence(const QString& procedure, int errorNumber);

// The fourteen level names in their fixed order.
QStringList LevelNames();

// The captions of the level menu: the fourteen level names, "AllLevel", then the placeholder
// shown when the library holds no sequence (translation 10201).
QStringList LevelMenuCaptions();

// A list or combo box as the fillers see it.
class IListControl {
public:
    virtual ~IListControl() = default;
    virtual void clear() = 0;
    virtual void addItem(const QString& text, int itemData) = 0;
    virtual int count() const = 0;
    virtual void setListIndex(int index) = 0;
};

// The level names present in the library (all fourteen for an empty path, with no leading entry).
void CreateVornLevelList(IListControl& list, const QString& databasePath);

// The sequence states present in the library, each tagged with its state number, after a leading
// "all" entry tagged -1.
void CreateVornPropertyList(IListControl& list, const QString& databasePath);

} // namespace modGeneral
