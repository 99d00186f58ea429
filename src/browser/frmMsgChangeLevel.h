#pragma once

#include <QDialog>

class QListWidget;

// Asks for the level the chosen sequences move to.
class frmMsgChangeLevel : public QDialog {
    Q_OBJECT

public:
    explicit frmMsgChangeLevel(QWidget* parent = nullptr);

    bool cancelled = true;
    QString level() const;
    QListWidget* list() const { return m_list; }
    // OK: nothing happens until a level is chosen.
    void cmdOK_Click();

private:
    QListWidget* m_list;
};
