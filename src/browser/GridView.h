#pragma once

#include <QTableView>

// A table view that tells when its cell editor opens and closes and which mouse button is held,
// as the browser's grid handlers need.
class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(const QString& name, QWidget* parent = nullptr);

    // Opens the cell editor on the current cell.
    void editCurrent();
    bool isEditing() const { return state() == EditingState; }
    // False: no cell editor opens, whatever the model allows (a read-only library).
    void setEditable(bool editable) { m_editable = editable; }

Q_SIGNALS:
    void editStarted();
    void editFinished();
    void mouseButtonChanged(int button);
    void rightClicked(const QPoint& globalPos);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_editable = true;
};
