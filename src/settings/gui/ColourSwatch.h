#pragma once

#include <QString>
#include <QWidget>

// A colour swatch of the options dialog (picForeColor(i) and its kind): the colour is kept as
// colour text ("&H" + 8 hexadecimal digits) in the tag and drawn as a black-edged rectangle
// 3 pixels inside the swatch.
class ColourSwatch : public QWidget {
    Q_OBJECT

public:
    ColourSwatch(const QString& name, QWidget* parent = nullptr);

    // SetColor: stores the colour's text and redraws.
    void setColour(quint32 colour);
    // GetColor: the value of the stored text.
    quint32 colour() const;
    QString tag() const { return m_tag; }

    QSize sizeHint() const override { return {48, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_tag;
};
