// Call text with markup: the scan, RemoveMarkup, and TextOut's layout on a small image.

#include "FuzzSupport.h"
#include "MarkupScanner.h"
#include "modGraphics.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

using modGraphics::MarkupToken;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The font engine's remarks about the fonts it finds are no findings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz_markup";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = FuzzSupport::text(data, size);
    const QList<MarkupToken> tokens = modGraphics::scanMarkup(text);

    // The tokens put back together give the text: an open tag lost only its blank.
    QString rebuilt;
    QString plain;
    int depth = 0;
    for (const MarkupToken& token : tokens) {
        switch (token.kind) {
        case MarkupToken::Kind::Text:
            FuzzSupport::check(!token.text.isEmpty(), "text runs are never empty");
            rebuilt += token.text;
            plain += token.text;
            break;
        case MarkupToken::Kind::Open:
            FuzzSupport::check(modGraphics::markupTag(token.text) == token.tag, "an open token names its tag");
            rebuilt += token.text + QLatin1Char(' ');
            ++depth;
            break;
        case MarkupToken::Kind::Close:
            FuzzSupport::check(depth > 0, "a close token has a level to close");
            rebuilt += token.text;
            --depth;
            break;
        case MarkupToken::Kind::StrayClose:
            FuzzSupport::check(depth == 0, "a stray close comes with only the base level open");
            rebuilt += token.text;
            break;
        case MarkupToken::Kind::LineFeed:
            rebuilt += token.text;
            break;
        }
    }
    FuzzSupport::check(rebuilt == text, "the tokens cover the text");
    FuzzSupport::check(modGraphics::RemoveMarkup(text) == plain, "RemoveMarkup keeps exactly the text runs");

    // Long texts only repeat the font engine's work.
    if (text.size() <= 512) {
        QImage image(120, 60, QImage::Format_RGB32);
        QPainter painter(&image);
        const QFont entry = painter.font();
        const qreal height = modGraphics::TextOut(painter, text, 2, 2, 118, 58, QFont(QStringLiteral("Arial"), 9), 2);
        FuzzSupport::check(std::isfinite(height) && height >= 0, "TextOut reports a height");
        FuzzSupport::check(painter.font() == entry, "TextOut gives the entry font back");
    }
    return 0;
}
