#pragma once

#include "ErrorInfo.h"
#include "SequenceRecord.h"

#include <QString>

// Where the sequence text reader puts what it reads; the library stores it. A run is all or
// nothing as a whole only when it stops; otherwise every sequence stands on its own: a failure in
// one takes back that sequence alone.
class ISequenceSink {
public:
    enum class Outcome {
        Stored,
        Duplicate, // a sequence with the same date, time and level is stored already
        Failed,    // nothing of the sequence is kept; failure() says why
    };
    // A failure of the library file or of the machine rather than of one record: the run ends and
    // keeps nothing. Thrown by every step.
    struct Stopped {
        ErrorInfo error;
        // The translation key of the cause in plain words (its argument: the engine's message).
        int causeKey = 0;
    };

    virtual ~ISequenceSink() = default;

    virtual void beginRun() = 0;
    // A new sequence: its header fields, state, note and title (its calls and history follow).
    virtual Outcome addSequence(const SequenceRecord& sequence) = 0;
    virtual Outcome addHistory(const QString& callDate, const QString& partyName) = 0;
    virtual Outcome addCall(qint32 number, const QString& call, const QString& note, const QString& figure) = 0;
    // The current sequence is complete (nothing happens when none is open).
    virtual Outcome endSequence() = 0;
    // Places the run's new sequences in the list order and keeps the run: an insert position
    // below 0 appends them, 0 or more gives them that OrderNo and moves every sequence at or
    // after it down.
    virtual void finishRun(qint32 insertPosition) = 0;
    // Takes back everything of the run.
    virtual void abandonRun() = 0;

    // The sequences of the run stored so far.
    virtual int added() const = 0;
    // Why the last step Failed.
    virtual ErrorInfo failure() const = 0;
};
