#pragma once

#include "SequenceRecord.h"

#include <QList>
#include <QString>

// Writes stored sequences as sequence text, the layout the reader takes back.
namespace SequenceTextWriter {

// Appends the sequence with its history and calls to text, after a form-feed line when text is
// not empty.
void write(QString& text, const SequenceRecord& sequence);

} // namespace SequenceTextWriter

namespace modSeqText {

// Appends one stored sequence with its history and calls to text; a sequence the source does not
// hold, or cannot read, appends only the separator. A failed read is logged under
// "modSeqText.WriteSequenceClipboard". False when the sequence could not be written whole.
bool WriteSequenceClipboard(ISequenceSource& source, QString& text, qint64 sequence);

// The text of Edit > Copy: the sequences in the given order, one form-feed line between two.
// whole, when given, tells whether every sequence could be read whole.
QString SequencesText(ISequenceSource& source, const QList<qint64>& sequences, bool* whole = nullptr);

} // namespace modSeqText
