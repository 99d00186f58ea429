#pragma once

#include "Settings.h"

#include <QList>

class Database;
class IProgress;
class clsPrinter;

namespace modPrint {

// What the print layout reads besides the library: the print settings.
struct PrintOptions {
    int NotePrint = 0;
    int FormationPrint = 1;
    bool HexMode = false;
    FontSetting printFont{12, QStringLiteral("Arial"), true, false};

    static PrintOptions fromSettings(const Settings& settings);
};

// Prints the sequences (keys, in the order given) through the printer, two columns a page: each
// sequence in a new column with its header (level, date and time, author, note), then every call
// with its note and figure. The printer's Preview, Form or printer device are set by the caller;
// the document is started and ended here. Returns the keys that name no sequence (left out). The
// progress is told before each sequence; when the user stops it there, the document is given up
// (AbortDoc): no preview is shown and held-back pages are not sent.
QList<qint64> PrintSequence(Database& db, const QList<qint64>& sequences, const PrintOptions& options,
                            clsPrinter& printer, IProgress* progress = nullptr);

} // namespace modPrint
