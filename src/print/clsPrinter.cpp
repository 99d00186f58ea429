#include "clsPrinter.h"

#include "ErrorInfo.h"
#include "IPreviewForm.h"
#include "IProgress.h"
#include "PainterSurface.h"
#include "Translation.h"
#include "Twips.h"
#include "modSystem.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QTextLayout>
#include <cmath>
#include <stdexcept>

namespace {

constexpr double kTwipsPerMillimetre = Twips::PerInch / 25.4;
// Print output does not depend on the screen: dancers and pixel-sized details are those of a
// 96-dpi screen.
constexpr double kPrintPixel = 15.0;
// Rules and figure outlines on paper: 0.3 point. The preview draws them one screen pixel wide.
constexpr double kPaperLineWidth = 6.0;

void logError(const char* procedure, const std::exception& e) {
    modSystem::WriteErrorLog(QString::fromLatin1(procedure),
                             ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
}

// Characters laid out at a time: a text of any length is wrapped a stretch at a time, so that its
// time grows with its length and its memory stays that of one stretch.
constexpr qsizetype kStretch = 4096;

// Line ends of any kind become line separators, which the text layout breaks at.
QString breakableText(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    result.replace(QLatin1Char('\n'), QChar::LineSeparator);
    result.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return result;
}

// One stretch of a text wrapped into lines of a width. Its lines are all those of the whole text
// from start on but the last, which the end of the stretch may have cut short: next is where that
// line starts, or the end of the text when the stretch reaches it.
struct Stretch {
    std::unique_ptr<QTextLayout> layout;
    QList<QTextLine> lines;
    qsizetype next = 0;
};

Stretch layOut(const QString& text, qsizetype start, const QFont& font, QPaintDevice* device, double width) {
    qsizetype end = std::min(text.size(), start + kStretch);
    if (end < text.size() && text.at(end - 1).isHighSurrogate()) {
        --end;
    }
    Stretch stretch;
    stretch.layout = std::make_unique<QTextLayout>(text.mid(start, end - start), font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    stretch.layout->setTextOption(option);
    stretch.layout->beginLayout();
    for (QTextLine line = stretch.layout->createLine(); line.isValid(); line = stretch.layout->createLine()) {
        line.setLineWidth(std::max(0.0, width));
        line.setPosition(QPointF(0, 0));
        stretch.lines.append(line);
    }
    stretch.layout->endLayout();
    if (end == text.size() || stretch.lines.size() < 2) {
        stretch.next = end;
    } else {
        stretch.next = start + stretch.lines.takeLast().textStart();
    }
    return stretch;
}

// Hands the lines of the text from start on to visit in order, a stretch at a time, until it
// returns false.
template <typename Visit>
void forEachLine(const QString& text, qsizetype start, const QFont& font, QPaintDevice* device, double width,
                 Visit&& visit) {
    while (start < text.size()) {
        const Stretch stretch = layOut(text, start, font, device, width);
        for (const QTextLine& line : stretch.lines) {
            if (!visit(line)) {
                return;
            }
        }
        if (stretch.lines.isEmpty()) {
            return;
        }
        start = stretch.next;
    }
}

} // namespace

clsPrinter::clsPrinter()
    : m_pageSize(pageSizeTwips(pageSetup.PaperSize, pageSetup.Orientation)), m_font(QStringLiteral("Arial")) {
    m_font.setPixelSize(200);
    m_surface = std::make_unique<PainterSurface>(m_painter, QRectF(QPointF(0, 0), m_pageSize), kPrintPixel);
}

clsPrinter::~clsPrinter() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

double clsPrinter::marginLeft() const {
    return pageSetup.MarginLeft * kTwipsPerMillimetre;
}

double clsPrinter::marginTop() const {
    return pageSetup.MarginTop * kTwipsPerMillimetre;
}

double clsPrinter::marginRight() const {
    return pageSetup.MarginRight * kTwipsPerMillimetre;
}

double clsPrinter::marginBottom() const {
    return pageSetup.MarginBottom * kTwipsPerMillimetre;
}

double clsPrinter::ScaleHeight() const {
    return m_pageSize.height() - marginBottom();
}

double clsPrinter::ScaleWidth() const {
    return m_pageSize.width() - marginRight();
}

void clsPrinter::setFontName(const QString& name) {
    m_font.setFamily(name);
}

void clsPrinter::setFontSize(double points) {
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * Twips::PerPoint))));
}

void clsPrinter::setFontBold(bool bold) {
    m_font.setBold(bold);
}

void clsPrinter::setFontItalic(bool italic) {
    m_font.setItalic(italic);
}

void clsPrinter::setCurrentX(double x) {
    m_x = x;
    m_surface->setCurrentX(x);
}

void clsPrinter::setCurrentY(double y) {
    m_y = y;
    m_surface->setCurrentY(y);
}

IDrawSurface& clsPrinter::Object() {
    return *m_surface;
}

QPageLayout clsPrinter::pageLayout(int paperSize, int orientation) {
    QPageSize size(QPageSize::id(paperSize));
    if (!size.isValid()) {
        size = QPageSize(QPageSize::A4);
    }
    QPageLayout layout(size, orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

QSizeF clsPrinter::pageSizeTwips(int paperSize, int orientation) {
    return pageLayout(paperSize, orientation).fullRect(QPageLayout::Millimeter).size() * kTwipsPerMillimetre;
}

void clsPrinter::beginPicture() {
    m_page = QPicture();
    if (!m_painter.begin(&m_page)) {
        throw std::runtime_error("cannot start a preview page");
    }
}

void clsPrinter::endPicture() {
    if (m_painter.isActive() && m_painter.device() == &m_page) {
        m_painter.end();
        m_page.setBoundingRect(QRect(QPoint(0, 0), m_pageSize.toSize()));
        m_pages.append(m_page);
    }
}

void clsPrinter::drawRule(double x, double top) {
    if (!m_painter.isActive()) {
        return;
    }
    m_painter.setPen(QPen(Qt::black, m_preview ? 0.0 : kPaperLineWidth));
    m_painter.drawLine(QPointF(x, top), QPointF(x, ScaleHeight()));
}

void clsPrinter::StartDoc() {
    try {
        if (m_painter.isActive()) {
            m_painter.end();
        }
        m_pages.clear();
        m_pageCounter = 0;
        const QPageLayout layout = pageLayout(pageSetup.PaperSize, pageSetup.Orientation);
        m_pageSize = pageSizeTwips(pageSetup.PaperSize, pageSetup.Orientation);
        if (!m_preview && m_printer == nullptr) {
            throw std::runtime_error("no printer");
        }
        if (recordsPages()) {
            beginPicture();
        } else {
            m_printer->setPageLayout(layout);
            if (!m_painter.begin(m_printer)) {
                throw std::runtime_error("the printer cannot start a document");
            }
            Twips::setTwipsTransform(m_painter);
        }
        m_surface = std::make_unique<PainterSurface>(m_painter, QRectF(QPointF(0, 0), m_pageSize), kPrintPixel);
        m_surface->setLineWidth(m_preview ? 0.0 : kPaperLineWidth);
        setCurrentX(marginLeft());
        setCurrentY(marginTop());
    } catch (const std::exception& e) {
        logError("clsPrinter.StartDoc", e);
    }
}

void clsPrinter::EndDoc(IProgress* progress) {
    try {
        if (m_preview) {
            endPicture();
            if (m_form != nullptr) {
                m_form->showPages(m_pages, m_pageSize);
            }
        } else if (m_deferred) {
            endPicture();
            sendPages(progress);
        } else if (m_painter.isActive()) {
            endPrinterDocument();
        }
    } catch (const std::exception& e) {
        logError("clsPrinter.EndDoc", e);
    }
}

void clsPrinter::AbortDoc() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
    if (recordsPages()) {
        m_pages.clear();
    }
}

// The held-back pages are played onto the printer in the same twips they were laid out in.
void clsPrinter::sendPages(IProgress* progress) {
    if (m_printer == nullptr || m_pages.isEmpty()) {
        return;
    }
    m_printer->setPageLayout(pageLayout(pageSetup.PaperSize, pageSetup.Orientation));
    if (!m_painter.begin(m_printer)) {
        throw std::runtime_error("the printer cannot start a document");
    }
    Twips::setTwipsTransform(m_painter);
    // A picture plays itself enlarged from its own resolution to the device's; the pages hold
    // twips already, so that enlargement is taken back.
    const QPicture resolution;
    m_painter.scale(static_cast<double>(resolution.logicalDpiX()) / m_printer->logicalDpiX(),
                    static_cast<double>(resolution.logicalDpiY()) / m_printer->logicalDpiY());
    if (progress != nullptr) {
        progress->setCancellable(false);
    }
    const QString label = modGeneral::LoadTransString(20907, QStringLiteral("Sending page %1 of %2 to the printer..."));
    const qint64 total = m_pages.size();
    for (qint64 page = 0; page < total; ++page) {
        if (progress != nullptr) {
            progress->setLabel(modGeneral::MessageFormat(label, {page + 1, total}));
            progress->step(page, total);
        }
        if (page > 0) {
            m_printer->newPage();
        }
        m_painter.drawPicture(0, 0, m_pages.at(page));
    }
    endPrinterDocument();
    if (progress != nullptr) {
        progress->step(total, total);
    }
}

void clsPrinter::endPrinterDocument() {
    m_painter.end();
    if (m_jobCheck) {
        const QString refusal = m_jobCheck();
        if (!refusal.isEmpty()) {
            throw std::runtime_error(refusal.toLocal8Bit().toStdString());
        }
    }
}

double clsPrinter::columnHeight() const {
    return ScaleHeight() - marginTop();
}

double clsPrinter::measureText(const QString& text, double limit) {
    double height = 0;
    forEachLine(breakableText(text.isEmpty() ? QStringLiteral(" ") : text), 0, m_font, m_painter.device(), ColumnWidth,
                [&](const QTextLine& line) {
                    height += line.height();
                    return height <= limit;
                });
    return height;
}

void clsPrinter::TextOut(const QString& text) {
    try {
        if (!m_painter.isActive()) {
            return;
        }
        // A blank line (every call starts with one) is only measured: it draws nothing.
        if (text.isEmpty()) {
            LastTextHeight = blankHeight();
            if (m_y + LastTextHeight > ScaleHeight()) {
                NewCol();
            }
            setCurrentY(m_y + LastTextHeight);
            return;
        }
        // A block that does not fit below but fits a column starts in the next column. A block
        // taller than a column starts here; whatever does not fit goes on at the top of the next
        // column, a line at a time.
        const QString lines = breakableText(text);
        const Stretch first = layOut(lines, 0, m_font, m_painter.device(), ColumnWidth);
        double height = 0;
        if (first.next < lines.size()) {
            height = measureText(lines, columnHeight());
        } else {
            for (const QTextLine& line : first.lines) {
                height += line.height();
            }
        }
        if (m_y + height > ScaleHeight() && height <= columnHeight()) {
            NewCol();
        }
        m_painter.setPen(Qt::black);
        double drawn = 0;
        const auto draw = [&](const QTextLine& line) {
            if (m_y + line.height() > ScaleHeight() && m_y > marginTop()) {
                NewCol();
            }
            line.draw(&m_painter, QPointF(m_x + ColumnSpace, m_y));
            setCurrentY(m_y + line.height());
            drawn += line.height();
            return true;
        };
        for (const QTextLine& line : first.lines) {
            draw(line);
        }
        forEachLine(lines, first.next, m_font, m_painter.device(), ColumnWidth, draw);
        LastTextHeight = drawn;
    } catch (const std::exception& e) {
        logError("clsPrinter.TextOut", e);
    }
}

double clsPrinter::blankHeight() {
    for (const auto& [font, height] : std::as_const(m_blankHeights)) {
        if (font == m_font) {
            return height;
        }
    }
    const double height = measureText(QStringLiteral(" "));
    m_blankHeights.append({m_font, height});
    return height;
}

void clsPrinter::NewCol() {
    try {
        setCurrentX(m_x + ColumnWidth + 2 * ColumnSpace);
        setCurrentY(marginTop());
        if (m_x + ColumnWidth + ColumnSpace > ScaleWidth()) {
            NewPage();
        }
        drawRule(m_x + ColumnWidth + 2 * ColumnSpace, m_y);
    } catch (const std::exception& e) {
        logError("clsPrinter.NewCol", e);
    }
}

void clsPrinter::NewPage() {
    try {
        ++m_pageCounter;
        if (recordsPages()) {
            endPicture();
            beginPicture();
        } else if (m_printer != nullptr && m_painter.isActive()) {
            m_printer->newPage();
        }
        setCurrentX(marginLeft());
        setCurrentY(marginTop());
        drawRule(m_x, m_y);
        drawRule(m_x + ColumnWidth + 2 * ColumnSpace, m_y);
    } catch (const std::exception& e) {
        logError("clsPrinter.NewPage", e);
    }
}
