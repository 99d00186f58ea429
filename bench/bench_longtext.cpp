// Times the markup scan, the diagram parser and the printing of a call on texts far longer than
// any real call or diagram: call texts of 400,000 characters made of one marker, a diagram of
// 200,000 lines, and one call of 0.25, 1 and 4 MB printed into a PDF. Each must stay linear in the
// length, since the grids scan a call text on every paint and a printed call goes on over as many
// columns and pages as it needs.

#include "BenchSupport.h"
#include "Database.h"
#include "FigureDiagram.h"
#include "LibraryReader.h"
#include "MarkupScanner.h"
#include "PrintSequence.h"
#include "Statement.h"
#include "clsPrinter.h"
#include "modDataBase.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdio>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kRuns = 5;
constexpr double kTargetMs = 1000;
constexpr int kPrintRuns = 3;
constexpr double kPrintTargetMsPerMb = 2000;

void report(const char* what, const std::vector<Timing>& timings) {
    const Timing middle = median(timings);
    std::printf("%s: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n", what, middle.wall, middle.cpu,
                kRuns, kTargetMs, verdict(middle.wall <= kTargetMs));
}

// A call of about the given size: numbered words of everyday length.
QString longCall(qsizetype bytes) {
    QString text;
    text.reserve(bytes + 16);
    for (int word = 0; text.size() < bytes; ++word) {
        text += QStringLiteral("swing%1 thru ").arg(word);
    }
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TempHome work;
    QGuiApplication app(argc, argv);
    FailOnErrorReport errorBox;

    // One marker over and over: closing braces, line feeds, and unknown words "{x ".
    for (const char* piece : {"}", "\n", "{x "}) {
        const QString text = QString::fromLatin1(piece).repeated(400'000 / qsizetype(qstrlen(piece)));
        std::vector<Timing> timings;
        for (int run = 0; run < kRuns; ++run) {
            timings.push_back(timed([&] {
                if (modGraphics::scanMarkup(text).isEmpty()) {
                    fail(QStringLiteral("the scan found nothing"));
                }
            }));
        }
        const QByteArray what =
            "Markup scan of 400,000 characters of \"" + QByteArray(piece).replace("\n", "\\n") + "\"";
        report(what.constData(), timings);
    }

    QString diagram;
    for (int line = 0; line < 200'000; ++line) {
        diagram += QStringLiteral(" 1B^  .  2G<\r\n");
    }
    std::vector<Timing> timings;
    for (int run = 0; run < kRuns; ++run) {
        timings.push_back(timed([&] {
            if (modPrint::parseFigure(diagram).dancers.size() != 600'000) {
                fail(QStringLiteral("the diagram lost dancers"));
            }
        }));
    }
    report("Diagram of 200,000 lines", timings);

    // One sequence whose one call is long, printed into a PDF on A4 with two columns a page.
    const QString library = work.filePath(QStringLiteral("long.mdb"));
    modDataBase::CreateLibrary(library);
    Database db(library);
    for (const double megabytes : {0.25, 1.0, 4.0}) {
        db.exec(QStringLiteral("DELETE FROM tblCall"));
        db.exec(QStringLiteral("DELETE FROM tblSequence"));
        db.exec(
            QStringLiteral("INSERT INTO tblSequence (Level, Date, Time) VALUES ('Plus', '2026/01/02', '10:00:00')"));
        const qint64 key = db.lastInsertRowId();
        Statement call = db.prepare(QStringLiteral("INSERT INTO tblCall (Sequence, Number, Call) VALUES (?, 1, ?)"));
        call.bind(1, key).bind(2, longCall(static_cast<qsizetype>(megabytes * 1024 * 1024)));
        call.run();
        const QString pdf = work.filePath(QStringLiteral("long.pdf"));
        const double target = kPrintTargetMsPerMb * megabytes;
        std::vector<Timing> pdfRuns;
        std::vector<Timing> previewRuns;
        int pdfPages = 0;
        qsizetype previewPages = 0;
        for (int run = 0; run < kPrintRuns; ++run) {
            pdfRuns.push_back(timed([&] {
                QPdfWriter writer(pdf);
                writer.setResolution(1200);
                clsPrinter printer;
                printer.setPrinter(&writer);
                LibraryReader reader(db);
                modPrint::PrintSequence(reader, {key}, {}, printer);
                pdfPages = printer.pageCounter() + 1;
            }));
            // The pages as the preview shows them and a printer receives them.
            previewRuns.push_back(timed([&] {
                clsPrinter printer;
                printer.setPreview(true);
                LibraryReader reader(db);
                modPrint::PrintSequence(reader, {key}, {}, printer);
                previewPages = printer.pages().size();
            }));
        }
        const Timing pdfTime = median(pdfRuns);
        const Timing previewTime = median(previewRuns);
        std::printf("PDF of one call of %.2f MB: %.0f ms (CPU %.0f ms; median of %d), %d pages, %.1f MB  target <= "
                    "%.0f ms  %s\n",
                    megabytes, pdfTime.wall, pdfTime.cpu, kPrintRuns, pdfPages,
                    double(QFileInfo(pdf).size()) / (1024 * 1024), target, verdict(pdfTime.wall <= target));
        std::printf("Preview pages of one call of %.2f MB: %.0f ms (CPU %.0f ms; median of %d), %lld pages  target <= "
                    "%.0f ms  %s\n",
                    megabytes, previewTime.wall, previewTime.cpu, kPrintRuns, static_cast<long long>(previewPages),
                    target, verdict(previewTime.wall <= target));
    }
    return 0;
}
