#pragma once

#include "IBrowserDialogs.h"

#include <QDialog>

class FigureView;
class GridView;
class QPlainTextEdit;
class QStandardItemModel;

// The formation editor: a call's diagram, note and hexagon offsets, with a drawing that follows
// every keystroke. The texts go in and come out with CR LF line ends, as the library stores them.
class frmFormation : public QDialog {
    Q_OBJECT

public:
    explicit frmFormation(bool hexMode, QWidget* parent = nullptr);

    // The diagram's font: a fixed-pitch one keeps the three-character dancer cells in their
    // columns. The platform's fixed font, or the generic monospace family where that font is not
    // fixed-pitch (a desktop theme naming a font that is not installed).
    static QFont diagramFont(const QFont& platformFixed);
    // True when the font gives every character of a diagram the same width.
    static bool alignsColumns(const QFont& font);

    void setTexts(const FormationText& call);
    FormationText texts() const;

    QPlainTextEdit* formationEdit() const { return m_formation; }
    QPlainTextEdit* noteEdit() const { return m_note; }
    GridView* hexInfoGrid() const { return m_hexInfo; }
    FigureView* picture() const { return m_picture; }

    void cmdClearFormation_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // False only after OK; any other way of closing counts as cancel.
    bool cancelled = true;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redraw();

    bool m_hexMode;
    QPlainTextEdit* m_formation = nullptr;
    QPlainTextEdit* m_note = nullptr;
    GridView* m_hexInfo = nullptr;
    QStandardItemModel* m_hexModel = nullptr;
    FigureView* m_picture = nullptr;
};
