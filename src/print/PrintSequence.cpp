#include "PrintSequence.h"

#include "IProgress.h"
#include "SequenceOutput.h"
#include "Translation.h"
#include "clsPrinter.h"
#include "modGraphics.h"
#include "modPrint.h"

namespace modPrint {

namespace {

const QString kProcName = QStringLiteral("modPrint.PrintSequence");
constexpr double kColumnSpace = 100;
constexpr float kPrintPixel = 15.0f;

void setFont(clsPrinter& printer, const QString& name, double size, bool bold, bool italic) {
    printer.setFontName(name);
    printer.setFontBold(bold);
    printer.setFontItalic(italic);
    printer.setFontSize(size);
}

void headerFont(clsPrinter& printer) {
    setFont(printer, QStringLiteral("Arial"), 10, true, false);
}

void noteFont(clsPrinter& printer) {
    setFont(printer, QStringLiteral("Arial"), 9, true, false);
}

void printFont(clsPrinter& printer, const FontSetting& font) {
    setFont(printer, font.name, font.size, font.bold, font.italic);
}

// One call: a blank line, the call text, its note and its figure. The call text, the note and the
// figure stay together in one column when they fit one; a call taller than a column goes on in
// the next, and its figure then follows where it ends, in the next column if it does not fit there.
void printCall(clsPrinter& printer, const CallRecord& row, const PrintOptions& options) {
    const bool notePrinted = options.NotePrint == 1 && !row.note.isEmpty();
    const bool figurePrinted = options.FormationPrint == 1 && !row.figure.isEmpty();
    const QString callText = modGraphics::RemoveMarkup(row.call);
    const QString noteText = QStringLiteral("    ") + row.note;

    printFont(printer, options.printFont);
    printer.TextOut(QString());
    // The figure fills the column's width, at most a column high.
    double boxWidth = printer.ColumnWidth;
    double figureHeight = printer.columnHeight();
    if (figurePrinted) {
        DrawFigure(printer.Object(), row.figure, false, printer.CurrentX() + printer.ColumnSpace, printer.CurrentY(),
                   boxWidth, figureHeight, true, options.HexMode, row.hexInfo, row.note, kPrintPixel);
        const double column = printer.columnHeight();
        double needed = figureHeight + printer.measureText(callText, column);
        if (notePrinted) {
            noteFont(printer);
            needed += printer.measureText(noteText, column);
        }
        if (printer.CurrentY() + needed > printer.ScaleHeight() && needed <= column) {
            printer.NewCol();
        }
    }
    printFont(printer, options.printFont);
    printer.TextOut(callText);
    if (notePrinted) {
        noteFont(printer);
        printer.TextOut(noteText);
    }
    if (figurePrinted && figureHeight > 0) {
        if (printer.CurrentY() + figureHeight > printer.ScaleHeight()) {
            printer.NewCol();
        }
        DrawFigure(printer.Object(), row.figure, false, printer.CurrentX() + printer.ColumnSpace, printer.CurrentY(),
                   boxWidth, figureHeight, false, options.HexMode, row.hexInfo, row.note, kPrintPixel);
        printer.setCurrentY(printer.CurrentY() + figureHeight);
    }
}

} // namespace

QList<qint64> PrintSequence(ISequenceSource& source, const QList<qint64>& sequences, const PrintOptions& options,
                            clsPrinter& printer, IProgress* progress) {
    QList<qint64> missing;
    printer.ColumnSpace = kColumnSpace;
    printer.StartDoc();
    printer.ColumnWidth = (printer.ScaleWidth() - printer.CurrentX()) / 2 - 4 * printer.ColumnSpace;
    bool first = true;
    const QString label =
        printer.Preview()
            ? modGeneral::LoadTransString(20906, QStringLiteral("Laying out sequence %1 of %2 for the preview..."))
            : modGeneral::LoadTransString(20905, QStringLiteral("Laying out sequence %1 of %2 for printing..."));
    const auto header = [&](const SequenceRecord& sequence) {
        if (first) {
            printer.drawRule(printer.CurrentX(), printer.CurrentY());
            printer.drawRule(printer.CurrentX() + printer.ColumnWidth + 2 * printer.ColumnSpace, printer.CurrentY());
            first = false;
        } else {
            printer.NewCol();
        }
        headerFont(printer);
        printer.TextOut(SequenceOutput::levelLine(sequence));
        if (!sequence.author.isEmpty()) {
            printer.TextOut(SequenceOutput::authorLine(sequence));
        }
        if (options.NotePrint == 1 && !sequence.note.isEmpty()) {
            printer.TextOut(SequenceOutput::noteLine(sequence));
        }
        return true;
    };
    const auto call = [&](const CallRecord& row) { printCall(printer, row, options); };
    if (!SequenceOutput::ForEachSequence(source, sequences, label, kProcName, progress, missing, header, call)) {
        printer.AbortDoc();
        return missing;
    }
    printer.EndDoc(progress);
    return missing;
}

} // namespace modPrint
