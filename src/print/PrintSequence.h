#pragma once

#include "FontSetting.h"
#include "SequenceRecord.h"

#include <QList>

class IProgress;
class clsPrinter;

namespace modPrint {

// What the print layout reads besides the library: the print settings.
struct PrintOptions {
    int NotePrint = 0;
    int FormationPrint = 1;
    bool HexMode = false;
    FontSetting printFont{12, QStringLiteral("Arial"), true, false};

    // From the program's settings (any record with these fields).
    template <typename AnySettings> static PrintOptions fromSettings(const AnySettings& settings) {
        PrintOptions options;
        options.NotePrint = settings.NotePrint;
        options.FormationPrint = settings.FormationPrint;
        options.HexMode = settings.HexMode;
        options.printFont = settings.printFont;
        return options;
    }
};

// Prints the sequences (keys, in the order given, read from the source) through the printer, two columns a page: each
// sequence in a new column with its header (level, date and time, author, note), then every call
// with its note and figure. The printer's Preview, Form or printer device are set by the caller;
// the document is started and ended here. Returns the keys that name no sequence (left out). The
// progress is told before each sequence; when the user stops it there, the document is given up
// (AbortDoc): no preview is shown and held-back pages are not sent.
QList<qint64> PrintSequence(ISequenceSource& source, const QList<qint64>& sequences, const PrintOptions& options,
                            clsPrinter& printer, IProgress* progress = nullptr);

} // namespace modPrint
