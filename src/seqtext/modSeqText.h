#pragma once

#include <QDateTime>
#include <QString>

class IProgress;
class ISeqTextHost;
class ISequenceSink;

namespace modSeqText {

// Reads one sequence text (a file, or the host's clipboard text when fromClipboard) and hands
// every sequence with its calls and history to the sink, which stores those not already in the
// library, all in one run. An insert
// position below 0 appends the new sequences; 0 or more gives them that OrderNo and moves every
// sequence at or after it down. Returns the number of sequences added; failures are logged and
// reading goes on with the next sequence. The progress is told after each sequence; when the user
// stops it there, the sequences stored so far are kept (each whole), the report says how many, and
// a file read only in part stays where it is.
int ReadSequenceText(ISequenceSink& sink, const QString& source, bool fromClipboard, qint32 insertPosition,
                     ISeqTextHost& host, IProgress* progress = nullptr);

// The name a read file gets in its Backup folder.
QString BackupFileName(const QString& name, const QDateTime& now);

} // namespace modSeqText
