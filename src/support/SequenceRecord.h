#pragma once

#include <QList>
#include <QString>
#include <optional>

// One stored call of a sequence.
struct CallRecord {
    int number = 0;
    QString call;
    QString figure;
    QString note;
    QString hexInfo;
};

// One use of a sequence: the date as stored ("yyyy-MM-dd") and the party.
struct HistoryRecord {
    QString callDate;
    QString partyName;
};

// A stored sequence with its calls in Number order and its history in the order it was added, as
// print, the spreadsheet and the text writer read it.
struct SequenceRecord {
    qint64 sequence = 0;
    QString level;
    QString date;
    QString time;
    QString version;
    QString author;
    QString title;
    QString note;
    qint64 property = 0;
    QList<CallRecord> calls;
    QList<HistoryRecord> history;
};

// Where stored sequences are read from, without knowing the library file behind it.
class ISequenceSource {
public:
    virtual ~ISequenceSource() = default;
    // The sequence with its calls (and its history where the source reads it); nothing when no
    // sequence has the key. Throws a CodedError when it cannot be read.
    virtual std::optional<SequenceRecord> sequenceRecord(qint64 key) = 0;
    // These sequences are about to be read one after another: a source may read what they share
    // in one go. Throws a CodedError when that fails; each sequence can still be read alone.
    virtual void readAhead(const QList<qint64>& keys) { Q_UNUSED(keys); }
};
