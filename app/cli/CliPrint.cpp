#include "CliPrint.h"

#include "CliOptions.h"
#include "CliProgress.h"
#include "Database.h"
#include "LibraryReader.h"
#include "PdfOutput.h"
#include "Settings.h"
#include "clsPrinter.h"
#include "modExcel.h"

#include <QPageSize>
#include <cstdio>
#include <optional>

namespace CliPrint {

namespace {

constexpr double kMaxMargin = 50;

void error(const QString& text) {
    CliProgress::clearLine();
    std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(text));
}

int usage(const QString& text) {
    error(text);
    std::fputs("Try 'vornreader-cli --help'.\n", stderr);
    return 2;
}

std::optional<QList<qint64>> sequenceNumbers(const QStringList& words) {
    QList<qint64> sequences;
    for (const QString& word : words) {
        bool ok = false;
        const qint64 sequence = word.toLongLong(&ok);
        if (!ok || sequence < 1) {
            usage(QStringLiteral("\"%1\" is not a sequence number").arg(word));
            return std::nullopt;
        }
        sequences.append(sequence);
    }
    return sequences;
}

void reportMissing(const QList<qint64>& missing) {
    for (const qint64 sequence : missing) {
        error(QStringLiteral("sequence %1 does not exist").arg(sequence));
    }
}

// The Windows paper code of a paper name ("A4", "letter", ...); 0 when there is none.
int paperCode(const QString& name) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size).compare(name, Qt::CaseInsensitive) == 0) {
            const int code = QPageSize::windowsId(size);
            return QPageSize::id(code) == size ? code : 0;
        }
    }
    return 0;
}

} // namespace

bool needsGui(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--author")) {
            ++i;
        } else if (arguments[i] == QLatin1String("--")) {
            return i + 1 < arguments.size() && arguments[i + 1] == QLatin1String("print");
        } else if (!arguments[i].startsWith(QLatin1Char('-'))) {
            return arguments[i] == QLatin1String("print");
        }
    }
    return false;
}

int commandPrint(QStringList arguments, const WithLibrary& withLibrary) {
    QString pdf;
    int paper = 9;
    int orientation = 1;
    double margins = 10;
    for (qsizetype i = 0; i < CliOptions::optionsEnd(arguments);) {
        const QString option = arguments[i];
        if (option == QLatin1String("--landscape")) {
            orientation = 2;
            arguments.remove(i);
            continue;
        }
        if (option != QLatin1String("--pdf") && option != QLatin1String("--paper") &&
            option != QLatin1String("--margins")) {
            ++i;
            continue;
        }
        if (i + 1 >= CliOptions::optionsEnd(arguments)) {
            return usage(option + QStringLiteral(" needs a value"));
        }
        const QString value = arguments[i + 1];
        arguments.remove(i, 2);
        if (option == QLatin1String("--pdf")) {
            pdf = value;
        } else if (option == QLatin1String("--paper")) {
            paper = paperCode(value);
            if (paper == 0) {
                return usage(QStringLiteral("unknown paper \"%1\" (A4, A3, A5, B5, Letter, Legal, ...)").arg(value));
            }
        } else {
            bool ok = false;
            margins = value.toDouble(&ok);
            if (!ok || margins < 0 || margins > kMaxMargin) {
                return usage(QStringLiteral("--margins takes millimetres from 0 to %1").arg(kMaxMargin));
            }
        }
    }
    arguments = CliOptions::operands(arguments);
    if (pdf.isEmpty()) {
        return usage(QStringLiteral("print needs --pdf FILE"));
    }
    if (arguments.size() < 2) {
        return usage(QStringLiteral("print takes a LIBRARY and at least one SEQUENCE"));
    }
    const std::optional<QList<qint64>> sequences = sequenceNumbers(arguments.mid(1));
    if (!sequences) {
        return 2;
    }
    return withLibrary(arguments.front(), [&](Database& db) {
        clsPrinter printer;
        printer.pageSetup = {margins, margins, margins, margins, paper, orientation};
        PdfOutput::Result result;
        {
            CliProgress progress;
            LibraryReader reader(db);
            result =
                PdfOutput::PrintSequence(reader, db.path(), *sequences,
                                         modPrint::PrintOptions::fromSettings(settings()), printer, pdf, &progress);
        }
        if (!result.written) {
            error(result.error);
            return 1;
        }
        reportMissing(result.missing);
        return result.missing.isEmpty() ? 0 : 1;
    });
}

int commandXlsx(const QStringList& words, const WithLibrary& withLibrary) {
    const QStringList arguments = CliOptions::operands(words);
    if (arguments.size() < 3) {
        return usage(QStringLiteral("xlsx takes a LIBRARY, at least one SEQUENCE and a FILE"));
    }
    const QString file = arguments.back();
    if (!file.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        return usage(QStringLiteral("\"%1\" is not a spreadsheet file name (it must end in .xlsx)").arg(file));
    }
    const std::optional<QList<qint64>> sequences = sequenceNumbers(arguments.mid(1, arguments.size() - 2));
    if (!sequences) {
        return 2;
    }
    return withLibrary(arguments.front(), [&](Database& db) {
        modExcel::ExcelResult result;
        {
            CliProgress progress;
            LibraryReader reader(db);
            result = modExcel::ExcelOutSequence(reader, *sequences, settings().NotePrint, file, &progress);
        }
        if (!result.written) {
            error(result.error);
            return 1;
        }
        reportMissing(result.missing);
        if (result.leftOut > 0) {
            error(QStringLiteral("%1 sequences left out: a sheet holds at most %2 columns")
                      .arg(result.leftOut)
                      .arg(modExcel::MaxColumns));
        }
        return result.missing.isEmpty() && result.leftOut == 0 ? 0 : 1;
    });
}

} // namespace CliPrint
