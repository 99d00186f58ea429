#pragma once

#include <QDialog>

// The About box: the program's name and version.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(const QString& caption, const QString& version, QWidget* parent = nullptr);
};
