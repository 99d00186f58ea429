#pragma once

#include <QWidget>

class QFrame;

// The three panes side by side with the two split bars between them. Bar positions are the
// settings' twips; dragging keeps the designed limits: bar 0 between 60 and W / 2 - 200, bar 1
// between W / 2 + 200 and W - 100 (W the width, all in twips). Every pane keeps a minimum width,
// so none of them vanishes in a narrow window, and a resized window shares its width among the
// panes in the proportions they had.
class SplitLayout : public QWidget {
    Q_OBJECT

public:
    // Minimum widths of the left, middle and right pane, in pixels.
    static constexpr int MinimumPaneWidth[3] = {120, 240, 160};

    SplitLayout(QWidget* left, QWidget* middle, QWidget* right, QWidget* parent = nullptr);

    int splitLeft(int index) const { return m_split[index]; }
    // Places bar index at twips from the left edge, for the width the layout has now (or, before
    // it is shown, for the width it is first shown with).
    void setSplitLeft(int index, int twips);

    // Twips of this widget's screen, 15 at 96 dots per inch.
    double twipsPerPixel() const;

    // The drag of bar index to x (twips, from the layout's left edge), with the limits applied.
    void dragTo(int index, int twips);
    // The window became narrower: bar 1 stays within W - 100 but 400 right of bar 0.
    void keepBarsInside();

    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void layoutChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ResizeSplitBar();
    // Moves the bars so that every pane has its minimum width where the width allows it.
    void keepMinimumWidths();
    int widthTwips() const;
    int toPixels(int twips) const;
    int toTwips(int pixels) const;

    QWidget* m_panes[3];
    QFrame* m_bars[2];
    int m_split[2] = {2550, 5000};
    // The width in pixels the bar positions were set for; 0 until the layout is first shown.
    int m_splitWidth = 0;
    bool m_dragging = false;
};
