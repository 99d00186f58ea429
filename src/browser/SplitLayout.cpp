#include "SplitLayout.h"

#include <QFrame>
#include <QMouseEvent>
#include <cmath>

SplitLayout::SplitLayout(QWidget* left, QWidget* middle, QWidget* right, QWidget* parent)
    : QWidget(parent), m_panes{left, middle, right} {
    for (QWidget* pane : m_panes) {
        pane->setParent(this);
    }
    for (int i = 0; i < 2; ++i) {
        m_bars[i] = new QFrame(this);
        m_bars[i]->setObjectName(QStringLiteral("picSplit(%1)").arg(i));
        m_bars[i]->setCursor(Qt::SplitHCursor);
        m_bars[i]->setFrameShape(QFrame::NoFrame);
        m_bars[i]->setAutoFillBackground(true);
        m_bars[i]->setBackgroundRole(QPalette::Window);
        m_bars[i]->installEventFilter(this);
    }
}

double SplitLayout::twipsPerPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int SplitLayout::widthTwips() const {
    return toTwips(width());
}

int SplitLayout::toPixels(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

int SplitLayout::toTwips(int pixels) const {
    return static_cast<int>(std::lround(pixels * twipsPerPixel()));
}

QSize SplitLayout::minimumSizeHint() const {
    // The margins: 60 twips left of the first pane, a bar of 120 twips after each of the first
    // two, 150 twips right of the last.
    return {toPixels(60 + 120 + 120 + 150) + MinimumPaneWidth[0] + MinimumPaneWidth[1] + MinimumPaneWidth[2],
            QWidget::minimumSizeHint().height()};
}

void SplitLayout::setSplitLeft(int index, int twips) {
    m_split[index] = twips;
    m_splitWidth = isVisible() ? width() : 0;
    if (m_splitWidth > 0) {
        keepMinimumWidths();
    }
    ResizeSplitBar();
}

void SplitLayout::dragTo(int index, int twips) {
    const int w = widthTwips();
    if (index == 0) {
        m_split[0] = twips < 60 ? 60 : (twips > w / 2 - 200 ? w / 2 - 200 : twips);
    } else {
        m_split[1] = twips <= w / 2 + 200 ? w / 2 + 200 : (twips > w - 100 ? w - 100 : twips);
    }
    keepMinimumWidths();
    m_splitWidth = width();
    ResizeSplitBar();
}

void SplitLayout::keepBarsInside() {
    const int w = widthTwips();
    if (m_split[1] > w - 100) {
        m_split[1] = std::max(w - 100, m_split[0] + 400);
    }
}

void SplitLayout::keepMinimumWidths() {
    // The right pane first, then the middle one, then the left one: the bars move left to make
    // room, and right again where the left panes need it.
    const int bar = 120;
    const int lowest0 = 60 + toTwips(MinimumPaneWidth[0]);
    const int highest1 = widthTwips() - 150 - bar - toTwips(MinimumPaneWidth[2]);
    const int middle = bar + toTwips(MinimumPaneWidth[1]);
    m_split[1] = std::min(m_split[1], highest1);
    m_split[0] = std::max(std::min(m_split[0], m_split[1] - middle), lowest0);
    m_split[1] = std::max(m_split[1], m_split[0] + middle);
}

void SplitLayout::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The panes keep their shares of the width; positions set before the first showing are taken
    // as they are.
    if (m_splitWidth > 0 && width() > 0) {
        for (int& split : m_split) {
            split = static_cast<int>(std::lround(static_cast<double>(split) * width() / m_splitWidth));
        }
    }
    if (isVisible()) {
        m_splitWidth = width();
    }
    keepBarsInside();
    keepMinimumWidths();
    ResizeSplitBar();
}

void SplitLayout::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_splitWidth = width();
}

// Panes between the bars: the left pane from 60 twips to bar 0, the middle one from 120 twips
// after bar 0 to bar 1, the right one from 120 twips after bar 1 to 150 twips before the edge.
void SplitLayout::ResizeSplitBar() {
    const int h = height();
    const int bar = toPixels(120);
    const int left0 = toPixels(60);
    const int x0 = toPixels(m_split[0]);
    const int x1 = toPixels(m_split[1]);
    m_panes[0]->setGeometry(left0, 0, std::max(0, x0 - left0), h);
    m_bars[0]->setGeometry(x0, 0, bar, h);
    m_panes[1]->setGeometry(x0 + bar, 0, std::max(0, x1 - x0 - bar), h);
    m_bars[1]->setGeometry(x1, 0, bar, h);
    m_panes[2]->setGeometry(x1 + bar, 0, std::max(0, width() - x1 - bar - toPixels(150)), h);
    Q_EMIT layoutChanged();
}

bool SplitLayout::eventFilter(QObject* watched, QEvent* event) {
    const int index = watched == m_bars[0] ? 0 : (watched == m_bars[1] ? 1 : -1);
    if (index < 0) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragging = true;
        m_bars[index]->setBackgroundRole(QPalette::Dark);
        return true;
    case QEvent::MouseMove:
        if (m_dragging) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int x = mapFromGlobal(mouse->globalPosition().toPoint()).x();
            dragTo(index, static_cast<int>(std::lround(x * twipsPerPixel())));
        } else {
            m_bars[index]->raise();
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            m_bars[index]->setBackgroundRole(QPalette::Window);
            ResizeSplitBar();
        }
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
