#pragma once

#include "SequenceRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class IProgress;

// Spreadsheet output: the printed page's text without figures, one sequence per column, written
// into an .xlsx workbook.
namespace modExcel {

// Columns of a sheet.
inline constexpr int MaxColumns = 16384;
// Rows of a sheet.
inline constexpr int MaxRows = 1048576;

struct ExcelResult {
    // True when the complete workbook is at the path; otherwise nothing was written there.
    bool written = false;
    // Why the workbook could not be written, in the user's words: the path leads to a library, or
    // the file could not be written.
    QString error;
    // Sequences that did not fit into the sheet's columns.
    int leftOut = 0;
    // Keys that name no sequence (left out).
    QList<qint64> missing;
    // The user stopped the output on its progress: nothing was written, a file at the path is
    // left as it was.
    bool cancelled = false;
};

// Writes the sequences (keys, in the order given, read from the source) into a new workbook at path, replacing a file
// there only when the whole workbook could be written. Column layout: row 1 "Level : ... Create :
// date time", row 2 the author, row 3 the note (notePrint 1), then the calls without markup, each
// followed by its note (notePrint 1). Header rows are bold, columns wide with wrapped text. The
// progress is told before each sequence.
ExcelResult ExcelOutSequence(ISequenceSource& source, const QList<qint64>& sequences, int notePrint,
                             const QString& path, IProgress* progress = nullptr);

// Writes a table into a new workbook at path the same way: the header in row 1 (bold), a row of
// the sheet per row, markup removed, replacing a file there only when the whole workbook could be
// written. Rows beyond the sheet's last are left out and counted.
ExcelResult ExcelOutTable(const QStringList& header, const QList<QStringList>& rows, const QString& path);

// A new, unique file name for a workbook in the Temp work folder.
QString workFileName();

// Removes the workbooks in the Temp work folder that are older than a week: each was shown once
// and is kept a while for the user to find again.
void RemoveOldWorkFiles();

} // namespace modExcel
