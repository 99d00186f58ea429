#pragma once

#include <QWidget>

// A formation picture (picBeforeFig, picAfterFig): draws one diagram with DrawFigure, in colour
// and sized to the widget.
class FigureView : public QWidget {
    Q_OBJECT

public:
    explicit FigureView(const QString& name, QWidget* parent = nullptr);

    void setFigure(const QString& figureText, const QString& hexInfo, const QString& note, bool hexMode);
    void clearFigure();
    bool isEmpty() const { return !m_shown; }
    const QString& figureText() const { return m_figure; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_figure;
    QString m_hexInfo;
    QString m_note;
    bool m_hexMode = false;
    bool m_shown = false;
};
