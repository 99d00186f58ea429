#pragma once

#include <QObject>
#include <QStringList>

struct BrowserState;
class FigureView;
class GridView;
class LibraryOperations;
class MarkupDelegate;
class QLabel;
class QStandardItemModel;
class QWidget;
class SequenceSelection;
struct Settings;

// The middle pane (header labels and the call grid) and the right pane (hexagon-offset grids, the
// before and after figures, the history grid) for the sequence chosen in the sequence list, with
// the status bar's note and position. It follows the shared selection and asks it to step the
// list when Up or Down runs off the ends of a sequence's calls.
class CallList : public QObject {
    Q_OBJECT

public:
    // The texts of one shown call, kept beside the grid.
    struct CachedCall {
        QString note;
        QString figure;
        QString hexInfo;
    };

    CallList(Settings& settings, BrowserState& state, LibraryOperations& library, SequenceSelection& selection,
             QObject* parent = nullptr);

    // The panes, built once and placed by the main window.
    QWidget* middlePane() const { return m_middle; }
    QWidget* rightPane() const { return m_right; }
    GridView* grid() const { return m_grid; }
    GridView* historyGrid() const { return m_history; }
    QStandardItemModel* historyModel() const { return m_historyModel; }
    QLabel* notePanel() const { return m_notePanel; }
    QLabel* positionPanel() const { return m_positionPanel; }
    QString levelCaption() const;
    bool isHexGrid(const QWidget* widget) const;

    // A short hint shown in place of the calls (no library, an empty one); empty hides it.
    void setHint(const QString& text);

    void CreateCallList(qint64 sequenceKey, int restoreRow);
    void DisplayCallDetail();
    void autoSizeCallGrid();
    // Up (-1) or Down (1) at the ends of the call list moves to the neighbouring sequence; true
    // when it did.
    bool MoveCallRow(int direction);

    // Empty call grid, history grid and figures (a new list, or no library).
    void clearView();
    // The header as it stands with no library.
    void resetHeader();
    // Fonts, colours and row margin from the settings.
    void applySettings();
    // Calls, hexagon offsets and history cells are edited only on a library that takes changes.
    void setWritable(bool writable);

    // The cached texts of call-grid row (a copy; empty for a row that does not exist).
    CachedCall cachedCall(int row) const { return m_cache.value(row); }
    // The call text shown in a row ("" for a row that does not exist).
    QString callText(int row) const;
    void setCachedCall(int row, const CachedCall& call);

    int currentRow() const;
    int rowCount() const;
    void setCurrentRow(int row);

Q_SIGNALS:
    void captionChanged();
    void libraryFilesDropped(const QStringList& files);
    // Left: the sequence list is to take the focus.
    void sequencesFocusRequested();
    void callMenuRequested(const QPoint& globalPos);
    void historyMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMiddle();
    void buildRight();
    void fillHistory(const struct SequenceHeader& header);
    void showPosition(int row, int count);
    void callRowChanged();
    void validateCallEdit(int row, const QString& text);
    bool callGridKey(int key, Qt::KeyboardModifiers modifiers);
    bool hexInfoKey(int index, int key);
    void validateHexInfoEdit(int index, const QString& text);
    void reportError(const char* procedure, const class DbError& error);

    Settings& m_settings;
    BrowserState& m_state;
    LibraryOperations& m_library;
    SequenceSelection& m_selection;

    QWidget* m_middle = nullptr;
    QWidget* m_right = nullptr;
    QLabel* m_level = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_author = nullptr;
    GridView* m_grid = nullptr;
    QStandardItemModel* m_calls = nullptr;
    MarkupDelegate* m_callDelegate = nullptr;
    GridView* m_hex[2] = {nullptr, nullptr};
    QStandardItemModel* m_hexModel[2] = {nullptr, nullptr};
    FigureView* m_before = nullptr;
    FigureView* m_after = nullptr;
    GridView* m_history = nullptr;
    QStandardItemModel* m_historyModel = nullptr;
    QLabel* m_notePanel = nullptr;
    QLabel* m_positionPanel = nullptr;
    QLabel* m_hint = nullptr;
    QList<CachedCall> m_cache;
    bool m_settingHex = false;
};
