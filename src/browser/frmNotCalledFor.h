#pragma once

#include "IBrowserDialogs.h"

#include <QDialog>

class QComboBox;
class QSpinBox;

// Asks for the party and the period of the sequence list's filter "Not called for".
class frmNotCalledFor : public QDialog {
    Q_OBJECT

public:
    // parties: the distinct party names of the library's history; "any party" comes first.
    frmNotCalledFor(const QStringList& parties, const NotCalledChoice& proposed, QWidget* parent = nullptr);

    // True unless the dialog was closed with OK.
    bool cancelled = true;
    NotCalledChoice choice() const;

private:
    QComboBox* m_party;
    QSpinBox* m_weeks;
};
