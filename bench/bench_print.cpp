// Times printing and spreadsheet output on a library of 100,000 sequences with about 2.5 million
// calls: a PDF of 1,000 sequences (with the process's peak resident memory), an .xlsx of the same
// 1,000 sequences, and the print preview of 100 sequences up to its first page on screen. The
// sequences are spread evenly over the whole library. The library is generated once and kept in
// the build folder; the run reads a copy.

#include "BenchLibrary.h"
#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "HomeSeeder.h"
#include "LibraryReader.h"
#include "PrintSequence.h"
#include "Settings.h"
#include "Statement.h"
#include "clsPrinter.h"
#include "frmPreview.h"
#include "modExcel.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <cstdio>
#include <vector>

using namespace BenchSupport;
using BenchLibrary::count;

namespace {

constexpr int kPreviewSequences = 100;
constexpr int kOutputSequences = 1000;
constexpr int kPreviewRuns = 5;
constexpr int kPdfRuns = 3;
constexpr int kXlsxRuns = 5;
constexpr double kPreviewTargetMs = 1000;
constexpr double kPdfTargetMs = 2500;
constexpr double kPdfMemoryTargetMb = 400;
constexpr double kXlsxTargetMs = 1000;

// Every n-th sequence in stored list order, n chosen to give count sequences.
QList<qint64> spread(Database& db, int wanted) {
    QList<qint64> keys;
    const int step = BenchLibrary::kSequences / wanted;
    Statement list = db.prepare(QStringLiteral("SELECT Sequence FROM tblSequence ORDER BY Date, Time"));
    for (int row = 0; list.step(); ++row) {
        if (row % step == step / 2) {
            keys.append(list.int64(0));
        }
    }
    return keys;
}

// The calls of the sequences and how many of them have a figure.
std::pair<qint64, qint64> callsOf(Database& db, const QList<qint64>& keys) {
    qint64 calls = 0;
    qint64 figures = 0;
    Statement query = db.prepare(QStringLiteral("SELECT count(*), sum(Figure <> '') FROM tblCall WHERE Sequence = ?"));
    for (const qint64 key : keys) {
        query.reset();
        query.bind(1, key);
        query.step();
        calls += query.int64(0);
        figures += query.int64(1);
    }
    return {calls, figures};
}

// The peak resident memory of the process so far, in MB.
double peakResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TempHome work;
    QApplication app(argc, argv);
    FailOnErrorReport errorBox;
    HomeSeeder::SeedApplicationHome();
    try {
        const QString path = work.filePath(QStringLiteral("library.mdb"));
        BenchLibrary::copyTo(path);
        Database db(path);
        const QList<qint64> thousand = spread(db, kOutputSequences);
        const QList<qint64> hundred = spread(db, kPreviewSequences);
        const auto [thousandCalls, thousandFigures] = callsOf(db, thousand);
        const auto [hundredCalls, hundredFigures] = callsOf(db, hundred);
        std::printf("Library: %lld sequences, %lld calls; %lld sequences chosen (%lld calls, %lld with a figure) "
                    "and %lld (%lld calls, %lld with a figure)\n",
                    count(db, QStringLiteral("SELECT count(*) FROM tblSequence")),
                    count(db, QStringLiteral("SELECT count(*) FROM tblCall")), qint64(thousand.size()), thousandCalls,
                    thousandFigures, qint64(hundred.size()), hundredCalls, hundredFigures);
        modPrint::PrintOptions options = modPrint::PrintOptions::fromSettings(settings());
        options.NotePrint = 1;

        // (a) The PDF of 1,000 sequences, first, so that the peak memory is the PDF's.
        const QString pdf = work.filePath(QStringLiteral("sequences.pdf"));
        std::vector<Timing> pdfRuns;
        int pdfPages = 0;
        for (int run = 0; run < kPdfRuns; ++run) {
            pdfRuns.push_back(timed([&] {
                QPdfWriter writer(pdf);
                writer.setResolution(1200);
                clsPrinter printer;
                printer.setPrinter(&writer);
                LibraryReader reader(db);
                modPrint::PrintSequence(reader, thousand, options, printer);
                pdfPages = printer.pageCounter() + 1;
            }));
        }
        const double pdfMemory = peakResidentMb();
        const double pdfSize = double(QFileInfo(pdf).size()) / (1024 * 1024);

        // Not a target: the same layout without the PDF, which shows what the PDF writing costs.
        const Timing layoutOnly = timed([&] {
            clsPrinter printer;
            printer.setPreview(true);
            LibraryReader reader(db);
            modPrint::PrintSequence(reader, thousand, options, printer);
        });

        // (b) The spreadsheet of the same 1,000 sequences.
        const QString xlsx = work.filePath(QStringLiteral("sequences.xlsx"));
        std::vector<Timing> xlsxRuns;
        for (int run = 0; run < kXlsxRuns; ++run) {
            modExcel::ExcelResult result;
            xlsxRuns.push_back(timed([&] {
                LibraryReader reader(db);
                result = modExcel::ExcelOutSequence(reader, thousand, 1, xlsx);
            }));
            if (!result.written || result.leftOut != 0 || !result.missing.isEmpty()) {
                fail(QStringLiteral("the spreadsheet was not written: ") + result.error);
            }
        }

        // (c) The preview of 100 sequences until its first page is painted.
        FormGeometry geometry{0, 0, 12000, 12000};
        frmPreview preview(geometry);
        std::vector<Timing> previewRuns;
        int previewPages = 0;
        for (int run = 0; run < kPreviewRuns; ++run) {
            previewRuns.push_back(timed([&] {
                clsPrinter printer;
                printer.setPreview(true);
                printer.setForm(&preview);
                LibraryReader reader(db);
                modPrint::PrintSequence(reader, hundred, options, printer);
                previewPages = static_cast<int>(printer.pages().size());
                preview.grab();
            }));
            preview.close();
            QCoreApplication::processEvents();
        }
        if (pdfPages < kOutputSequences / 2 || previewPages < kPreviewSequences / 2 ||
            preview.pages().size() != previewPages) {
            fail(QStringLiteral("%1 PDF pages, %2 preview pages").arg(pdfPages).arg(previewPages));
        }

        const Timing pdfTime = median(pdfRuns);
        std::printf("(a) PDF of %d sequences: %.0f ms (CPU %.0f ms; median of %d), %d pages, %.1f MB  target <= %.0f "
                    "ms  %s\n",
                    kOutputSequences, pdfTime.wall, pdfTime.cpu, kPdfRuns, pdfPages, pdfSize, kPdfTargetMs,
                    verdict(pdfTime.wall <= kPdfTargetMs));
        std::printf("    peak resident memory of the process after the PDFs: %.0f MB  target <= %.0f MB  %s\n",
                    pdfMemory, kPdfMemoryTargetMb, verdict(pdfMemory > 0 && pdfMemory <= kPdfMemoryTargetMb));
        const Timing xlsxTime = median(xlsxRuns);
        std::printf("(b) .xlsx of %d sequences: %.0f ms (CPU %.0f ms; median of %d), %.1f MB  target <= %.0f ms  "
                    "%s\n",
                    kOutputSequences, xlsxTime.wall, xlsxTime.cpu, kXlsxRuns,
                    double(QFileInfo(xlsx).size()) / (1024 * 1024), kXlsxTargetMs,
                    verdict(xlsxTime.wall <= kXlsxTargetMs));
        double pictureMb = 0;
        for (const QPicture& page : preview.pages()) {
            pictureMb += double(page.size()) / (1024 * 1024);
        }
        const Timing previewTime = median(previewRuns);
        std::printf("(c) Preview of %d sequences to the first page shown: %.0f ms (CPU %.0f ms; median of %d), "
                    "%d pages holding %.1f MB  target <= %.0f ms  %s\n",
                    kPreviewSequences, previewTime.wall, previewTime.cpu, kPreviewRuns, previewPages, pictureMb,
                    kPreviewTargetMs, verdict(previewTime.wall <= kPreviewTargetMs));
        std::printf("    diagnosis: the %d sequences of (a) laid out as preview pages, without a PDF: %.0f ms (CPU "
                    "%.0f ms; one run, no target)\n",
                    kOutputSequences, layoutOnly.wall, layoutOnly.cpu);
    } catch (const DbError& error) {
        fail(error.message());
    }
    return 0;
}
