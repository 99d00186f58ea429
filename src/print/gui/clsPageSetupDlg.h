#pragma once

#include "PageSetup.h"

#include <functional>

class QPageSetupDialog;
class QWidget;

// The platform page-setup dialog, seeded with the given margins, paper and orientation. The
// margins are always exchanged in millimetres.
class clsPageSetupDlg {
public:
    QWidget* owner = nullptr;
    // The paper source passes through unchanged.
    PageSetup values;
    // Minimum margins in millimetres.
    double MinMarginLeft = 0;
    double MinMarginTop = 0;
    double MinMarginRight = 0;
    double MinMarginBottom = 0;

    // Shows the dialog; true when the user confirmed it (values then hold the choice), false when
    // cancelled (values unchanged).
    bool Show();

    // Called once the dialog runs, to answer it in place of the user (tests).
    std::function<void(QPageSetupDialog&)> answer;
};
