#pragma once

#include "IPreviewForm.h"

#include <QDialog>
#include <QPoint>

struct FormGeometry;
class PreviewPage;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The print preview: one composed page at a time in a scrolled viewport, stepped with the page
// buttons or PgUp/PgDn/Home/End, dragged with the left mouse button, zoomed to the whole page,
// the page width, real size or with Ctrl+wheel, and printed as shown with the Print button.
class frmPreview : public QDialog, public IPreviewForm {
    Q_OBJECT

public:
    // geometry: the window's position and size in twips; applied when it is first shown and
    // written back whenever it closes.
    explicit frmPreview(FormGeometry& geometry, QWidget* parent = nullptr);

    // Takes the pages and shows the window modally (returns at once); page 1 is shown first.
    void showPages(const QList<QPicture>& pages, const QSizeF& pageSize) override;

    const QList<QPicture>& pages() const { return m_pages; }
    // The page shown, counted from 0.
    int currentPage() const { return m_page; }
    void showPage(int index);
    void cmdPageNext_Click();
    void cmdPagePrevious_Click();

    // 1.0 shows the page at its real size.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomFitWidth();
    void zoomFitPage();

    void done(int result) override;

Q_SIGNALS:
    // The Print button: the document shown is to be printed.
    void printRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ZoomMode { Fixed, FitWidth, FitPage };

    QPushButton* button(const char* name, const QString& caption);
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void scrollPages();
    QSizeF realPagePixels() const;
    double fitZoom(bool widthOnly) const;
    bool dragMouse(QEvent* event);

    FormGeometry& m_geometry;
    QList<QPicture> m_pages;
    QSizeF m_pageSize;
    bool m_activated = false;
    bool m_placed = false;
    int m_page = 0;
    // The page fills the window's width until the user chooses another zoom; the choice stays for
    // the run.
    ZoomMode m_zoomMode = ZoomMode::FitWidth;
    double m_zoom = 1.0;

    // Dragging: the button held, the moves counted since the press, the scroll values at the
    // press and the mouse position the drag follows from.
    int m_button = 0;
    int m_moveCount = 0;
    int m_pressH = 0;
    int m_pressV = 0;
    QPoint m_anchor;

    QWidget* m_buttonRow = nullptr;
    QWidget* m_pageArea = nullptr;
    QLabel* m_label1 = nullptr;
    QLineEdit* m_txtPage = nullptr;
    QLabel* m_lblMaxPage = nullptr;
    QPushButton* m_cmdPagePrevious = nullptr;
    QPushButton* m_cmdPageNext = nullptr;
    QPushButton* m_cmdZoomPage = nullptr;
    QPushButton* m_cmdZoomWidth = nullptr;
    QPushButton* m_cmdZoom100 = nullptr;
    QPushButton* m_cmdPrint = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QWidget* m_picContainer1 = nullptr;
    QWidget* m_picContainer2 = nullptr;
    PreviewPage* m_picPreview = nullptr;
    QScrollBar* m_hsbHScroll = nullptr;
    QScrollBar* m_vsbVScroll = nullptr;
};
