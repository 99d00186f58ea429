#pragma once

#include "Settings.h"

#include <QWidget>
#include <array>

class QLineEdit;

// Tab 1 of the options dialog: the 27 database-switch paths on the inner tabs "Normal ",
// "Shift " and "Ctrl ", nine rows F1 ... F9 each (txtFuncFile(0) ... (26)).
class SwitchPage : public QWidget {
    Q_OBJECT

public:
    explicit SwitchPage(QWidget* parent = nullptr);

    void fill(const std::array<QString, FuncFileCount>& paths);
    // The paths as typed, without surrounding blanks.
    void readBack(std::array<QString, FuncFileCount>& paths) const;
    void setPath(int index, const QString& path);

Q_SIGNALS:
    // cmdFileBrowse(index) was pressed.
    void browseRequested(int index);

private:
    std::array<QLineEdit*, FuncFileCount> m_paths{};
};
