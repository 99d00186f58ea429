#pragma once

#include <QObject>

class BrowserState;
class CallList;
class Database;
class GridView;
class MarkupDelegate;
class SequenceListModel;
struct Settings;

// The left pane: the sequences of the view level with their state icons and marked-up titles.
// Choosing a row shows its calls; titles are edited in place; dragging rows reorders them and
// renumbers their stored order.
class SequenceList : public QObject {
    Q_OBJECT

public:
    SequenceList(Settings& settings, BrowserState& state, Database& db, QObject* parent = nullptr);

    GridView* view() const { return m_view; }
    SequenceListModel* model() const { return m_model; }
    void setCallList(CallList* calls) { m_calls = calls; }

    // Refills the list for the view level (levelIndex: the level menu item shown, -1 none).
    void CreateList(const QString& viewLevel);
    void clear();
    void RenumberSequenceOrder();
    // The rows dragged: the block of selected rows (or the dragged row alone) lands before
    // position, keeping its order.
    void BeforeMoveRow(int draggedRow, int position);

    // The row-change handler: shows the calls of row (again, after a command changed them).
    void RowColChange(int row);

    int currentRow() const;
    int rowCount() const;
    void setCurrentRow(int row);
    qint64 currentSequence() const;
    // The keys of the selected rows, in list order.
    QList<qint64> selectedSequences() const;
    void applySettings();

Q_SIGNALS:
    void captionChanged();
    void filesDropped(const QStringList& files);
    void menuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void grdSeqList_ValidateEdit(int row, const QString& title);

    Settings& m_settings;
    BrowserState& m_state;
    Database& m_db;
    CallList* m_calls = nullptr;
    GridView* m_view = nullptr;
    SequenceListModel* m_model = nullptr;
    MarkupDelegate* m_delegate = nullptr;
};
