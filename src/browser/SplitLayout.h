#pragma once

#include <QWidget>

class QFrame;

// The three panes side by side with the two split bars between them. Bar positions are the
// settings' twips; dragging keeps the designed limits: bar 0 between 60 and W / 2 - 200, bar 1
// between W / 2 + 200 and W - 100 (W the width, all in twips).
class SplitLayout : public QWidget {
    Q_OBJECT

public:
    SplitLayout(QWidget* left, QWidget* middle, QWidget* right, QWidget* parent = nullptr);

    int splitLeft(int index) const { return m_split[index]; }
    void setSplitLeft(int index, int twips);

    // Twips of this widget's screen, 15 at 96 dots per inch.
    double twipsPerPixel() const;

    // The drag of bar index to x (twips, from the layout's left edge), with the limits applied.
    void dragTo(int index, int twips);
    // The window became narrower: bar 1 stays within W - 100 but 400 right of bar 0.
    void keepBarsInside();

Q_SIGNALS:
    void layoutChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ResizeSplitBar();
    int widthTwips() const;
    int toPixels(int twips) const;

    QWidget* m_panes[3];
    QFrame* m_bars[2];
    int m_split[2] = {2550, 5000};
    bool m_dragging = false;
};
