#pragma once

#include "Settings.h"

#include <QWidget>
#include <array>

class QComboBox;

// Tab 0 of the options dialog: the key of each of the fourteen key records, chosen from the 50
// key texts (cboCustomKey(0) ... (13)).
class KeysPage : public QWidget {
    Q_OBJECT

public:
    explicit KeysPage(QWidget* parent = nullptr);

    // The 50 key texts of every list: none, 1 ... 9, 0, A ... Z, {Space}, {F1} ... {F12}.
    static QStringList keyTexts();

    // Selects each record's text. A text that is none of the 50 (a hand-edited INI file, "L U")
    // is shown as an extra item at the end of its list, so that OK keeps it; the next filling
    // takes it out again.
    void fill(const std::array<KeyAssignment, KeyTableSize>& keys);
    // Each record's Text from its list, its codes from that text.
    void readBack(std::array<KeyAssignment, KeyTableSize>& keys) const;

private:
    std::array<QComboBox*, KeyTableSize> m_keys{};
};
