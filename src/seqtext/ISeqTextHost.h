#pragma once

#include <QDateTime>
#include <QString>

// What the sequence text reader needs from its surroundings: settings, the clipboard, the clock,
// translated texts, and the window it refreshes and reports to.
class ISeqTextHost {
public:
    virtual ~ISeqTextHost() = default;

    virtual QString author() const = 0;
    virtual bool seqDateSave() const = 0;
    virtual QString clipboardText() const = 0;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    // A translated text by key (40301 the report, 40302 the clipboard's name).
    virtual QString transString(int key, const QString& def) const = 0;

    // The level menu and the sequence list are refreshed after every run.
    virtual void refreshAfterRead() {}
    // The report of a run, already formatted.
    virtual void showReadReport(const QString& message) = 0;
    // A run that had to stop and kept nothing: the one message naming the cause and the source.
    virtual void showReadFailure(const QString& message) { showReadReport(message); }
};
