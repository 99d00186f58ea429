#pragma once

#include "PageSetup.h"

#include <QFont>
#include <QList>
#include <QPainter>
#include <QPicture>
#include <QSizeF>
#include <functional>
#include <limits>
#include <memory>

class IDrawSurface;
class IPreviewForm;
class IProgress;
class PainterSurface;
class QPageLayout;
class QPagedPaintDevice;

// The page output device of printing and preview. It writes word-wrapped text in side-by-side
// columns, breaks columns and pages, and draws the column rules; the pages go to a printer (any
// paged device: a QPrinter or a PDF writer) or, in preview mode, into one recorded picture per
// page. Everything is painted in twips with fonts sized in twips, so the same document breaks its
// lines and pages identically on paper, in a PDF and in the preview.
//
// Calling order: setPreview (and setPrinter or setForm), ColumnSpace, StartDoc, then ColumnWidth
// and the font, TextOut, CurrentX/CurrentY and drawing on Object, NewCol/NewPage where the layout
// wants a break, and EndDoc.
class clsPrinter {
public:
    // Width of the text area of one column, in twips.
    double ColumnWidth = 0;
    // Height of the last text block TextOut wrote, in twips.
    double LastTextHeight = 0;
    // Space on each side of a column's text area, in twips.
    double ColumnSpace = 0;
    // Margins in millimetres (kept in twips where the pages are laid out), paper and orientation;
    // the paper source is kept and saved, not applied.
    PageSetup pageSetup;

    clsPrinter();
    ~clsPrinter();
    clsPrinter(const clsPrinter&) = delete;
    clsPrinter& operator=(const clsPrinter&) = delete;

    // The window EndDoc shows the preview pages in; nullptr shows nothing.
    void setForm(IPreviewForm* form) { m_form = form; }
    // The device of printer mode; the caller keeps it alive until EndDoc.
    void setPrinter(QPagedPaintDevice* device) { m_printer = device; }
    // Asked once a document has gone to the printer: why the print service refused it, empty
    // when it took it. A refusal is reported as the document's failure. Unset, nothing is asked.
    void setJobCheck(std::function<QString()> check) { m_jobCheck = std::move(check); }
    bool Preview() const { return m_preview; }
    void setPreview(bool preview) { m_preview = preview; }
    // Printer mode that holds the pages back: they are laid out as pictures and reach the printer
    // device only at EndDoc, so that a document given up with AbortDoc sends nothing.
    bool Deferred() const { return m_deferred; }
    void setDeferred(bool deferred) { m_deferred = deferred; }

    // The lowest usable y and the rightmost usable x of the page, in twips.
    double ScaleHeight() const;
    double ScaleWidth() const;

    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);

    // The remembered current point; drawing on Object does not change it.
    double CurrentX() const { return m_x; }
    double CurrentY() const { return m_y; }
    void setCurrentX(double x);
    void setCurrentY(double y);

    // The current page as a drawing surface (figures are drawn there); valid while a document is
    // open.
    IDrawSurface& Object();
    bool isDocumentOpen() const { return m_painter.isActive(); }

    // Writes text word-wrapped in the current column: in the next column when it does not fit below
    // but fits a column; a text taller than a column goes on at the top of the next columns.
    void TextOut(const QString& text);
    void StartDoc();
    // Ends the document: shows the preview pages, or sends the held-back pages to the printer (the
    // progress, if any, follows them page by page and can no longer stop them).
    void EndDoc(IProgress* progress = nullptr);
    // Gives the document up: preview and held-back pages are dropped unshown and unsent. A printer
    // device written directly has had its pages; its output is the caller's to discard.
    void AbortDoc();
    void NewCol();
    void NewPage();

    // The height TextOut would give the text in the current font and column width; the count stops
    // at the first line that takes it past limit.
    double measureText(const QString& text, double limit = std::numeric_limits<double>::infinity());
    // The height of a column, from the top margin to the bottom margin.
    double columnHeight() const;
    // A black vertical rule at x from top down to ScaleHeight.
    void drawRule(double x, double top);

    // The preview pages of the last document and their size in twips.
    const QList<QPicture>& pages() const { return m_pages; }
    QSizeF pageSize() const { return m_pageSize; }
    // Page breaks since StartDoc.
    int pageCounter() const { return m_pageCounter; }

    // The full-page layout of a Windows paper code (A4 when it is unknown) and orientation.
    static QPageLayout pageLayout(int paperSize, int orientation);
    // Its size in twips.
    static QSizeF pageSizeTwips(int paperSize, int orientation);

private:
    void beginPicture();
    void endPicture();
    bool recordsPages() const { return m_preview || m_deferred; }
    void sendPages(IProgress* progress);
    void endPrinterDocument();
    double blankHeight();
    // The margins in twips.
    double marginLeft() const;
    double marginTop() const;
    double marginRight() const;
    double marginBottom() const;

    IPreviewForm* m_form = nullptr;
    QPagedPaintDevice* m_printer = nullptr;
    std::function<QString()> m_jobCheck;
    bool m_preview = false;
    bool m_deferred = false;
    QSizeF m_pageSize;
    int m_pageCounter = 0;
    double m_x = 0;
    double m_y = 0;
    QFont m_font;
    QPainter m_painter;
    QPicture m_page;
    QList<QPicture> m_pages;
    std::unique_ptr<PainterSurface> m_surface;
    // The height of a blank line by font (a print uses a few fonts, looked up for every call).
    QList<std::pair<QFont, double>> m_blankHeights;
};
