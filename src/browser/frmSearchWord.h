#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless search and replace dialog. The main window answers its buttons.
class frmSearchWord : public QDialog {
    Q_OBJECT

public:
    explicit frmSearchWord(QWidget* parent = nullptr);

    // True shows the replacement box and the replace buttons (when replacing is allowed).
    void setReplaceMode(bool replaceMode);
    // False (a read-only library): only searching; the replace mode cannot be chosen.
    void setReplaceAllowed(bool allowed);
    bool replaceMode() const { return m_replaceMode; }

    QString findText() const;
    QString replaceText() const;
    // 0 when match case is checked (exact), 1 otherwise (letter case ignored).
    int compareMode() const;
    // 0 down, 1 up.
    int direction() const;

Q_SIGNALS:
    void searchNext();
    void replaceOne();
    void replaceAll();
    // The dialog is shown (true) or hidden (false): the call grid keeps its highlight meanwhile.
    void activeChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void cmdCancel_Click();

    bool m_replaceMode = false;
    bool m_replaceAllowed = true;
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QLabel* m_replaceLabel;
    QComboBox* m_direction;
    QCheckBox* m_matchCase;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QPushButton* m_replaceModeButton;
};
