#include "PdfOutput.h"

#include "IProgress.h"
#include "OutputFile.h"
#include "Translation.h"
#include "clsPrinter.h"

#include <QFileInfo>
#include <QPdfWriter>

namespace PdfOutput {

namespace {

constexpr int kResolution = 1200;

// The refusal of a library as the target, or the system's reason the file could not be written.
QString failure(const OutputFile& file) {
    return file.refusal() != OutputFile::Refusal::None
               ? modGeneral::TransMessage(file.refusalKey(), {file.path(), file.target()})
               : modGeneral::TransMessage(40171, {file.path(), file.errorString()});
}

} // namespace

Result PrintSequence(ISequenceSource& source, const QString& libraryPath, const QList<qint64>& sequences,
                     const modPrint::PrintOptions& options, clsPrinter& printer, const QString& path,
                     IProgress* progress) {
    Result result;
    OutputFile file(path);
    if (!file.open()) {
        result.error = failure(file);
        return result;
    }
    {
        QPdfWriter writer(&file.device());
        writer.setResolution(kResolution);
        writer.setCreator(QStringLiteral("VornReader"));
        // The document is named after the library.
        writer.setTitle(QFileInfo(libraryPath).completeBaseName());
        printer.setPreview(false);
        printer.setPrinter(&writer);
        result.missing = modPrint::PrintSequence(source, sequences, options, printer, progress);
        printer.setPrinter(nullptr);
    }
    if (progress != nullptr && progress->cancelled()) {
        file.discard();
        result.cancelled = true;
        result.missing.clear();
        return result;
    }
    if (!file.commit()) {
        result.error = failure(file);
        return result;
    }
    result.written = true;
    return result;
}

} // namespace PdfOutput
