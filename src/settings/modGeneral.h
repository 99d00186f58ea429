#pragma once

#include "Translation.h"

#include <QString>

// Error sentences and the level and state list fillers; the translated texts and message
// formatting they use are in Translation.h.
namespace modGeneral {

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
