#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
struct Settings;

// Tab 3 of the options dialog: history defaults, tip timer, print switches and author, list
// order, call row spacing, call grid variant, the backup switch of the sequence reader and the
// language of the next start.
class OtherPage : public QWidget {
    Q_OBJECT

public:
    explicit OtherPage(QWidget* parent = nullptr);

    void fill(const Settings& settings);
    // The history date as read from txtCallDate; invalid when the text is no date.
    QDate callDate() const;
    QLineEdit* callDateBox() const { return m_callDate; }
    // List order, history defaults (an unreadable date keeps the old one), author, print switches, backup
    // switch, tip length (kept unless 1 ... 99), timer direction, grid variant and row spacing
    // (kept unless 0 ... 1000). A language other than the one in force for the next start becomes
    // LanguageNext.
    void readBack(Settings& settings) const;

private:
    QLineEdit* m_callDate = nullptr;
    QLineEdit* m_partyName = nullptr;
    QLineEdit* m_tipTimer = nullptr;
    QList<QRadioButton*> m_timerSwitch;
    QLineEdit* m_author = nullptr;
    QCheckBox* m_notePrint = nullptr;
    QCheckBox* m_formationPrint = nullptr;
    QList<QRadioButton*> m_sequenceSort;
    QLineEdit* m_callRowMargin = nullptr;
    QList<QRadioButton*> m_partFormat;
    QCheckBox* m_seqDateSave = nullptr;
    QComboBox* m_language = nullptr;
};
