#pragma once

#include "SequenceRecord.h"

#include <QList>
#include <QString>
#include <exception>
#include <functional>

class IProgress;

// What printing and the spreadsheet share: the walk over the chosen sequences and the header
// lines of each.
namespace SequenceOutput {

// Goes through the sequences (keys, in the order given): tells the progress before each one
// (label with %1 the sequence's place and %2 the count), reads it whole from the source and hands
// it to visit. A key that names no sequence goes to missing. A sequence that cannot be read, and a
// call whose output fails (visitCall), is logged under procedure and the output goes on. False
// when the user stopped it on the progress.
bool ForEachSequence(ISequenceSource& source, const QList<qint64>& sequences, const QString& label,
                     const QString& procedure, IProgress* progress, QList<qint64>& missing,
                     const std::function<bool(const SequenceRecord&)>& visit,
                     const std::function<void(const CallRecord&)>& visitCall);

// A failure logged under the output's procedure name.
void logError(const QString& procedure, const std::exception& e);

// The header lines: "Level : ...    Create : date time", "Author : ...", "Note : ...".
QString levelLine(const SequenceRecord& sequence);
QString authorLine(const SequenceRecord& sequence);
QString noteLine(const SequenceRecord& sequence);

} // namespace SequenceOutput
