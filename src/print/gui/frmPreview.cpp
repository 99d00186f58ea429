#include "frmPreview.h"

#include "PreviewPage.h"
#include "Settings.h"
#include "Twips.h"
#include "modGeneral.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
constexpr double kWheelZoomStep = 1.15;
// Room left around a page fitted into the viewport, in pixels.
constexpr int kFitMargin = 8;

} // namespace

frmPreview::frmPreview(FormGeometry& geometry, QWidget* parent) : QDialog(parent), m_geometry(geometry) {
    setObjectName(QStringLiteral("frmPreview"));
    setSizeGripEnabled(true);

    m_buttonRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(6, 4, 6, 4);
    m_label1 = new QLabel(m_buttonRow);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtPage = new QLineEdit(m_buttonRow);
    m_txtPage->setObjectName(QStringLiteral("txtPage"));
    m_txtPage->setReadOnly(true);
    m_txtPage->setFocusPolicy(Qt::NoFocus);
    m_txtPage->setAlignment(Qt::AlignRight);
    m_txtPage->setFixedWidth(m_txtPage->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    m_lblMaxPage = new QLabel(m_buttonRow);
    m_lblMaxPage->setObjectName(QStringLiteral("lblMaxPage"));
    m_cmdPagePrevious = button("cmdPagePrevious", QStringLiteral("<"));
    m_cmdPageNext = button("cmdPageNext", QStringLiteral(">"));
    m_cmdZoomPage = button("cmdZoomPage", {});
    m_cmdZoomWidth = button("cmdZoomWidth", {});
    m_cmdZoom100 = button("cmdZoom100", {});
    m_cmdPrint = button("cmdPrint", {});
    m_cmdClose = button("cmdClose", {});
    row->addWidget(m_label1);
    row->addWidget(m_txtPage);
    row->addWidget(m_lblMaxPage);
    row->addSpacing(12);
    row->addWidget(m_cmdPagePrevious);
    row->addWidget(m_cmdPageNext);
    row->addSpacing(12);
    row->addWidget(m_cmdZoomPage);
    row->addWidget(m_cmdZoomWidth);
    row->addWidget(m_cmdZoom100);
    row->addStretch(1);
    row->addWidget(m_cmdPrint);
    row->addWidget(m_cmdClose);

    // Below the button row, the area the viewport and its scroll bars share.
    m_pageArea = new QWidget(this);
    m_pageArea->setMinimumHeight(10 * fontMetrics().height());
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addWidget(m_buttonRow);
    form->addWidget(m_pageArea, 1);

    m_picContainer1 = new QWidget(m_pageArea);
    m_picContainer1->setObjectName(QStringLiteral("picContainer1"));
    m_picContainer1->setAutoFillBackground(true);
    m_picContainer1->setBackgroundRole(QPalette::Dark);
    m_picContainer2 = new QWidget(m_picContainer1);
    m_picContainer2->setObjectName(QStringLiteral("picContainer2"));
    m_picPreview = new PreviewPage(m_picContainer2);
    m_hsbHScroll = new QScrollBar(Qt::Horizontal, m_pageArea);
    m_hsbHScroll->setObjectName(QStringLiteral("hsbHScroll"));
    m_vsbVScroll = new QScrollBar(Qt::Vertical, m_pageArea);
    m_vsbVScroll->setObjectName(QStringLiteral("vsbVScroll"));
    for (QScrollBar* bar : {m_hsbHScroll, m_vsbVScroll}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setSingleStep(20);
        connect(bar, &QScrollBar::valueChanged, this, &frmPreview::scrollPages);
    }
    for (QWidget* surface : {m_picContainer1, m_picContainer2, static_cast<QWidget*>(m_picPreview)}) {
        surface->installEventFilter(this);
    }
    m_pageArea->installEventFilter(this);

    connect(m_cmdPagePrevious, &QPushButton::clicked, this, &frmPreview::cmdPagePrevious_Click);
    connect(m_cmdPageNext, &QPushButton::clicked, this, &frmPreview::cmdPageNext_Click);
    connect(m_cmdZoomPage, &QPushButton::clicked, this, &frmPreview::zoomFitPage);
    connect(m_cmdZoomWidth, &QPushButton::clicked, this, &frmPreview::zoomFitWidth);
    connect(m_cmdZoom100, &QPushButton::clicked, this, [this] { setZoom(1.0); });
    connect(m_cmdPrint, &QPushButton::clicked, this, &frmPreview::printRequested);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::close);
    Form_Load();
}

QPushButton* frmPreview::button(const char* name, const QString& caption) {
    auto* item = new QPushButton(caption, m_buttonRow);
    item->setObjectName(QString::fromLatin1(name));
    item->setAutoDefault(false);
    item->setFocusPolicy(Qt::NoFocus);
    return item;
}

void frmPreview::Form_Load() {
    setWindowTitle(modGeneral::LoadTransString(20400));
    m_cmdClose->setText(modGeneral::LoadTransString(20491));
    m_cmdPrint->setText(modGeneral::LoadTransString(20492));
    m_label1->setText(modGeneral::LoadTransString(20401));
    m_cmdZoomPage->setText(modGeneral::LoadTransString(20402));
    m_cmdZoomWidth->setText(modGeneral::LoadTransString(20403));
    m_cmdZoom100->setText(modGeneral::LoadTransString(20404));
    m_activated = false;
}

void frmPreview::showPages(const QList<QPicture>& pages, const QSizeF& pageSize) {
    m_pages = pages;
    if (m_pages.isEmpty()) {
        m_pages.append(QPicture());
    }
    m_pageSize = pageSize;
    if (!m_placed) {
        m_placed = true;
        const double perPixelX = Twips::perPixelX(*this);
        const double perPixelY = Twips::perPixelY(*this);
        move(static_cast<int>(std::lround(m_geometry.FormLeft / perPixelX)),
             static_cast<int>(std::lround(m_geometry.FormTop / perPixelY)));
        resize(std::max(320, static_cast<int>(std::lround(m_geometry.FormWidth / perPixelX))),
               std::max(240, static_cast<int>(std::lround(m_geometry.FormHeight / perPixelY))));
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void frmPreview::Form_Activate() {
    if (m_activated) {
        return;
    }
    m_activated = true;
    m_page = 0;
    m_picPreview->setPage(m_pages.value(0), m_pageSize);
    m_txtPage->setText(QStringLiteral("1"));
    m_lblMaxPage->setText(QStringLiteral("/ ") + QString::number(m_pages.size()));
    const bool stepping = m_pages.size() >= 2;
    m_cmdPagePrevious->setEnabled(stepping);
    m_cmdPageNext->setEnabled(stepping);
    m_hsbHScroll->setValue(0);
    m_vsbVScroll->setValue(0);
    layout()->activate();
    Form_Resize();
}

void frmPreview::done(int result) {
    const double perPixelX = Twips::perPixelX(*this);
    const double perPixelY = Twips::perPixelY(*this);
    const QRect frame = frameGeometry();
    m_geometry = {
        static_cast<int>(std::lround(frame.left() * perPixelX)), static_cast<int>(std::lround(frame.top() * perPixelY)),
        static_cast<int>(std::lround(width() * perPixelX)), static_cast<int>(std::lround(height() * perPixelY))};
    m_activated = false;
    m_button = 0;
    QDialog::done(result);
}

void frmPreview::showPage(int index) {
    if (m_pages.isEmpty()) {
        return;
    }
    m_page = std::clamp(index, 0, static_cast<int>(m_pages.size()) - 1);
    m_txtPage->setText(QString::number(m_page + 1));
    m_picPreview->setPage(m_pages.at(m_page), m_pageSize);
}

void frmPreview::cmdPageNext_Click() {
    showPage(m_page + 1);
}

void frmPreview::cmdPagePrevious_Click() {
    showPage(m_page - 1);
}

QSizeF frmPreview::realPagePixels() const {
    return {m_pageSize.width() / Twips::perPixelX(*this), m_pageSize.height() / Twips::perPixelY(*this)};
}

double frmPreview::fitZoom(bool widthOnly) const {
    const QSizeF page = realPagePixels();
    if (page.width() <= 0 || page.height() <= 0) {
        return 1.0;
    }
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double across = m_pageArea->width() - (widthOnly ? bar : 0) - 2 * kFitMargin;
    const double down = m_pageArea->height() - 2 * kFitMargin;
    const double zoom = widthOnly ? across / page.width() : std::min(across / page.width(), down / page.height());
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

void frmPreview::setZoom(double zoom) {
    m_zoomMode = ZoomMode::Fixed;
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    Form_Resize();
}

void frmPreview::zoomFitWidth() {
    m_zoomMode = ZoomMode::FitWidth;
    Form_Resize();
}

void frmPreview::zoomFitPage() {
    m_zoomMode = ZoomMode::FitPage;
    Form_Resize();
}

// Lays the page area out (the button row above it is laid out by the window's layout): the
// viewport with its scroll bars along the right and bottom edges, and the frame sized to the page.
// The bars cover the part of the page that does not fit; in a direction where the page is
// smaller, it is centred.
void frmPreview::Form_Resize() {
    if (m_zoomMode != ZoomMode::Fixed) {
        m_zoom = fitZoom(m_zoomMode == ZoomMode::FitWidth);
    }
    const QSizeF real = realPagePixels();
    const QSize page(static_cast<int>(std::lround(real.width() * m_zoom)),
                     static_cast<int>(std::lround(real.height() * m_zoom)));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QRect area = m_pageArea->rect();
    bool horizontal = page.width() > area.width();
    bool vertical = page.height() > area.height();
    vertical = vertical || (horizontal && page.height() > area.height() - bar);
    horizontal = horizontal || (vertical && page.width() > area.width() - bar);
    const QRect viewport(area.left(), area.top(), std::max(0, area.width() - (vertical ? bar : 0)),
                         std::max(0, area.height() - (horizontal ? bar : 0)));
    m_picContainer1->setGeometry(viewport);
    m_hsbHScroll->setGeometry(viewport.left(), viewport.bottom() + 1, viewport.width(), bar);
    m_vsbVScroll->setGeometry(viewport.right() + 1, viewport.top(), bar, viewport.height());
    m_hsbHScroll->setRange(0, horizontal ? page.width() - viewport.width() : 0);
    m_vsbVScroll->setRange(0, vertical ? page.height() - viewport.height() : 0);
    m_hsbHScroll->setPageStep(std::max(1, viewport.width()));
    m_vsbVScroll->setPageStep(std::max(1, viewport.height()));
    m_hsbHScroll->setVisible(horizontal);
    m_vsbVScroll->setVisible(vertical);
    const int left = horizontal ? 0 : (viewport.width() - page.width()) / 2;
    const int top = vertical ? 0 : (viewport.height() - page.height()) / 2;
    m_picContainer2->setGeometry(left, top, page.width(), page.height());
    m_picPreview->resize(page);
    scrollPages();
}

// The page moves inside its frame by the scroll values.
void frmPreview::scrollPages() {
    m_picPreview->move(-m_hsbHScroll->value(), -m_vsbVScroll->value());
}

void frmPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        cmdPageNext_Click();
        return;
    case Qt::Key_PageUp:
        cmdPagePrevious_Click();
        return;
    case Qt::Key_Home:
        showPage(0);
        return;
    case Qt::Key_End:
        showPage(static_cast<int>(m_pages.size()) - 1);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// Dragging with the left button: the first three moves after the press only count (a small
// jitter does not scroll) and remember where the mouse is; from the fourth on, the page follows
// the mouse within the scroll bars' ranges.
bool frmPreview::dragMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        m_button = Qt::LeftButton;
        m_moveCount = 1;
        m_pressH = m_hsbHScroll->value();
        m_pressV = m_vsbVScroll->value();
        return true;
    case QEvent::MouseMove: {
        if (m_button == 0) {
            return false;
        }
        const QPoint position = mouse->globalPosition().toPoint();
        if (m_moveCount <= 3) {
            ++m_moveCount;
            m_anchor = position;
            return true;
        }
        if (m_hsbHScroll->isVisible()) {
            m_hsbHScroll->setValue(m_pressH - (position.x() - m_anchor.x()));
        }
        if (m_vsbVScroll->isVisible()) {
            m_vsbVScroll->setValue(m_pressV - (position.y() - m_anchor.y()));
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton) {
            m_button = 0;
        }
        return true;
    default:
        return false;
    }
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pageArea) {
        if (event->type() == QEvent::Resize) {
            Form_Resize();
        }
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched != m_picContainer1 && dragMouse(event)) {
            return true;
        }
        break;
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const double steps = wheel->angleDelta().y() / 120.0;
        if (wheel->modifiers() & Qt::ControlModifier) {
            setZoom(m_zoom * std::pow(kWheelZoomStep, steps));
        } else {
            m_vsbVScroll->setValue(m_vsbVScroll->value() - static_cast<int>(std::lround(steps * 3 * 20)));
        }
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
