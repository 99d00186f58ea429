// Times the markup scan and the diagram parser on texts far longer than any real call or diagram:
// call texts of 400,000 characters made of one marker, and a diagram of 200,000 lines. Each
// must stay linear in the length, since the grids scan a call text on every paint.

#include "BenchSupport.h"
#include "FigureDiagram.h"
#include "MarkupScanner.h"

#include <cstdio>
#include <vector>

using namespace BenchSupport;

namespace {

constexpr int kRuns = 5;
constexpr double kTargetMs = 1000;

void report(const char* what, const std::vector<Timing>& timings) {
    const Timing middle = median(timings);
    std::printf("%s: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n", what, middle.wall, middle.cpu,
                kRuns, kTargetMs, verdict(middle.wall <= kTargetMs));
}

} // namespace

int main() {
    TempHome work;
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
    return 0;
}
