#include "PrintSequence.h"

#include "Database.h"
#include "DbError.h"
#include "IProgress.h"
#include "clsPrinter.h"
#include "modGeneral.h"
#include "modGraphics.h"
#include "modPrint.h"
#include "modSystem.h"

#include <exception>

namespace modPrint {

namespace {

const QString kProcName = QStringLiteral("modPrint.PrintSequence");
constexpr double kColumnSpace = 100;
constexpr float kPrintPixel = 15.0f;

void logError(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e)) {
        modSystem::WriteErrorLog(kProcName, db->info());
    } else {
        modSystem::WriteErrorLog(kProcName, ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
    }
}

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

struct CallRow {
    QString call;
    QString figure;
    QString note;
    QString hexInfo;
};

// One call: a blank line, the call text, its note and its figure. The call text, the note and the
// figure stay together in one column when they fit one; a call taller than a column goes on in
// the next, and its figure then follows where it ends, in the next column if it does not fit there.
void printCall(clsPrinter& printer, const CallRow& row, const PrintOptions& options) {
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

PrintOptions PrintOptions::fromSettings(const Settings& settings) {
    PrintOptions options;
    options.NotePrint = settings.NotePrint;
    options.FormationPrint = settings.FormationPrint;
    options.HexMode = settings.HexMode;
    options.printFont = settings.printFont;
    return options;
}

QList<qint64> PrintSequence(Database& db, const QList<qint64>& sequences, const PrintOptions& options,
                            clsPrinter& printer, IProgress* progress) {
    QList<qint64> missing;
    printer.ColumnSpace = kColumnSpace;
    printer.StartDoc();
    printer.ColumnWidth = (printer.ScaleWidth() - printer.CurrentX()) / 2 - 4 * printer.ColumnSpace;
    try {
        Statement seek =
            db.prepare(QStringLiteral("SELECT Level, Date, Time, Author, Note FROM tblSequence WHERE Sequence = ?"));
        // The calls by the sequence's key: two sequences may share a level, date and time.
        Statement calls = db.prepare(QStringLiteral("SELECT Sequence, Number, Call, Figure, Note, HexInfo FROM tblCall "
                                                    "WHERE Sequence = ? ORDER BY Number"));
        bool first = true;
        const QString label =
            printer.Preview()
                ? modGeneral::LoadTransString(20906, QStringLiteral("Laying out sequence %1 of %2 for the preview..."))
                : modGeneral::LoadTransString(20905, QStringLiteral("Laying out sequence %1 of %2 for printing..."));
        const qint64 total = sequences.size();
        qint64 done = 0;
        for (const qint64 key : sequences) {
            if (progress != nullptr) {
                progress->setLabel(modGeneral::MessageFormat(label, {done + 1, total}));
                if (!progress->step(done, total)) {
                    printer.AbortDoc();
                    return missing;
                }
            }
            ++done;
            try {
                seek.reset();
                seek.bind(1, key);
                if (!seek.step()) {
                    missing.append(key);
                    continue;
                }
                const QString level = seek.text(0);
                const QString date = seek.text(1);
                const QString time = seek.text(2);
                const QString author = seek.text(3);
                const QString note = seek.text(4);
                if (first) {
                    printer.drawRule(printer.CurrentX(), printer.CurrentY());
                    printer.drawRule(printer.CurrentX() + printer.ColumnWidth + 2 * printer.ColumnSpace,
                                     printer.CurrentY());
                    first = false;
                } else {
                    printer.NewCol();
                }
                headerFont(printer);
                printer.TextOut(QStringLiteral("Level : ") + level + QStringLiteral("    Create : ") + date +
                                QLatin1Char(' ') + time);
                if (!author.isEmpty()) {
                    printer.TextOut(QStringLiteral("Author : ") + author);
                }
                if (options.NotePrint == 1 && !note.isEmpty()) {
                    printer.TextOut(QStringLiteral("Note : ") + note);
                }
                calls.reset();
                calls.bind(1, key);
                while (calls.step()) {
                    try {
                        printCall(printer, {calls.text(2), calls.text(3), calls.text(4), calls.text(5)}, options);
                    } catch (const std::exception& e) {
                        logError(e);
                    }
                }
            } catch (const std::exception& e) {
                logError(e);
            }
        }
        if (!progressStep(progress, total, total)) {
            printer.AbortDoc();
            return missing;
        }
    } catch (const std::exception& e) {
        logError(e);
    }
    printer.EndDoc(progress);
    return missing;
}

} // namespace modPrint
