#pragma once

#include <QPicture>
#include <QSizeF>
#include <QWidget>

// One composed page of the preview, drawn from its recorded picture to fill the widget: white
// paper with a thin outline, the page's twips scaled to the widget's size.
class PreviewPage : public QWidget {
    Q_OBJECT

public:
    explicit PreviewPage(QWidget* parent = nullptr);

    void setPage(const QPicture& picture, const QSizeF& pageSize);
    const QPicture& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPicture m_picture;
    QSizeF m_pageSize;
};
