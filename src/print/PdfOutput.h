#pragma once

#include "PrintSequence.h"

#include <QList>
#include <QString>

class IProgress;
class clsPrinter;

// The print layout written into a PDF file, for File > Print to a file and vornreader-cli print.
namespace PdfOutput {

struct Result {
    // True when the complete PDF is at the path; otherwise a file there is as it was.
    bool written = false;
    // The user stopped the layout on its progress.
    bool cancelled = false;
    // Why nothing was written, in the user's words: the target is a library (refused before
    // anything was laid out) or the file could not be written.
    QString error;
    // Keys that name no sequence (left out).
    QList<qint64> missing;
};

// Lays the sequences out (modPrint::PrintSequence) on the printer's paper and margins into a new
// PDF at path, which replaces a file there only once complete. The document is named after the
// library the source reads (libraryPath).
Result PrintSequence(ISequenceSource& source, const QString& libraryPath, const QList<qint64>& sequences,
                     const modPrint::PrintOptions& options, clsPrinter& printer, const QString& path,
                     IProgress* progress = nullptr);

} // namespace PdfOutput
