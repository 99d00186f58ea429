#pragma once

#include "SequenceListQuery.h"

#include <QObject>

struct BrowserState;
class Database;
class GridView;
class LibraryOperations;
class MarkupDelegate;
class SequenceListModel;
class SequenceSelection;
struct Settings;

// The left pane: the sequences of the view level with their state icons and marked-up titles.
// Choosing a row publishes it to the shared selection; titles are edited in place; dragging rows
// reorders them and renumbers their stored order.
class SequenceList : public QObject {
    Q_OBJECT

public:
    SequenceList(Settings& settings, BrowserState& state, Database& db, LibraryOperations& library,
                 SequenceSelection& selection, QObject* parent = nullptr);

    GridView* view() const { return m_view; }
    SequenceListModel* model() const { return m_model; }

    // Refills the list for the view level, less the sequences the filter leaves out.
    void CreateList(const QString& viewLevel,
                    const std::optional<SequenceListQuery::NotCalledFor>& notCalledFor = std::nullopt);
    void clear();
    void RenumberSequenceOrder();
    // The rows dragged: the block of selected rows (or the dragged row alone) lands before
    // position, keeping its order.
    void BeforeMoveRow(int draggedRow, int position);

    // The row-change handler: publishes row as the shown sequence (again, after a command changed it).
    void RowColChange(int row);

    int currentRow() const;
    int rowCount() const;
    void setCurrentRow(int row);
    qint64 currentSequence() const;
    // The selected rows in list order, and their keys.
    QList<int> selectedRows() const;
    QList<qint64> selectedSequences() const;
    // Shows a new state on the rows' icons.
    void showState(const QList<int>& rows, int state);
    void applySettings();
    // Titles are edited and rows dragged only on a library that takes changes.
    void setWritable(bool writable);

Q_SIGNALS:
    void captionChanged();
    void filesDropped(const QStringList& files);
    void menuRequested(const QPoint& globalPos);
    // Right: the call list is to take the focus; also after every fill.
    void callsFocusRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void validateSequenceEdit(int row, const QString& title);
    void rememberRow(int row);

    Settings& m_settings;
    BrowserState& m_state;
    Database& m_db;
    LibraryOperations& m_library;
    SequenceSelection& m_selection;
    GridView* m_view = nullptr;
    SequenceListModel* m_model = nullptr;
    MarkupDelegate* m_delegate = nullptr;
};
