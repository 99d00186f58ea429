#pragma once

#include "LibraryExport.h"

#include <QString>
#include <optional>

class IExportHost;
class IProgress;

// File > Export and vornreader-cli export: moving filtered sequences from one library file into
// another, with the checks, the question and the messages around the move.
namespace modExport {

enum class Outcome {
    Moved,     // the sequences are in the target and gone from the source
    NoneFound, // the filter takes no sequence (message 40222)
    Cancelled, // the question 40221 was not answered with OK
    Refused,   // a path or a file was refused with a message; nothing was opened for writing
    Failed,    // a failure was logged; both files are as they were
    Stopped,   // the user stopped the move on its progress (message 40224); both files are as they were
};

struct ExportResult {
    Outcome outcome = Outcome::Failed;
    // The sequences moved, or the number found when the question was cancelled.
    qint64 count = 0;
};

// A date box's text as "yyyy/MM/dd" («2002/1/5» gives «2002/01/05»); empty stays empty. Nothing
// when the text is not a date.
std::optional<QString> ExportDate(const QString& text);

// True when the two paths name one file: the same file reached through another spelling, a link
// or a second hard link counts as the same.
bool SameFile(const QString& first, const QString& second);

// The message refusing the pair: 40211 without a source, 40212 without a target, 40213 when both
// are one file; empty when they may be used.
QString CheckPaths(const QString& source, const QString& target);

// The message refusing a file as source or target of an export: missing (40201), not a library
// (40104), in use (40105), not readable (40106), not writable (40107), the template (40102);
// empty when it may be used.
QString CheckLibrary(const QString& path);

// Moves the sequences of source that filter takes into target. Both files are checked first, a
// damaged one (PRAGMA quick_check) refused with 40166; the question 40221 names the number found;
// both files are brought up to the current schema; the move is one transaction. Failures leave
// both files as they were (a journal a failed commit left is rolled back where it can be) and are
// logged under "modExport.ExportCall"; a failure of a file or of the machine is told in one
// message instead of the error box (in use 40105, damaged 40166, anything else 40168). The
// progress follows the move.
ExportResult ExportCall(const QString& source, const QString& target, const ExportFilter& filter, IExportHost& host,
                        IProgress* progress = nullptr);

} // namespace modExport
