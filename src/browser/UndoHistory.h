#pragma once

#include <QObject>
#include <QString>

class LibraryUndo;
class QUndoStack;

// Edit > Undo and Edit > Redo: the library's recorded changes on a stack, each undone and redone
// whole. The stack belongs to the open library and is emptied when the library closes.
class UndoHistory : public QObject {
    Q_OBJECT

public:
    UndoHistory(LibraryUndo& undo, QObject* parent);

    QUndoStack* stack() const { return m_stack; }
    // The captions of the menu items: "Undo" with the change's name, or the bare word.
    QString undoCaption() const;
    QString redoCaption() const;

    void undo();
    void redo();
    void clear();

    // A change's name for count sequences: keyOne's text for one, keyMany's with the count else.
    static QString counted(int keyMany, int keyOne, qsizetype count);

Q_SIGNALS:
    // A change was undone or redone: the panes show the library as it now is.
    void restored();

private:
    class Change;
    void recorded(qint64 change, const QString& caption);
    void step(bool back);

    LibraryUndo& m_undo;
    QUndoStack* m_stack = nullptr;
};
