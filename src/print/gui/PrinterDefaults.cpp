#include "PrinterDefaults.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace PrinterDefaults {

namespace {

std::optional<QPageLayout> systemLayout() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return std::nullopt;
    }
    // A printer object on it starts with the printer's own paper and orientation.
    const QPrinter printer(info);
    QPageLayout layout = printer.pageLayout();
    if (info.defaultPageSize().isValid()) {
        layout.setPageSize(info.defaultPageSize());
    }
    return layout;
}

Source& source() {
    static Source current;
    return current;
}

} // namespace

PageSetup defaultPaper() {
    const std::optional<QPageLayout> layout = source() ? source()() : systemLayout();
    PageSetup paper;
    if (!layout) {
        return paper;
    }
    const int code = layout->pageSize().windowsId();
    if (code > 0 && QPageSize::id(code) != QPageSize::Custom) {
        paper.PaperSize = code;
    }
    paper.Orientation = layout->orientation() == QPageLayout::Landscape ? 2 : 1;
    return paper;
}

void setSource(Source source) {
    PrinterDefaults::source() = std::move(source);
}

} // namespace PrinterDefaults
